// The comparison of descriptions: a description against a released one,
// each language section with its same-named one, and the later language
// sections of one description against its first. Findings are placed in
// the newer (or later) description and named by the rules of rules.h.
#pragma once

#include <vector>
#include "../diagnostics.h"
#include "../json_places.h"

namespace plenar::cli::compat {

// What a description judged against `released` keeps of what users saved.
void compare_releases(const JsonNode& released, const JsonNode& current, Diagnostics& found);

// Where a later language section of `description` disagrees with its first
// on what the host records or the instances store.
void compare_sections(const JsonNode& description, Diagnostics& found);

// For each entry of `current` ("Properties" of a language section), the
// entry of `released` whose saved value it reads, or -1 for a new entry
// that starts at its default.
std::vector<int> kept_properties(const JsonNode& released, const JsonNode& current);

// The language section that fixes what instances store: the first whose
// "About" has a "Name" text, else the last member. Null when none is an object.
const JsonNode* first_section(const JsonNode& description);

}  // namespace plenar::cli::compat
