// The editor's texts for actions, conditions and expressions: display strings,
// parameter prompts and expression titles, read from a language object of the
// description. Platform-free; the exports convert the results to wide text.
#pragma once

#include <cstdint>
#include <string>

#include "json/json.h"

namespace Kvor {

enum class AceFamily { action, condition, expression };

// The key of the family's array in a language object: "Actions", ...
const char* AceFamilyKey(AceFamily family);

// "Title" of element `code` of the family's array; "" when any step is missing.
const char* AceDisplayString(const json_value& language, AceFamily family, int32_t code);

// The name (second element) of parameter `parameter` of element `code`; ""
// when any step is missing.
const char* AceParameterPrompt(const json_value& language, AceFamily family, int32_t code,
                               int32_t parameter);

// The expression's "Title" ending in exactly one added "(" unless it already
// ends with one; a missing or empty title gives "(".
std::string ExpressionTitle(const json_value& language, int32_t code);

}  // namespace Kvor
