#include "properties/editdata_size.h"

#include <cmath>
#include <cstring>
#include <string>

#include "kvor/keys.h"
#include "kvor/types.h"
#include "properties/layout_record.h"
#include "text/report.h"

namespace Kvor {

namespace {

constexpr uint32_t header_size = 28;
uint16_t cached_size = 0;

}  // namespace

uint32_t ComputeEditDataSize(const json_value& properties, bool record) {
    uint32_t count = properties.length();
    if (properties.type != json_type_array) count = 0;
    uint64_t size = header_size + static_cast<uint64_t>(std::ceil(count / 8.0));
    for (uint32_t i = 0; i < count; ++i) {
        const json_value& entry = properties[static_cast<int32_t>(i)];
        const char* type = entry[key::property::Type].text();
        const PropertyType* known = FindPropertyType(type);
        if (!AcceptedPropertyType(type))
            Report(Kvor::message::unhandled_property_type, type);
        else if (known->store == PropertyStore::text)
            size += strlen(entry[key::property::DefaultState].text()) + 1;
        else if (StoresBytes(known->store))
            size += stored_number_size;
        if (size > 0xFFFFFFFFu) size = 0xFFFFFFFFu;
    }
    if (record) size += LayoutRecordSize(count);
    return static_cast<uint32_t>(size > 0xFFFFFFFFu ? 0xFFFFFFFFu : size);
}

uint16_t EditDataSize(const json_value& properties, bool record) {
    if (cached_size) return cached_size;
    uint32_t size = ComputeEditDataSize(properties, record);
    if (size > 0xFFFF) {
        Report(Kvor::message::defaults_too_large);
        return header_size;
    }
    cached_size = static_cast<uint16_t>(size);
    return cached_size;
}

}  // namespace Kvor
