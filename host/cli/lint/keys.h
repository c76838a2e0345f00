// Keys at every level of a description: each one the SDK reads
// (kvor/keys.h) with a value of a kind it makes something of; an unknown
// one named with the nearest key of its level.
#pragma once

#include "rules.h"

namespace plenar::cli::lint {

// The root's own keys; its objects are language sections, checked apart.
void check_root_keys(const JsonNode& root, Findings& findings);
// A language section's keys, its About's, its entries' and its properties'.
void check_section_keys(const JsonNode& section, Findings& findings);

}  // namespace plenar::cli::lint
