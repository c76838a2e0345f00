// Property value objects as the host's property sheet makes them: texts
// (STRW, UTF-16 text in data word 2) and numbers (DWRD, data word 1).
#pragma once

#include <cstdint>
#include <string>
#include "plenar/prop_values.h"

namespace plenar::cli {

class HostTextValue final : public PropValue {
public:
    explicit HostTextValue(std::wstring text) : text_(std::move(text)) { pointer_ = text_.c_str(); }

    void PLENAR_THISCALL Destroy(uint32_t flags) override;
    void PLENAR_THISCALL Delete() override { delete this; }
    PropValue* PLENAR_THISCALL CreateCopy() override { return new HostTextValue(text_); }
    int32_t PLENAR_THISCALL IsEqual(PropValue* other) override;
    uint32_t PLENAR_THISCALL GetClassID() override { return prop_class_wstr; }
    int32_t PLENAR_THISCALL CopyInto(PropValue* target) override;

    const std::wstring& text() const { return text_; }

private:
    // The data words as the plug-in reads them: word 1 unused, word 2 the
    // text; the text's storage lies after them.
    uint32_t unused_ = 0;
    const wchar_t* pointer_ = nullptr;
    std::wstring text_;
};

class HostNumberValue final : public PropValue {
public:
    explicit HostNumberValue(uint32_t value) : value_(value) {}

    void PLENAR_THISCALL Destroy(uint32_t flags) override;
    void PLENAR_THISCALL Delete() override { delete this; }
    PropValue* PLENAR_THISCALL CreateCopy() override { return new HostNumberValue(value_); }
    int32_t PLENAR_THISCALL IsEqual(PropValue* other) override;
    uint32_t PLENAR_THISCALL GetClassID() override { return prop_class_dword; }
    int32_t PLENAR_THISCALL CopyInto(PropValue* target) override;

    uint32_t value() const { return value_; }

private:
    uint32_t value_;  // data word 1
};

// What a value object handed out by the plug-in holds, read through its
// class code (slot 4) and data words; the object is then freed (slot 1).
struct ReadValue {
    uint32_t class_id = 0;
    uint32_t number = 0;      // DWRD, INT
    std::wstring text;        // STRW
};
ReadValue take_plugin_value(PropValue* value);

}  // namespace plenar::cli
