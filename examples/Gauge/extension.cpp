#include "extension.h"

#include <algorithm>
#include <string>

namespace {

// The positions of the entries of "Properties".
constexpr uint32_t maximum_property = 0;
constexpr uint32_t bar_colour_property = 2;

constexpr int32_t default_maximum = 100;
constexpr uint32_t default_bar_colour = 0x339933;
constexpr uint32_t value_refresh = 500;  // milliseconds

Kvor::WideString Wide(const std::string& text) {
    return Kvor::WideString(text.begin(), text.end());
}

// "Value: 40 of 100", shown by the debugger and not editable there.
void ReadValue(void* owner, Kvor::WideString& out) {
    const auto* gauge = static_cast<const Extension*>(owner);
    out = Wide("Value: " + std::to_string(gauge->Value) + " of " + std::to_string(gauge->Maximum));
}

}  // namespace

Extension::Extension(plenar::RunObjectHeader* run_data, void* edit_data, void*)
    : Runtime(run_data),
      Debugger(this),
      Maximum(std::max<int32_t>(1, static_cast<int32_t>(Kvor::StoredNumber(
                                       edit_data, maximum_property, default_maximum)))),
      BarColour(Kvor::StoredNumber(edit_data, bar_colour_property, default_bar_colour)) {
    Kvor::UseExtension<Extension>();
    Kvor::LinkAction<&Extension::SetValue>(0);
    Kvor::LinkAction<&Extension::SetCaption>(1);
    Kvor::LinkCondition<&Extension::CaptionIs>(0);
    Kvor::LinkExpression<&Extension::Fraction>(0);
    Kvor::LinkExpression<&Extension::GetCaption>(1);
    Kvor::LinkExpression<&Extension::GetBarColour>(2);
    Debugger.AddTextItem(&ReadValue, nullptr, value_refresh);
}

void Extension::SetValue(int32_t value) { Value = std::clamp(value, 0, Maximum); }

void Extension::SetCaption(const Kvor::WideChar* caption) { Caption = caption; }

bool Extension::CaptionIs(const Kvor::WideChar* caption) { return Caption == caption; }

float Extension::Fraction() { return static_cast<float>(Value) / static_cast<float>(Maximum); }

// The host takes the text from memory of its own.
const Kvor::WideChar* Extension::GetCaption() { return Runtime.CopyString(Caption.c_str()); }

int32_t Extension::GetBarColour() { return static_cast<int32_t>(BarColour); }
