// The proof with the real plug-in that a description keeps what users saved
// under a released one: a block laid out by the plug-in under the released
// description and edited with random values, then read by it under the
// current description. Every entry the current description keeps (the same
// one, storing the same kind) must read its saved value and check box, every
// other entry its default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include "../diagnostics.h"
#include "../json_places.h"

namespace plenar::cli {

struct MisreadValue {
    size_t position;   // in the current "Properties"
    std::string text;  // what it read and what it should have
};

struct ReleasedReading {
    std::string problem;  // why the reading could not be made; empty when it was
    std::vector<MisreadValue> misread;
};

// `current`: the description placed beside the plug-in, or none for the one
// inside it. Random values from `seed`.
ReleasedReading read_released_block(const std::wstring& plugin, const std::wstring& released,
                                    const std::optional<std::wstring>& current, uint32_t seed);

// compat --plugin: the reading's findings, placed at the entries of
// `current_description`, the text of the file `current`.
void check_released_values(const std::wstring& plugin, const std::wstring& released,
                           const std::wstring& current, const JsonNode& current_description,
                           Diagnostics& found);

}  // namespace plenar::cli
