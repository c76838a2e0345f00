// What the entries of a language section say of themselves: display
// strings naming parameters they do not have, and more properties than
// their identifiers can tell apart.
#pragma once

#include "rules.h"

namespace plenar::cli::lint {

// A "%N" in a display string names parameter N, from %0.
void check_display_strings(const JsonNode& section, Findings& findings);
// Property identifiers are read modulo 1000: entry 1000 is entry 0 again.
void check_property_count(const JsonNode& section, Findings& findings);

}  // namespace plenar::cli::lint
