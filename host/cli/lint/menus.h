// The three menus against the entries they offer: an item whose id names no
// entry, or that has no id the editor can use, offers nothing; an entry no
// item offers cannot be chosen in the editor.
#pragma once

#include "rules.h"

namespace plenar::cli::lint {

void check_menus(const JsonNode& section, Findings& findings);

}  // namespace plenar::cli::lint
