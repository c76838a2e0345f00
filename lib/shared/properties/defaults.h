// What an entry of "Properties" starts with: its default value and box, as
// a new layout stores them and as an entry a saved block lacks reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "json/json.h"

namespace Kvor {

// `warn`: report a default of the wrong kind (once, when it is laid out).
std::string DefaultText(const json_value& entry, bool warn);
uint32_t DefaultNumber(const json_value& entry, bool warn);
uint32_t DefaultItem(const json_value& entry, bool warn);

// Appends the bytes `entry` stores by default to `values` (none for the
// kinds that store nothing); returns whether its box starts ticked.
bool AppendDefault(const json_value& entry, std::vector<uint8_t>& values, bool warn);

// The 4 stored bytes of a number, little-endian.
void AppendNumber(std::vector<uint8_t>& values, uint32_t value);

// How many items a "Combo Box" entry offers.
uint32_t ItemCount(const json_value& entry);

}  // namespace Kvor
