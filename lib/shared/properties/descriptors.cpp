// The property sheet's descriptors: each "Properties" entry turned into the
// record the host draws the sheet from.
#include "properties/descriptors.h"

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>

#include "kvor/keys.h"
#include "text/report.h"
#include "text/converters.h"

namespace Kvor {

namespace {

using plenar::PropertyDescriptor;

enum : uint32_t {
    option_checkbox = 0x1,
    option_has_parameter = 0x4,
    option_password = 0x10000,
    option_lower_case = 0x20000,
    option_upper_case = 0x40000,
};

struct FlagKey {
    const char* key;
    uint32_t option;
};

constexpr FlagKey flag_keys[] = {
    {key::property::Checkbox, option_checkbox},
    {key::property::Bold, 0x2},
    {key::property::Removable, 0x8},
    {key::property::Renameable, 0x10},
    {key::property::Moveable, 0x20},
    {key::property::List, 0x40},
    {key::property::SingleSelect, 0x80},
};

// An integer gives its low 32 bits; a double its value truncated toward zero,
// held to the signed 32-bit range the host reads; anything else 0.
uint32_t ReadNumber(const json_value& value) {
    if (value.type == json_type_integer) return static_cast<uint32_t>(value.u.integer);
    if (value.type != json_type_double) return 0;
    const int64_t truncated = value.integer();
    if (truncated > INT32_MAX) return static_cast<uint32_t>(INT32_MAX);
    if (truncated < INT32_MIN) return static_cast<uint32_t>(INT32_MIN);
    return static_cast<uint32_t>(static_cast<int32_t>(truncated));
}

uint32_t FlagOptions(const json_value& entry) {
    uint32_t options = 0;
    for (const FlagKey& flag : flag_keys) {
        if (entry[flag.key].boolean()) options |= flag.option;
    }
    return options;
}

uint32_t CaseOptions(const json_value& entry) {
    const char* letter_case = entry[key::property::Case].text();
    if (SameIgnoringAsciiCase(letter_case, "Lower")) return option_lower_case;
    if (SameIgnoringAsciiCase(letter_case, "Upper")) return option_upper_case;
    return 0;
}

uintptr_t ButtonText(const json_value& text) {
    if (text.type != json_type_string) return 0;
    return reinterpret_cast<uintptr_t>(UTF8ToNewWide(text.text()));
}

uintptr_t NumberRange(const json_value& entry) {
    auto* range = static_cast<int32_t*>(std::malloc(2 * sizeof(int32_t)));
    if (!range) return 0;
    range[0] = static_cast<int32_t>(ReadNumber(entry[key::property::Minimum]));
    range[1] = static_cast<int32_t>(ReadNumber(entry[key::property::Maximum]));
    return reinterpret_cast<uintptr_t>(range);
}

// { null, item texts..., null }. Only an array counts as items: the length of
// any other value (a string's bytes, an integer's low word) is no item count.
uintptr_t ComboItems(const json_value& items) {
    const uint32_t count = items.type == json_type_array ? items.length() : 0;
    if (count == 0) {
        Report(Kvor::message::combo_without_items);
    }
    auto** array = static_cast<WideChar**>(std::calloc(size_t(count) + 2, sizeof(WideChar*)));
    if (!array) return 0;
    for (uint32_t k = 0; k < count; ++k) {
        array[k + 1] = UTF8ToNewWide(items[static_cast<int32_t>(k)].text());
    }
    return reinterpret_cast<uintptr_t>(array);
}

void ReportRefusedType(const char* type) { Report(Kvor::message::refused_property_type, type); }

std::optional<PropertyDescriptor> DescriptorFor(const json_value& entry, uint32_t position) {
    const uint32_t id = plenar::property_id_base + position;
    const char* type = entry[key::property::Type].text();
    if (type[0] == '!') {
        ReportRefusedType(type);
        return std::nullopt;
    }
    if (IsCustomProperty(type)) {
        Report(Kvor::message::custom_property);
        return PropertyDescriptor{id, nullptr, nullptr, custom_property_base + position, 0, 0};
    }
    const PropertyType* known = FindPropertyType(type);
    if (!known || known->sheet != PropertySheet::entry) {
        Report(Kvor::message::unknown_property_type, type);
        return std::nullopt;
    }
    if (known->code == folder_end_type) {
        return PropertyDescriptor{
            plenar::property_folder_end_id, nullptr, nullptr, folder_end_type, 0, 0};
    }
    PropertyDescriptor descriptor{
        id, nullptr, nullptr, property_type_base + known->code, FlagOptions(entry), 0};
    if (known->check_box) descriptor.options |= option_checkbox;
    switch (known->parameter) {
        case PropertyParameter::button_text:
            descriptor.parameter = ButtonText(entry[key::property::Text]);
            descriptor.options |= option_has_parameter;
            break;
        case PropertyParameter::text_limits:
            descriptor.options |= CaseOptions(entry);
            if (entry[key::property::Password].boolean()) descriptor.options |= option_password;
            descriptor.parameter = ReadNumber(entry[key::property::MaxLength]);
            descriptor.options |= option_has_parameter;
            break;
        case PropertyParameter::number_range:
            descriptor.parameter = NumberRange(entry);
            descriptor.options |= option_has_parameter;
            break;
        case PropertyParameter::combo_items:
            descriptor.parameter = ComboItems(entry[key::property::Items]);
            descriptor.options |= option_has_parameter;
            break;
        case PropertyParameter::text_case: descriptor.options |= CaseOptions(entry); break;
        case PropertyParameter::none: break;
    }
    // The texts last: nothing after them reports, so nothing can leave them
    // unowned by running out of memory.
    descriptor.title = UTF8ToNewWide(entry[key::property::Title].text());
    descriptor.info = UTF8ToNewWide(entry[key::property::Info].text());
    return descriptor;
}

void FreeComboItems(WideChar** items) {
    if (!items) return;
    for (WideChar** item = items + 1; *item; ++item) std::free(*item);
    std::free(items);
}

}  // namespace

std::vector<PropertyDescriptor> BuildPropertyDescriptors(const json_value& properties) {
    std::vector<PropertyDescriptor> descriptors;
    const uint32_t count = properties.type == json_type_array ? properties.length() : 0;
    // Room for all first, so that adding one never fails and loses its texts.
    descriptors.reserve(size_t(count) + 1);
    try {
        for (uint32_t position = 0; position < count; ++position) {
            if (auto descriptor =
                    DescriptorFor(properties[static_cast<int32_t>(position)], position)) {
                descriptors.push_back(*descriptor);
            }
        }
    } catch (...) {
        ReleasePropertyDescriptors(descriptors);
        throw;
    }
    descriptors.push_back(PropertyDescriptor{});
    return descriptors;
}

void ReleasePropertyDescriptors(std::vector<PropertyDescriptor>& descriptors) {
    for (const PropertyDescriptor& descriptor : descriptors) {
        std::free(const_cast<void*>(descriptor.title));
        std::free(const_cast<void*>(descriptor.info));
        // A custom descriptor far down the list can carry one of these type
        // values too (27 + its position), but its parameter is always 0.
        void* parameter = reinterpret_cast<void*>(descriptor.parameter);
        const uint32_t code = descriptor.type - property_type_base;
        if (descriptor.type < property_type_base || code >= std::size(property_types)) continue;
        switch (property_types[code].parameter) {
            case PropertyParameter::button_text:
            case PropertyParameter::number_range: std::free(parameter); break;
            case PropertyParameter::combo_items:
                FreeComboItems(static_cast<WideChar**>(parameter));
                break;
            default: break;
        }
    }
    descriptors.clear();
}

}  // namespace Kvor
