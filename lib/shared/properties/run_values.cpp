#include "properties/run_values.h"

#include <cstring>

#include "kvor/types.h"
#include "load/language.h"
#include "properties/storage.h"
#include "sdk.h"

namespace Kvor {

uint32_t StoredNumber(const void* edit_data, uint32_t index, uint32_t fallback) {
    auto* block = static_cast<EDITDATA*>(const_cast<void*>(edit_data));
    if (!::SDK || !PropertyStorageBuilt(block)) return fallback;
    const json_value& entry = CurrentLanguage()["Properties"][static_cast<int32_t>(index)];
    const PropertyType* type = FindPropertyType(entry["Type"].text());
    if (!type || (type->store != PropertyStore::number && type->store != PropertyStore::choice &&
                  type->store != PropertyStore::colour))
        return fallback;
    uint32_t size = 0;
    const uint8_t* stored = PropIndex(block, index, size);
    if (!stored || size != stored_number_size) return fallback;
    uint32_t value;
    std::memcpy(&value, stored, sizeof value);
    return value;
}

}  // namespace Kvor
