// The property values an instance's edit-time data stores, as its Extension
// reads them at run time from the block the host hands to CreateRunObject.
#pragma once

#include <cstdint>

namespace Kvor {

// The value of property `index` as the sheet shows it: an "Editbox Number",
// the position of a "Combo Box"'s chosen item, or a "Color"; the
// description's default where the block holds none (its property sheet was
// never opened, or the entry was added since). `fallback`, without a
// message, when the entry keeps no such value; a damaged block is reported
// as on the sheet, and gives `fallback` too.
uint32_t StoredNumber(const void* edit_data, uint32_t index, uint32_t fallback);

}  // namespace Kvor
