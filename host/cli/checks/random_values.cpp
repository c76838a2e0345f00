#include "random_values.h"

#include "plenar/services.h"

namespace plenar::cli {
namespace {

enum : uint32_t {
    type_editbox_string = 5,
    type_editbox_number = 6,
    type_combo_box = 7,
    type_color = 9,
    type_multiline = 22
};

std::wstring text_for(std::mt19937& random) {
    static const wchar_t pieces[] = L"0123456789 #-+.,;\u00e9\u00fc\u2014\u2211\u4e2d";
    std::wstring text;
    for (uint32_t n = random() % 24; n > 0; --n)
        text += pieces[random() % (sizeof pieces / sizeof *pieces - 1)];
    return text;
}

uint32_t number_for(const PropertyDescriptor& descriptor, std::mt19937& random) {
    const auto* range = reinterpret_cast<const int32_t*>(descriptor.parameter);
    if (!range || range[0] >= range[1]) return random();
    const int64_t span = int64_t(range[1]) - range[0] + 1;
    return static_cast<uint32_t>(range[0] + int64_t(random() % uint64_t(span)));
}

uint32_t combo_index_for(const PropertyDescriptor& descriptor, std::mt19937& random) {
    const auto* items = reinterpret_cast<const wchar_t* const*>(descriptor.parameter);
    uint32_t count = 0;
    if (items)
        while (items[count + 1]) ++count;
    return count ? random() % count : 0;
}

}  // namespace

std::unique_ptr<sim::HostValue> random_property_value(const PropertyDescriptor& descriptor,
                                                      std::mt19937& random) {
    switch (descriptor.type % 1000) {
        case type_editbox_string:
        case type_multiline: return std::make_unique<sim::HostValue>(text_for(random));
        case type_combo_box:
            return std::make_unique<sim::HostValue>(combo_index_for(descriptor, random));
        case type_color: return std::make_unique<sim::HostValue>(uint32_t(random() & 0xFFFFFFu));
        case type_editbox_number:
            return std::make_unique<sim::HostValue>(number_for(descriptor, random));
        default: return nullptr;
    }
}

const PropertyDescriptor* descriptors_given(sim::Host& host) {
    for (const sim::ServiceCall& call : host.service_calls())
        if (call.code == service_insert_properties && call.a)
            return reinterpret_cast<const PropertyDescriptor*>(call.a);
    return nullptr;
}

}  // namespace plenar::cli
