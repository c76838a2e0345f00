#include "properties/editdata_size.h"

#include <cmath>
#include <cstring>
#include <string>

#include "text/report.h"

namespace Kvor {

namespace {

constexpr uint32_t header_size = 28;
uint16_t cached_size = 0;

// ASCII letters compared without regard to case.
bool EqualsIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a + 32) : *a;
        char y = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b + 32) : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

bool StartsIgnoringCase(const char* text, const char* prefix) {
    size_t length = strlen(prefix);
    if (strlen(text) < length) return false;
    std::string head(text, length);
    return EqualsIgnoringCase(head.c_str(), prefix);
}

}  // namespace

uint32_t ComputeEditDataSize(const json_value& properties) {
    uint32_t count = properties.length();
    if (properties.type != json_type_array) count = 0;
    uint64_t size = header_size + static_cast<uint64_t>(std::ceil(count / 8.0));
    for (uint32_t i = 0; i < count; ++i) {
        const json_value& entry = properties[static_cast<int32_t>(i)];
        const char* type = entry["Type"].text();
        if (EqualsIgnoringCase(type, "Editbox String")) {
            size += strlen(entry["DefaultState"].text()) + 1;
        } else if (EqualsIgnoringCase(type, "Editbox Number") || EqualsIgnoringCase(type, "Combo Box")) {
            size += 4;
        } else if (EqualsIgnoringCase(type, "Text") || EqualsIgnoringCase(type, "Checkbox") ||
                   StartsIgnoringCase(type, "Folder") || EqualsIgnoringCase(type, "Edit button")) {
        } else {
            std::string text = std::string("Can't handle property type \"") + type + "\".";
            Report(text.c_str(), "Tovrandi - Error", report_error);
        }
        if (size > 0xFFFFFFFFu) size = 0xFFFFFFFFu;
    }
    return static_cast<uint32_t>(size);
}

uint16_t EditDataSize(const json_value& properties) {
    if (cached_size) return cached_size;
    uint32_t size = ComputeEditDataSize(properties);
    if (size > 0xFFFF) {
        Report("Property default sizes are too large.", "Tovrandi - Error", report_error);
        return header_size;
    }
    cached_size = static_cast<uint16_t>(size);
    return cached_size;
}

}  // namespace Kvor
