#include "properties/defaults.h"

#include "kvor/keys.h"
#include "kvor/types.h"
#include "properties/stored_form.h"
#include "text/report.h"

namespace Kvor {
namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool DefaultTicked(const json_value& entry, bool warn) {
    const json_value& state = entry[key::property::DefaultState];
    if (warn && state.type != json_type_boolean) Report(Kvor::message::default_check_invalid);
    return state.boolean();
}

}  // namespace

std::string DefaultText(const json_value& entry, bool warn) {
    const json_value& text = entry[key::property::DefaultState];
    if (warn && text.type != json_type_string) Report(Kvor::message::default_text_invalid);
    std::string value = text.text();
    const char* letter_case = entry[key::property::Case].text();
    if (SameIgnoringAsciiCase(letter_case, "Upper"))
        for (char& c : value) c = Upper(c);
    else if (SameIgnoringAsciiCase(letter_case, "Lower"))
        for (char& c : value) c = AsciiLower(c);
    return value;
}

uint32_t DefaultNumber(const json_value& entry, bool warn) {
    const json_value& number = entry[key::property::DefaultState];
    if (warn && number.type != json_type_integer) Report(Kvor::message::default_number_invalid);
    return static_cast<uint32_t>(number.integer());
}

uint32_t ItemCount(const json_value& entry) {
    const json_value& items = entry[key::property::Items];
    return items.type == json_type_array ? items.length() : 0;
}

uint32_t DefaultItem(const json_value& entry, bool warn) {
    const json_value& chosen = entry[key::property::DefaultState];
    if (chosen.type != json_type_string) {
        if (warn) Report(Kvor::message::default_choice_invalid);
        return 0;
    }
    const json_value& items = entry[key::property::Items];
    for (uint32_t k = 0; k < ItemCount(entry); ++k)
        if (SameIgnoringAsciiCase(items[static_cast<int32_t>(k)].text(), chosen.text())) return k;
    if (warn) Report(Kvor::message::default_choice_not_an_item);
    return 0;
}

void AppendNumber(std::vector<uint8_t>& values, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) values.push_back(uint8_t(value >> shift));
}

bool AppendDefault(const json_value& entry, std::vector<uint8_t>& values, bool warn) {
    const bool ticked = entry[key::property::ChkDefault].boolean();
    switch (StoreOf(entry)) {
        case PropertyStore::text: {
            const std::string text = DefaultText(entry, warn);
            values.insert(values.end(), text.begin(), text.end());
            values.push_back(0);
            return ticked;
        }
        case PropertyStore::number:
        case PropertyStore::colour: AppendNumber(values, DefaultNumber(entry, warn)); return ticked;
        case PropertyStore::choice: AppendNumber(values, DefaultItem(entry, warn)); return ticked;
        case PropertyStore::check: return DefaultTicked(entry, warn);
        default: return false;
    }
}

}  // namespace Kvor
