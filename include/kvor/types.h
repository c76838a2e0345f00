// The type names a description may use and what the SDK makes of each,
// stated once: the records and fetch plans (parameters and results), the
// property sheet, the stored values and the edit-time data's size (property
// types) all read these tables, and so do `plenar-host check` and the test
// that keeps res/description.schema.json's type patterns in step.
//
// Type names are compared without regard to the case of ASCII letters; the
// first entry whose name matches wins.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Kvor {

// FloatFlags has one bit per parameter, so no entry may have more.
inline constexpr int MaxParameters = 16;

// ASCII letters compared without regard to case; every other byte as it is,
// so the outcome never depends on the locale or on the bytes of UTF-8 names.
constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr bool SameIgnoringAsciiCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b)) return false;
        if (!*a) return true;
    }
}
constexpr bool StartsIgnoringAsciiCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (!*text || AsciiLower(*text) != AsciiLower(*prefix)) return false;
    return true;
}

// --- actions, conditions and expressions -----------------------------------

// What one argument word is to the member it is passed to.
enum class ArgumentKind : uint8_t {
    integer,   // a number fetched as an integer (a float when the entry's float bit is set)
    floating,  // a number fetched as a float: its bit pattern
    text,      // a pointer to wide text
    generic,   // a word the host yields by its own parameter code (expressions: nothing fetched)
};

enum class ResultKind : uint8_t { none, integer, floating, text };

struct ParameterType {
    const char* name;
    uint16_t code;      // the host's parameter code in the record
    ArgumentKind kind;  // floating: sets the parameter's float bit
};

struct ResultType {
    const char* name;
    uint16_t code;  // the expression record's flags word
    ResultKind kind;
};

// Action and condition parameters. Besides these, "Custom" followed by a
// number gives custom_parameter_base plus that number.
inline constexpr ParameterType parameter_types[] = {
    {"Text", 45, ArgumentKind::text},
    {"String", 45, ArgumentKind::text},
    {"Filename", 40, ArgumentKind::text},
    {"File", 40, ArgumentKind::text},
    {"Float", 22, ArgumentKind::floating},
    {"Integer", 22, ArgumentKind::integer},
    {"Unsigned Integer", 22, ArgumentKind::integer},
    {"Object", 1, ArgumentKind::generic},
    {"Position", 8, ArgumentKind::generic},
    {"Create", 9, ArgumentKind::generic},
    {"SysCreate", 20, ArgumentKind::generic},
    {"Animation", 10, ArgumentKind::generic},
    {"Nop", 11, ArgumentKind::generic},
    {"Player", 12, ArgumentKind::generic},
    {"Every", 13, ArgumentKind::generic},
    {"Key", 14, ArgumentKind::generic},
    {"Speed", 15, ArgumentKind::generic},
    {"JoyDirection", 17, ArgumentKind::generic},
    {"Shoot", 18, ArgumentKind::generic},
    {"Zone", 19, ArgumentKind::generic},
    {"Comparison", 23, ArgumentKind::generic},
    {"StringComparison", 46, ArgumentKind::generic},
    {"Colour", 24, ArgumentKind::generic},
    {"Color", 24, ArgumentKind::generic},
    {"Frame", 26, ArgumentKind::generic},
    {"SampleLoop", 27, ArgumentKind::generic},
    {"MusicLoop", 28, ArgumentKind::generic},
    {"NewDirection", 29, ArgumentKind::generic},
    {"TextNumber", 30, ArgumentKind::generic},
    {"Click", 31, ArgumentKind::generic},
    {"Program", 33, ArgumentKind::generic},
};
inline constexpr const char* custom_type_prefix = "Custom";
inline constexpr uint16_t custom_parameter_base = 1000;

// The code of a custom parameter type `name` (one that begins with the
// prefix): custom_parameter_base plus the number after the prefix, read
// with atoi's syntax (blanks, a sign, digits), but held within what keeps
// the code 16 bits instead of overflowing.
constexpr uint16_t CustomParameterCode(const char* name) {
    const char* p = name;
    for (const char* prefix = custom_type_prefix; *prefix && *p; ++prefix) ++p;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > 100000L) value = 100000L;
    }
    const long code = custom_parameter_base + (negative ? -value : value);
    return uint16_t(code < 0 ? 0 : code > 65535 ? 65535 : code);
}

