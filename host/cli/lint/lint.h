// check's lint pass: the mistakes in a description that the SDK reads past
// without a word, each placed at what it names, after the SDK's own messages.
#pragma once

#include <string_view>
#include "../diagnostics.h"
#include "../json_places.h"

namespace plenar::cli {

void lint_description(std::string_view text, const JsonScan& scan, Diagnostics& found);

}  // namespace plenar::cli
