#include "properties/storage.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "load/language.h"
#include "platform/module.h"
#include "text/report.h"
#include "text/text.h"

namespace Kvor {
namespace {

constexpr uint32_t storage_offset = offsetof(EDITDATA, Tovrandi_Props);  // 28
constexpr uint32_t number_size = 4;
constexpr const char* property_error = "Tovrandi - Property Error";

// What one entry of "Properties" keeps in the block, by its own "Type".
enum class Kind { string, number, combo, checkbox, text, edit_button, folder, other };

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool Equals(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (Lower(*a) != Lower(*b)) return false;
    return *a == *b;
}

bool StartsWith(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (!*text || Lower(*text) != Lower(*prefix)) return false;
    return true;
}

Kind KindOf(const json_value& entry) {
    const char* type = entry["Type"].text();
    if (Equals(type, "Editbox String")) return Kind::string;
    if (Equals(type, "Editbox Number")) return Kind::number;
    if (Equals(type, "Combo Box")) return Kind::combo;
    if (Equals(type, "Checkbox")) return Kind::checkbox;
    if (Equals(type, "Text")) return Kind::text;
    if (Equals(type, "Edit button")) return Kind::edit_button;
    if (StartsWith(type, "Folder")) return Kind::folder;
    return Kind::other;
}

const json_value& Properties() { return CurrentLanguage()["Properties"]; }

uint32_t PropertyCount(const json_value& properties) {
    return properties.type == json_type_array ? properties.length() : 0;
}

uint32_t CheckByteCount(uint32_t count) { return (count + 7) / 8; }

uint8_t* Bytes(EDITDATA* block) { return reinterpret_cast<uint8_t*>(block); }
const uint8_t* Bytes(const EDITDATA* block) { return reinterpret_cast<const uint8_t*>(block); }

uint32_t BlockLength(const EDITDATA* block) { return block->Header.size; }

void ReportPremature() {
    Report("Premature function call!\n  GetProperty() called without edPtr->Tovrandi_Props "
           "being valid.",
           ReportCaption(ModuleBaseName(), " - Tovrandi error", 128).c_str(), report_error);
}

void ReportDamaged(const char* what) {
    std::string text = std::string("The stored properties of this object are damaged: ") + what +
                       "\nNothing was read or changed.";
    Report(text.c_str(), property_error, report_error);
}

// The length of the storage (`Tovrandi_Prop_Size`) when the block holds it
// whole, check bytes included; else 0, with the premature-call message for a
// block never laid out and the damage message for one that does not fit.
uint32_t StorageLength(const EDITDATA* block, uint32_t property_count) {
    if (!PropertyStorageBuilt(block)) {
        ReportPremature();
        return 0;
    }
    const uint32_t length = block->Tovrandi_Prop_Size;
    if (length > BlockLength(block)) {
        ReportDamaged("their recorded size is larger than the EDITDATA block.");
        return 0;
    }
    if (length < storage_offset || length - storage_offset < CheckByteCount(property_count)) {
        ReportDamaged("the EDITDATA block has no room for every check box.");
        return 0;
    }
    return length;
}

// Where property `index`'s stored bytes lie, as offsets from the block start.
struct Location {
    uint32_t start;
    uint32_t size;
};

// Walks the stored values of entries 0 to `index` within the storage; false,
// reported, when one of them runs past its end.
bool Locate(const EDITDATA* block, const json_value& properties, uint32_t index,
            Location& location) {
    const uint32_t count = PropertyCount(properties);
    const uint32_t end = StorageLength(block, count);
    if (!end) return false;
    const uint8_t* bytes = Bytes(block);
    uint32_t at = storage_offset + CheckByteCount(count);
    uint32_t start = at;
    for (uint32_t j = 0; j <= index; ++j) {
        start = at;
        switch (KindOf(properties[static_cast<int32_t>(j)])) {
            case Kind::string: {
                const void* nul = std::memchr(bytes + at, 0, end - at);
                if (!nul) {
                    ReportDamaged("a stored text runs past the end of EDITDATA; the object's "
                                  "properties may have changed since it was saved.");
                    return false;
                }
                at = static_cast<uint32_t>(static_cast<const uint8_t*>(nul) - bytes) + 1;
                break;
            }
            case Kind::number:
            case Kind::combo:
                if (end - at < number_size) {
                    ReportDamaged("a stored number runs past the end of EDITDATA; the object's "
                                  "properties may have changed since it was saved.");
                    return false;
                }
                at += number_size;
                break;
            default: break;
        }
    }
    location = {start, at - start};
    return true;
}

bool StoresNothing(Kind kind) {
    return kind == Kind::text || kind == Kind::checkbox || kind == Kind::folder;
}

void AppendNumber(std::vector<uint8_t>& stream, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) stream.push_back(uint8_t(value >> shift));
}

void SetBit(std::vector<uint8_t>& check_bytes, uint32_t index) {
    check_bytes[index / 8] |= uint8_t(1u << (index % 8));
}

void ReportSetupWarning(const char* text, const char* caption) {
    Report(text, caption, report_warning);
}

std::string DefaultText(const json_value& entry) {
    const json_value& text = entry["DefaultState"];
    if (text.type != json_type_string)
        ReportSetupWarning("Invalid or no default string value specified.",
                           "Tovrandi - setup warning");
    std::string value = text.text();
    const char* letter_case = entry["Case"].text();
    if (Equals(letter_case, "Upper"))
        for (char& c : value) c = Upper(c);
    else if (Equals(letter_case, "Lower"))
        for (char& c : value) c = Lower(c);
    return value;
}

uint32_t DefaultNumber(const json_value& entry) {
    const json_value& number = entry["DefaultState"];
    if (number.type != json_type_integer)
        ReportSetupWarning("Invalid or no default integer value specified.",
                           "Tovrandi setup warning");
    return static_cast<uint32_t>(number.integer());
}

uint32_t DefaultItem(const json_value& entry) {
    const json_value& chosen = entry["DefaultState"];
    if (chosen.type != json_type_string) {
        ReportSetupWarning("Invalid or no default string specified.", "Tovrandi - setup warning");
        return 0;
    }
    const json_value& items = entry["Items"];
    const uint32_t count = items.type == json_type_array ? items.length() : 0;
    for (uint32_t k = 0; k < count; ++k)
        if (Equals(items[static_cast<int32_t>(k)].text(), chosen.text())) return k;
    ReportSetupWarning("Specified a default string in a combobox property that does not exist "
                       "in items list.",
                       "Tovrandi - setup warning");
    return 0;
}

bool DefaultTicked(const json_value& entry) {
    const json_value& state = entry["DefaultState"];
    if (state.type != json_type_boolean)
        ReportSetupWarning("Invalid or no default checkbox value specified.",
                           "Tovrandi setup warning");
    return state.boolean();
}

// The host's resize service; null when the host refuses or offers none.
EDITDATA* Resize(plenar::HostServices* services, EDITDATA* block, uint32_t size) {
    if (!services || !services->service) return nullptr;
    return reinterpret_cast<EDITDATA*>(services->service(
        block, plenar::service_resize_edit_data, reinterpret_cast<intptr_t>(block),
        static_cast<intptr_t>(size), 0));
}

// A text of a new length: the block is rebuilt with the later values moved.
bool ResizeText(plenar::HostServices* services, EDITDATA*& block, const Location& old,
                const uint8_t* bytes, uint32_t count) {
    const uint32_t length = block->Tovrandi_Prop_Size;
    const uint64_t new_length = uint64_t(length) - old.size + count;
    if (new_length > UINT32_MAX) {
        Report("Out of memory attempting to rewrite properties!", property_error, report_error);
        return false;
    }
    auto* copy = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(new_length)));
    if (!copy) {
        Report("Out of memory attempting to rewrite properties!", property_error, report_error);
        return false;
    }
    const uint8_t* source = Bytes(block);
    const uint32_t after = old.start + old.size;
    std::memcpy(copy, source, old.start);
    std::memcpy(copy + old.start, bytes, count);
    std::memcpy(copy + old.start + count, source + after, length - after);
    const uint32_t size = static_cast<uint32_t>(new_length);
    std::memcpy(copy + offsetof(EDITDATA, Tovrandi_Prop_Size), &size, sizeof size);

    EDITDATA* resized = Resize(services, block, size);
    if (!resized) {
        Report("NULL returned from EDITDATA reallocation. Property changed cancelled.",
               "Tovrandi - Propery Error", report_error);
        std::free(copy);
        return false;
    }
    // The host's header stays as the host made it.
    const uint32_t kept = offsetof(EDITDATA, Width);
    std::memcpy(Bytes(resized) + kept, copy + kept, size - kept);
    std::free(copy);
    block = resized;
    return true;
}

}  // namespace

