// The property values an instance's edit-time data stores, as its Extension
// reads them at run time from the block the host hands to CreateRunObject.
#pragma once

#include <cstdint>

namespace Kvor {

// The 4 bytes property `index` stores: an "Editbox Number", the position of
// a "Combo Box"'s chosen item, or a "Color". `fallback`, without a message,
// when the block has no storage yet (the property sheet was never opened) or
// the entry keeps no such value; a damaged block is reported as on the sheet.
uint32_t StoredNumber(const void* edit_data, uint32_t index, uint32_t fallback);

}  // namespace Kvor
