// Property values exchanged between the host's property sheet and a plug-in.
// Both sides' value objects share this slot order; slots are thiscall. An
// object handed to the other side belongs to it; slot 1 frees it.
#pragma once

#include "abi.h"

namespace plenar {

class PropValue {
public:
    // Slot 0, the destructor as the host's compiler lays it out: one slot
    // taking a flag; bit 0 set also frees the object.
    virtual void PLENAR_THISCALL Destroy(uint32_t flags) = 0;
    virtual void PLENAR_THISCALL Delete() = 0;                        // slot 1: destroy and free
    virtual PropValue* PLENAR_THISCALL CreateCopy() = 0;              // slot 2: new equal object
    virtual int32_t PLENAR_THISCALL IsEqual(PropValue* other) = 0;    // slot 3: 1 when equal
    virtual uint32_t PLENAR_THISCALL GetClassID() = 0;                // slot 4: class code
    virtual int32_t PLENAR_THISCALL CopyInto(PropValue* target) = 0;  // slot 5: copy into target

protected:
    ~PropValue() = default;
};

// Class codes (slot 4): four characters, the first in the most significant byte.
enum PropClass : uint32_t {
    prop_class_int = 0x494E5420,     // 'INT ': PropNumberLayout
    prop_class_dword = 0x44575244,   // 'DWRD': PropNumberLayout
    prop_class_float = 0x464C4F54,   // 'FLOT': PropNumberLayout, the float's bits
    prop_class_double = 0x44424C45,  // 'DBLE': PropDoubleLayout
    prop_class_int2 = 0x494E5432,    // 'INT2': PropPairLayout
    prop_class_size = 0x53495A45,    // 'SIZE': PropSizeLayout
    prop_class_wstr = 0x53545257,    // 'STRW': PropPointerLayout, UTF-16 text
    prop_class_astr = 0x53545241,    // 'STRA': PropPointerLayout, ANSI text
    prop_class_data = 0x44415441,    // 'DATA': PropPointerLayout, the data
};

// What a value object of each class holds after its class pointer, as both
// sides lay it out. On the host these are 32-bit "data words" from offset 4
// (word 1, word 2, ...), a pointer filling one word; in the 64-bit test
// builds the same fields take their natural places. Read an object through
// PropLayout<...>(value) by its class code.
struct PropNumberLayout {  // word 1
    const void* class_pointer;
    uint32_t value;
};
struct PropSizeLayout {  // words 1-2
    const void* class_pointer;
    int32_t width;
    int32_t height;
};
struct PropPairLayout {  // words 2-3
    const void* class_pointer;
    uint32_t unused;
    int32_t first;
    int32_t second;
};
struct PropDoubleLayout {  // words 2-3
    const void* class_pointer;
    uint32_t unused;
    double value;
};
struct PropPointerLayout {  // word 2
    const void* class_pointer;
    uint32_t unused;
    const void* data;
};

PLENAR_PIN_OFFSET(PropNumberLayout, value, 4, 8);
PLENAR_PIN_SIZE(PropNumberLayout, 8, 16);
PLENAR_PIN_OFFSET(PropSizeLayout, width, 4, 8);
PLENAR_PIN_OFFSET(PropSizeLayout, height, 8, 12);
PLENAR_PIN_OFFSET(PropPairLayout, first, 8, 12);
PLENAR_PIN_OFFSET(PropPairLayout, second, 12, 16);
PLENAR_PIN_OFFSET(PropDoubleLayout, value, 8, 16);
PLENAR_PIN_OFFSET(PropPointerLayout, data, 8, 16);
PLENAR_PIN_SIZE(PropPointerLayout, 12, 24);

template <class Layout>
Layout& PropLayout(PropValue* value) {
    return *reinterpret_cast<Layout*>(value);
}
template <class Layout>
const Layout& PropLayout(const PropValue* value) {
    return *reinterpret_cast<const Layout*>(value);
}

}  // namespace plenar
