// How large a new instance's edit-time data must be for the property
// storage laid out from the description's defaults.
#pragma once

#include <cstdint>

#include "json/json.h"

namespace Kvor {

// The header (28 bytes), the check bytes and every stored default of
// `properties`, and the layout record when `record`; reports types it cannot
// size (once per computation).
uint32_t ComputeEditDataSize(const json_value& properties, bool record);

// The size the host is told: computed at the first call and cached; a total
// above 65535 is reported at every call, and the host is told 28.
uint16_t EditDataSize(const json_value& properties, bool record);

}  // namespace Kvor
