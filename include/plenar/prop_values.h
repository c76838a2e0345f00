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
    virtual void PLENAR_THISCALL Delete() = 0;                          // slot 1: destroy and free
    virtual PropValue* PLENAR_THISCALL CreateCopy() = 0;                // slot 2: new equal object
    virtual int32_t PLENAR_THISCALL IsEqual(PropValue* other) = 0;      // slot 3: 1 when equal
    virtual uint32_t PLENAR_THISCALL GetClassID() = 0;                  // slot 4: class code
    virtual int32_t PLENAR_THISCALL CopyInto(PropValue* target) = 0;    // slot 5: copy into target

protected:
    ~PropValue() = default;
};

// Class codes (slot 4): four characters, the first in the most significant byte.
// "Data words" are the 32-bit words after the class pointer.
enum PropClass : uint32_t {
    prop_class_int = 0x494E5420,     // 'INT ': value in data word 1
    prop_class_dword = 0x44575244,   // 'DWRD': value in data word 1
    prop_class_float = 0x464C4F54,   // 'FLOT': float in data word 1
    prop_class_double = 0x44424C45,  // 'DBLE': double in data words 2-3
    prop_class_int2 = 0x494E5432,    // 'INT2': two values in data words 2-3
    prop_class_size = 0x53495A45,    // 'SIZE': width, height in data words 1-2
    prop_class_wstr = 0x53545257,    // 'STRW': data word 2 points to UTF-16 text
    prop_class_astr = 0x53545241,    // 'STRA': data word 2 points to ANSI text
    prop_class_data = 0x44415441,    // 'DATA': data word 2 points to the data
};

}  // namespace plenar