bool PropertyStorageBuilt(const EDITDATA* block) {
    return block && BlockLength(block) >= storage_offset && block->Tovrandi_Prop_Size != 0;
}

void InitialisePropertiesFromJSON(plenar::HostServices* services, EDITDATA*& block) {
    if (!block) return;
    const json_value& properties = Properties();
    const uint32_t count = PropertyCount(properties);
    std::vector<uint8_t> storage(CheckByteCount(count), 0);
    std::vector<uint8_t> values;
    for (uint32_t i = 0; i < count; ++i) {
        const json_value& entry = properties[static_cast<int32_t>(i)];
        bool ticked = entry["ChkDefault"].boolean();
        switch (KindOf(entry)) {
            case Kind::string: {
                const std::string text = DefaultText(entry);
                values.insert(values.end(), text.begin(), text.end());
                values.push_back(0);
                break;
            }
            case Kind::number: AppendNumber(values, DefaultNumber(entry)); break;
            case Kind::combo: AppendNumber(values, DefaultItem(entry)); break;
            case Kind::checkbox: ticked = DefaultTicked(entry); break;
            default: ticked = false; break;
        }
        if (ticked) SetBit(storage, i);
    }
    storage.insert(storage.end(), values.begin(), values.end());

    const uint32_t size = storage_offset + static_cast<uint32_t>(storage.size());
    EDITDATA* resized = Resize(services, block, size);
    if (!resized) {
        ReportSetupWarning("Could not reallocate EDITDATA.\n\n*cough* Plenar's fault.",
                           "Tovrandi - setup warning");
        return;
    }
    resized->Tovrandi_Prop_Size = size;
    if (!storage.empty())
        std::memcpy(Bytes(resized) + storage_offset, storage.data(), storage.size());
    block = resized;
}