inline constexpr ParameterType expression_parameter_types[] = {
    {"Text", 3, ArgumentKind::text},
    {"String", 3, ArgumentKind::text},
    {"Float", 1, ArgumentKind::floating},
    {"Integer", 1, ArgumentKind::integer},
    {"Unsigned Integer", 1, ArgumentKind::integer},
};

inline constexpr ResultType result_types[] = {
    {"Integer", 0, ResultKind::integer}, {"Float", 2, ResultKind::floating},
    {"Text", 1, ResultKind::text},       {"String", 1, ResultKind::text},
    {"Short", 0, ResultKind::integer},   {"Unsigned Integer", 0, ResultKind::integer},
};

// The entry of `table` named `name`, or null.
template <typename T, size_t N>
constexpr const T* FindType(const T (&table)[N], const char* name) {
    for (const T& entry : table)
        if (SameIgnoringAsciiCase(entry.name, name)) return &entry;
    return nullptr;
}

// What a record's parameter code means to a member: the kind of the first
// entry of `table` with that code (a number is a float when `float_bit` is
// set); generic for codes of no entry (custom and host codes).
template <size_t N>
constexpr ArgumentKind ArgumentKindOf(const ParameterType (&table)[N], uint16_t code,
                                      bool float_bit) {
    for (const ParameterType& entry : table) {
        if (entry.code != code) continue;
        if (entry.kind == ArgumentKind::integer || entry.kind == ArgumentKind::floating)
            return float_bit ? ArgumentKind::floating : ArgumentKind::integer;
        return entry.kind;
    }
    return ArgumentKind::generic;
}

// What an expression record's flags word says it returns.
constexpr ResultKind ResultKindOf(uint16_t code) {
    for (const ResultType& entry : result_types)
        if (entry.code == code) return entry.kind;
    return ResultKind::integer;
}

// --- properties --------------------------------------------------------------

// Whether a type gets an entry on the property sheet.
enum class PropertySheet : uint8_t {
    entry,         // accepted
    refused,       // the host's own types (their names begin with "!")
    unrecognised,  // reported as unrecognised: nothing would store their values
};

// What an entry's value is, and what it keeps in an instance's edit-time data
// after the check bytes.
enum class PropertyStore : uint8_t {
    text,         // its UTF-8 text and a NUL
    number,       // 4 bytes, little-endian
    choice,       // 4 bytes: the chosen item's position
    colour,       // 4 bytes: a Windows colour 0x00BBGGRR
    check,        // no bytes: the value is the entry's check bit
    label,        // no bytes: the value is the entry's own "DefaultState" text
    nothing,      // no bytes and no value
    unsupported,  // no bytes; asking for its value is reported
};

// The bytes an entry of this kind keeps (a text: its length and NUL).
inline constexpr uint32_t stored_number_size = 4;
constexpr bool StoresBytes(PropertyStore store) {
    return store == PropertyStore::text || store == PropertyStore::number ||
           store == PropertyStore::choice || store == PropertyStore::colour;
}

// What a saved block keeps for one entry, as its layout record names it: the
// values are persisted, so these numbers never change. Entries whose stores
// differ only in what they do with no bytes (a check box, a label) are alike.
enum class StoredKind : uint8_t { nothing = 0, text = 1, number = 2, choice = 3, colour = 4 };
inline constexpr uint8_t stored_kind_count = 5;
constexpr StoredKind StoredKindOf(PropertyStore store) {
    switch (store) {
        case PropertyStore::text: return StoredKind::text;
        case PropertyStore::number: return StoredKind::number;
        case PropertyStore::choice: return StoredKind::choice;
        case PropertyStore::colour: return StoredKind::colour;
        default: return StoredKind::nothing;
    }
}

