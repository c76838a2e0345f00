// The property values the plug-in hands to the host's property sheet. The
// host owns every object it receives and calls its slots in the order of
// plenar::PropValue: 0 destroy (bit 0 of the flag also frees), 1 Delete,
// 2 CreateCopy, 3 IsEqual, 4 GetClassID, 5 CopyInto. Their data words are laid
// out as the host's own DWRD and STRW values.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "plenar/prop_values.h"

namespace Kvor {

// The common base of the plug-in's values; g++ would give a virtual
// destructor two slots, so each class's slot 0 is its own Destroy.
class Prop : public plenar::PropValue {
protected:
    Prop() = default;
    ~Prop() = default;
};

class Prop_UInt final : public Prop {
public:
    explicit Prop_UInt(uint32_t value) : Value(value) {}

    // Ends the object; bit 0 of `flags` also frees it.
    void PLENAR_THISCALL Destroy(uint32_t flags) override;
    void PLENAR_THISCALL Delete() override;
    plenar::PropValue* PLENAR_THISCALL CreateCopy() override;  // null when memory runs out
    // 1 when the other value's first data word equals this value.
    int32_t PLENAR_THISCALL IsEqual(plenar::PropValue* other) override;
    uint32_t PLENAR_THISCALL GetClassID() override;  // DWRD
    // Writes the value into the target's first data word; false for no target.
    int32_t PLENAR_THISCALL CopyInto(plenar::PropValue* target) override;

    uint32_t Value;

private:
    ~Prop_UInt() = default;
};

class Prop_WStr final : public Prop {
public:
    // Keeps its own copy of `text` (null is taken as ""). `Text` stays null
    // only when no memory was left for the copy.
    explicit Prop_WStr(const WideChar* text);

    // Ends the object and frees its text; bit 0 of `flags` also frees it.
    void PLENAR_THISCALL Destroy(uint32_t flags) override;
    void PLENAR_THISCALL Delete() override;
    plenar::PropValue* PLENAR_THISCALL CreateCopy() override;  // null when memory runs out
    // 1 when both hold the same text pointer, either holds none, or the texts
    // are equal unit by unit; 0 for no other value.
    int32_t PLENAR_THISCALL IsEqual(plenar::PropValue* other) override;
    uint32_t PLENAR_THISCALL GetClassID() override;  // STRW
    // Into another Prop_WStr only: the target gets this object's first data
    // word and a fresh copy of its text in place of its own. False for a
    // target of any other class (the host's own STRW values among them, whose
    // text the plug-in may not free) or when memory runs out.
    int32_t PLENAR_THISCALL CopyInto(plenar::PropValue* target) override;

    uint32_t Reserved = 0;     // the host's first data word; passed on, never read
    WideChar* Text = nullptr;  // owned

private:
    ~Prop_WStr();
};

// The host reads the data straight after the class pointer, laid out as its
// own DWRD and STRW values.
static_assert(sizeof(Prop_UInt) == sizeof(plenar::PropNumberLayout));
static_assert(sizeof(Prop_WStr) == sizeof(plenar::PropPointerLayout));

}  // namespace Kvor
