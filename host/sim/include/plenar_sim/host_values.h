// Property values as the host's property sheet makes them and hands to a
// plug-in: one object of any class, its data laid out as that class lays it
// out (plenar/prop_values.h), its slots in the host's order. A text (STRW)
// owns its text; copies, comparisons and copies into another value work for
// texts and numbers, as the host's own do.
#pragma once

#include <cstdint>
#include <string>
#include "plenar/prop_values.h"

namespace plenar::sim {

// What a value holds, by class: a number, a pair, a size, a double or a pointer.
struct HostValueData {
    uint32_t number = 0;
    int32_t first = 0, second = 0;
    double real = 0;
    const void* pointer = nullptr;
};

class HostValue final : public PropValue {
public:
    explicit HostValue(std::wstring text);  // STRW
    explicit HostValue(uint32_t number, uint32_t class_id = prop_class_dword);
    HostValue(uint32_t class_id, const HostValueData& data);  // any class, as given

    void PLENAR_THISCALL Destroy(uint32_t flags) override;
    void PLENAR_THISCALL Delete() override { delete this; }
    PropValue* PLENAR_THISCALL CreateCopy() override;
    int32_t PLENAR_THISCALL IsEqual(PropValue* other) override;
    uint32_t PLENAR_THISCALL GetClassID() override;
    int32_t PLENAR_THISCALL CopyInto(PropValue* target) override;

    uint32_t number() const { return PropLayout<PropNumberLayout>(this).value; }
    const std::wstring& text() const { return text_; }
    int class_asks() const { return class_asks_; }  // GetClassID calls so far

private:
    // First: the layouts address the data right after the class pointer.
    uint32_t data_[8] = {};
    uint32_t class_id_;
    std::wstring text_;  // a STRW's own text, which its data points to
    int class_asks_ = 0;
};

// What a value object handed out by a plug-in holds, read through its class
// code (slot 4) and its layout; the object is then freed (slot 1).
struct ReadValue {
    uint32_t class_id = 0;
    uint32_t number = 0;  // DWRD, INT
    std::wstring text;    // STRW
};
ReadValue take_plugin_value(PropValue* value);

}  // namespace plenar::sim