// What the sheet entry's parameter holds.
enum class PropertyParameter : uint8_t {
    none,
    button_text,   // "Text": the button's text
    text_limits,   // "MaxLength", "Case", "Password"
    number_range,  // "Minimum", "Maximum"
    combo_items,   // "Items"
    text_case,     // "Case"
};

struct PropertyType {
    const char* name;
    uint32_t code;  // the sheet's type code; its descriptor's type is property_type_base + code
    PropertySheet sheet;
    PropertyStore store;
    bool check_box;  // the entry has a check box of its own
    PropertyParameter parameter;
};

inline constexpr uint32_t property_type_base = 1000;
// A custom property's descriptor type is custom_property_base plus its position.
inline constexpr uint32_t custom_property_base = 27;
// The type code of a folder's end.
inline constexpr uint32_t folder_end_type = 3;

// By type code. "Editbox Folder" and "Edit spin float" stay unrecognised: the
// storage keeps no value for them, so their sheet entries would show a value
// that is lost on every save. A colour keeps a Windows colour 0x00BBGGRR in
// 4 bytes in entry order, as a number does, its default the entry's integer
// "DefaultState": blocks laid out by earlier SDKs hold their colours so.
inline constexpr PropertyType property_types[] = {
    {"!Start item", 0, PropertySheet::refused, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Text", 1, PropertySheet::entry, PropertyStore::label, false, PropertyParameter::none},
    {"Folder", 2, PropertySheet::entry, PropertyStore::nothing, false, PropertyParameter::none},
    {"FolderEnd", 3, PropertySheet::entry, PropertyStore::nothing, false, PropertyParameter::none},
    {"Edit button", 4, PropertySheet::entry, PropertyStore::label, false,
     PropertyParameter::button_text},
    {"Editbox String", 5, PropertySheet::entry, PropertyStore::text, false,
     PropertyParameter::text_limits},
    {"Editbox Number", 6, PropertySheet::entry, PropertyStore::number, false,
     PropertyParameter::number_range},
    {"Combo Box", 7, PropertySheet::entry, PropertyStore::choice, false,
     PropertyParameter::combo_items},
    {"Size", 8, PropertySheet::entry, PropertyStore::unsupported, true, PropertyParameter::none},
    {"Color", 9, PropertySheet::entry, PropertyStore::colour, true, PropertyParameter::none},
    {"Checkbox", 10, PropertySheet::entry, PropertyStore::check, true, PropertyParameter::none},
    {"Edit slider", 11, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Edit spin", 12, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Edit direction", 13, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Group", 14, PropertySheet::entry, PropertyStore::unsupported, false, PropertyParameter::none},
    {"!List button", 15, PropertySheet::refused, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Editbox File", 16, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Font", 17, PropertySheet::entry, PropertyStore::unsupported, false, PropertyParameter::none},
    {"Custom", 18, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Editbox Image File", 19, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Combo Box Button", 20, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Editbox Float", 21, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Editbox String Multiline", 22, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::text_case},
    {"Image List", 23, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Combo Box Icons", 24, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"URL button", 25, PropertySheet::entry, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Editbox Folder", 26, PropertySheet::unrecognised, PropertyStore::unsupported, false,
     PropertyParameter::none},
    {"Edit spin float", 27, PropertySheet::unrecognised, PropertyStore::unsupported, false,
     PropertyParameter::none},
};

// A custom property: any name that begins with "Custom" (ASCII case ignored).
constexpr bool IsCustomProperty(const char* type) {
    return StartsIgnoringAsciiCase(type, custom_type_prefix);
}

// The property type named `type`, or null for a name the SDK does not know.
// Custom names that are not exactly "Custom" answer the "Custom" entry.
constexpr const PropertyType* FindPropertyType(const char* type) {
    if (IsCustomProperty(type)) return &property_types[18];
    return FindType(property_types, type);
}

// A name the SDK accepts on the sheet (and so never reports as unknown).
constexpr bool AcceptedPropertyType(const char* type) {
    const PropertyType* found = FindPropertyType(type);
    return found && found->sheet == PropertySheet::entry;
}

}  // namespace Kvor