uint8_t* PropIndex(EDITDATA* block, uint32_t index, uint32_t& size) {
    const json_value& properties = Properties();
    if (properties.type != json_type_array) {
        ReportPremature();
        return nullptr;
    }
    // An index past the entries stores nothing; walking towards it would
    // visit every index up to it.
    if (!block || index >= PropertyCount(properties) ||
        StoresNothing(KindOf(properties[static_cast<int32_t>(index)])))
        return nullptr;
    Location location;
    if (!Locate(block, properties, index, location)) return nullptr;
    size = location.size;
    return Bytes(block) + location.start;
}

Prop* GetProperty(EDITDATA* block, uint32_t index) {
    if (!block) return nullptr;
    if (!PropertyStorageBuilt(block)) {
        ReportPremature();
        return nullptr;
    }
    const json_value& entry = Properties()[static_cast<int32_t>(index)];
    uint32_t size = 0;
    switch (KindOf(entry)) {
        case Kind::text:
        case Kind::edit_button:
            return new (std::nothrow) Prop_WStr(UTF8ToText(entry["DefaultState"].text()).c_str());
        case Kind::string: {
            const uint8_t* stored = PropIndex(block, index, size);
            if (!stored) return nullptr;
            // The walk found the text's NUL at its last byte.
            const std::string text(reinterpret_cast<const char*>(stored), size - 1);
            return new (std::nothrow) Prop_WStr(UTF8ToText(text).c_str());
        }
        case Kind::number:
        case Kind::combo: {
            const uint8_t* stored = PropIndex(block, index, size);
            if (!stored) return nullptr;
            uint32_t value;
            std::memcpy(&value, stored, sizeof value);
            return new (std::nothrow) Prop_UInt(value);
        }
        case Kind::checkbox:
        case Kind::folder: return nullptr;
        case Kind::other: break;
    }
    Report("Don't understand JSON property type, can't return Prop.", "Tovrandi Property Error",
           report_error);
    return nullptr;
}

bool RewriteProperty(plenar::HostServices* services, EDITDATA*& block, uint32_t index,
                     const void* bytes, uint32_t count) {
    if (!block) return false;
    const Kind kind = KindOf(Properties()[static_cast<int32_t>(index)]);
    if (kind == Kind::checkbox || kind == Kind::folder) return false;
    if (kind != Kind::string && kind != Kind::number && kind != Kind::combo) {
        Report("Don't understand JSON property type, can't return Prop.", "Tovrandi Fatal Error",
               report_error);
        return false;
    }
    const auto* value = static_cast<const uint8_t*>(bytes);
    if (kind == Kind::string) {
        // One NUL, at the end: a text that ends early would move every later value.
        if (!value || !count || std::memchr(value, 0, count) != value + count - 1) {
            Report("A text property's new value must end with its only NUL byte. Property "
                   "change cancelled.",
                   property_error, report_error);
            return false;
        }
    } else if (count != number_size || !value) {
        ReportFormatted(report_error, property_error, 256,
                        "This property stores a 4-byte number; a value of %u bytes cannot be "
                        "stored. Property change cancelled.",
                        static_cast<unsigned>(count));
        return false;
    }
    uint32_t size = 0;
    uint8_t* stored = PropIndex(block, index, size);
    if (!stored) return false;
    if (size == count) {
        std::memcpy(stored, value, count);
        return true;
    }
    const Location old = {static_cast<uint32_t>(stored - Bytes(block)), size};
    return ResizeText(services, block, old, value, count);
}

bool SetPropertyCheck(EDITDATA* block, uint32_t index, bool state) {
    const uint32_t count = PropertyCount(Properties());
    if (!block || index >= count || !StorageLength(block, count)) return false;
    uint8_t& byte = Bytes(block)[storage_offset + index / 8];
    const uint8_t bit = uint8_t(1u << (index % 8));
    byte = state ? uint8_t(byte | bit) : uint8_t(byte & ~bit);
    return true;
}

bool GetPropertyCheck(const EDITDATA* block, uint32_t index) {
    const uint32_t count = PropertyCount(Properties());
    if (!block || index >= count || !StorageLength(block, count)) return false;
    return (Bytes(block)[storage_offset + index / 8] >> (index % 8)) & 1;
}

}  // namespace Kvor
