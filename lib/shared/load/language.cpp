#include "load/language.h"

#include <cstring>

#include "kvor/keys.h"
#include "platform/module.h"
#include "text/report.h"
#include "sdk.h"
#include "platform/settings_file.h"

namespace Kvor {

const json_value* CachedLanguage = &json_none;

const json_value& DefaultLanguageIndex() {
    if (!::SDK) {
        Report(Kvor::message::language_too_early);
        return json_none;
    }
    const json_value& root = *::SDK->json;
    if (root.type != json_type_object || root.u.object.length == 0) return json_none;
    for (uint32_t i = 0; i < root.u.object.length; ++i) {
        const json_value& member = *root.u.object.values[i].value;
        if (member.type == json_type_object &&
            member[key::language::About].type == json_type_object &&
            member[key::language::About][key::about::Name].type == json_type_string)
            return member;
    }
    return *root.u.object.values[root.u.object.length - 1].value;
}

const json_value& PrimaryLanguage() {
    const json_value& root = ::SDK ? *::SDK->json : json_none;
    if (root.type != json_type_object) return json_none;
    for (uint32_t i = 0; i < root.u.object.length; ++i)
        if (root.u.object.values[i].value->type == json_type_object)
            return *root.u.object.values[i].value;
    return json_none;
}

const json_value* LanguageFromSettings(std::string text, const json_value& root, bool& found_key) {
    size_t start = text.find("Languages=");
    size_t key_length = 10;
    if (start == std::string::npos) {
        start = text.find("Languages =");
        key_length = 11;
    }
    found_key = start != std::string::npos;
    if (!found_key) return nullptr;

    size_t position = start + key_length;
    if (position < text.size() && text[position] == ' ') ++position;
    // A carriage return or a bare line feed ends the list: a settings file
    // saved with Unix line ends must choose its language too.
    text += '\r';
    while (position < text.size()) {
        size_t end = text.find_first_of(";\r\n", position);
        std::string item = text.substr(position, end - position);
        if (!item.empty() && item[0] == ' ') item.erase(0, 1);
        if (root.type == json_type_object) {
            for (uint32_t i = 0; i < root.u.object.length; ++i) {
                const json_object_entry& entry = root.u.object.values[i];
                if (entry.value->type == json_type_object && item == entry.name) return entry.value;
            }
        }
        if (text[end] != ';') break;
        position = end + 1;
    }
    return nullptr;
}

const json_value& CurrentLanguage() {
    if (CachedLanguage->type != json_type_none) return *CachedLanguage;

    std::string text;
    switch (ReadSettingsFile(text)) {
        case SettingsRead::absent:
        case SettingsRead::unreadable: return DefaultLanguageIndex();
        case SettingsRead::unavailable:
            Report(Kvor::message::settings_unreadable);
            return DefaultLanguageIndex();
        case SettingsRead::read: break;
    }
    bool found_key = false;
    const json_value& root = ::SDK ? *::SDK->json : json_none;
    const json_value* chosen = LanguageFromSettings(std::move(text), root, found_key);
    if (!found_key) {
        Report(Kvor::message::settings_without_languages);
        return DefaultLanguageIndex();
    }
    if (!chosen) return DefaultLanguageIndex();
    CachedLanguage = chosen;
    return *chosen;
}

}  // namespace Kvor
