// The editor's texts for actions, conditions and expressions: display strings,
// parameter prompts and expression titles, read from a language object of the
// description. Platform-free; the exports convert the results to wide text.
#pragma once

#include <cstdint>
#include <string>

#include "json/json.h"
#include "records/ace_records.h"

namespace Kvor {

// "Title" of element `code` of the kind's array; "" when any step is missing.
const char* AceDisplayString(const json_value& language, AceKind kind, int32_t code);

// The name (second element) of parameter `parameter` of element `code`; ""
// when any step is missing.
const char* AceParameterPrompt(const json_value& language, AceKind kind, int32_t code,
                               int32_t parameter);

// The expression's "Title" ending in exactly one added "(" unless it already
// ends with one; a missing or empty title gives "(".
std::string ExpressionTitle(const json_value& language, int32_t code);

}  // namespace Kvor
