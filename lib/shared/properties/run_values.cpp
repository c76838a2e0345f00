#include "properties/run_values.h"

#include "properties/storage.h"
#include "sdk.h"

namespace Kvor {

uint32_t StoredNumber(const void* edit_data, uint32_t index, uint32_t fallback) {
    uint32_t number = 0;
    if (!::SDK || !PropertyNumber(static_cast<const EDITDATA*>(edit_data), index, number))
        return fallback;
    return number;
}

}  // namespace Kvor
