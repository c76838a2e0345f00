// Records the plug-in hands to the host, as the host reads them. The plug-in
// owns them; they stay valid until the plug-in is unloaded.
#pragma once

#include <cstddef>
#include "abi.h"

namespace plenar {

// The record of one action, condition or expression, from its id field on:
// id, flags, count, `parameter_count` type codes, then as many zero words.
struct AceRecord {
    int16_t id;
    uint16_t flags;  // conditions: 0 triggered / 0x0220; expressions: result type code
    int16_t parameter_count;
    uint16_t parameters[1];  // parameter_count codes, then parameter_count zero words

    uint16_t code(int i) const { return parameters[i]; }
};
PLENAR_PIN_OFFSET(AceRecord, flags, 2, 2);
PLENAR_PIN_OFFSET(AceRecord, parameter_count, 4, 4);
PLENAR_PIN_OFFSET(AceRecord, parameters, 6, 6);

enum : uint16_t { condition_not_triggered = 0x0220 };
enum : uint16_t {
    expression_returns_integer = 0,
    expression_returns_string = 1,
    expression_returns_float = 2
};

// One entry of the property sheet; an array ends with an all-zero entry.
struct PropertyDescriptor {
    uint32_t id;        // 0x80000 + position; 0x7FFFF for a folder end; 0 ends the array
    const void* title;  // UTF-16 text, or null
    const void* info;   // UTF-16 text, or null
    uint32_t type;      // 1000 + type code; 3 folder end; 27+ custom
    uint32_t options;
    uintptr_t parameter;  // depends on the type
};
PLENAR_PIN_OFFSET(PropertyDescriptor, title, 4, 8);
PLENAR_PIN_OFFSET(PropertyDescriptor, info, 8, 16);
PLENAR_PIN_OFFSET(PropertyDescriptor, type, 12, 24);
PLENAR_PIN_OFFSET(PropertyDescriptor, options, 16, 28);
PLENAR_PIN_OFFSET(PropertyDescriptor, parameter, 20, 32);
PLENAR_PIN_SIZE(PropertyDescriptor, 24, 40);

enum : uint32_t { property_id_base = 0x80000, property_folder_end_id = 0x7FFFF };

// The debugger item tree: item ids (0x80 set when editable), ending in this.
enum : uint16_t { debug_tree_end = 0xFFFF, debug_item_editable = 0x80 };

}  // namespace plenar
