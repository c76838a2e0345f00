#include "properties/storage.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kvor/types.h"
#include "load/language.h"
#include "platform/module.h"
#include "text/report.h"
#include "text/text.h"

namespace Kvor {
namespace {

constexpr uint32_t storage_offset = offsetof(EDITDATA, Tovrandi_Props);  // 28

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// What one entry of "Properties" keeps in the block, by its own "Type";
// names the SDK does not know keep nothing and have no value.
PropertyStore StoreOf(const json_value& entry) {
    const PropertyType* type = FindPropertyType(entry["Type"].text());
    return type ? type->store : PropertyStore::unsupported;
}

const json_value& Properties() { return CurrentLanguage()["Properties"]; }

uint32_t PropertyCount(const json_value& properties) {
    return properties.type == json_type_array ? properties.length() : 0;
}

uint32_t CheckByteCount(uint32_t count) { return (count + 7) / 8; }

uint8_t* Bytes(EDITDATA* block) { return reinterpret_cast<uint8_t*>(block); }
const uint8_t* Bytes(const EDITDATA* block) { return reinterpret_cast<const uint8_t*>(block); }

uint32_t BlockLength(const EDITDATA* block) { return block->Header.size; }

void ReportPremature() { Report(Kvor::message::properties_too_early); }

void ReportDamaged(const char* what) { Report(Kvor::message::properties_damaged, what); }

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
        ReportDamaged(Kvor::message::damage_size_beyond_block);
        return 0;
    }
    if (length < storage_offset || length - storage_offset < CheckByteCount(property_count)) {
        ReportDamaged(Kvor::message::damage_no_room_for_checks);
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
        switch (StoreOf(properties[static_cast<int32_t>(j)])) {
            case PropertyStore::text: {
                const void* nul = std::memchr(bytes + at, 0, end - at);
                if (!nul) {
                    ReportDamaged(Kvor::message::damage_text_runs_past);
                    return false;
                }
                at = static_cast<uint32_t>(static_cast<const uint8_t*>(nul) - bytes) + 1;
                break;
            }
            case PropertyStore::number:
            case PropertyStore::choice:
                if (end - at < stored_number_size) {
                    ReportDamaged(Kvor::message::damage_number_runs_past);
                    return false;
                }
                at += stored_number_size;
                break;
            default: break;
        }
    }
    location = {start, at - start};
    return true;
}

void AppendNumber(std::vector<uint8_t>& stream, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) stream.push_back(uint8_t(value >> shift));
}

void SetBit(std::vector<uint8_t>& check_bytes, uint32_t index) {
    check_bytes[index / 8] |= uint8_t(1u << (index % 8));
}

std::string DefaultText(const json_value& entry) {
    const json_value& text = entry["DefaultState"];
    if (text.type != json_type_string)
        Report(Kvor::message::default_text_invalid);
    std::string value = text.text();
    const char* letter_case = entry["Case"].text();
    if (SameIgnoringAsciiCase(letter_case, "Upper"))
        for (char& c : value) c = Upper(c);
    else if (SameIgnoringAsciiCase(letter_case, "Lower"))
        for (char& c : value) c = AsciiLower(c);
    return value;
}

uint32_t DefaultNumber(const json_value& entry) {
    const json_value& number = entry["DefaultState"];
    if (number.type != json_type_integer)
        Report(Kvor::message::default_number_invalid);
    return static_cast<uint32_t>(number.integer());
}

uint32_t DefaultItem(const json_value& entry) {
    const json_value& chosen = entry["DefaultState"];
    if (chosen.type != json_type_string) {
        Report(Kvor::message::default_choice_invalid);
        return 0;
    }
    const json_value& items = entry["Items"];
    const uint32_t count = items.type == json_type_array ? items.length() : 0;
    for (uint32_t k = 0; k < count; ++k)
        if (SameIgnoringAsciiCase(items[static_cast<int32_t>(k)].text(), chosen.text())) return k;
    Report(Kvor::message::default_choice_not_an_item);
    return 0;
}

bool DefaultTicked(const json_value& entry) {
    const json_value& state = entry["DefaultState"];
    if (state.type != json_type_boolean)
        Report(Kvor::message::default_check_invalid);
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
        Report(Kvor::message::rewrite_no_memory);
        return false;
    }
    auto* copy = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(new_length)));
    if (!copy) {
        Report(Kvor::message::rewrite_no_memory);
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
        Report(Kvor::message::rewrite_resize_refused);
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
        switch (StoreOf(entry)) {
            case PropertyStore::text: {
                const std::string text = DefaultText(entry);
                values.insert(values.end(), text.begin(), text.end());
                values.push_back(0);
                break;
            }
            case PropertyStore::number: AppendNumber(values, DefaultNumber(entry)); break;
            case PropertyStore::choice: AppendNumber(values, DefaultItem(entry)); break;
            case PropertyStore::check: ticked = DefaultTicked(entry); break;
            default: ticked = false; break;
        }
        if (ticked) SetBit(storage, i);
    }
    storage.insert(storage.end(), values.begin(), values.end());

    const uint32_t size = storage_offset + static_cast<uint32_t>(storage.size());
    EDITDATA* resized = Resize(services, block, size);
    if (!resized) {
        Report(Kvor::message::layout_resize_refused);
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
        !StoresBytes(StoreOf(properties[static_cast<int32_t>(index)])))
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
    switch (StoreOf(entry)) {
        case PropertyStore::label:
            return new Prop_WStr(UTF8ToText(entry["DefaultState"].text()).c_str());
        case PropertyStore::text: {
            const uint8_t* stored = PropIndex(block, index, size);
            if (!stored) return nullptr;
            // The walk found the text's NUL at its last byte.
            const std::string text(reinterpret_cast<const char*>(stored), size - 1);
            return new Prop_WStr(UTF8ToText(text).c_str());
        }
        case PropertyStore::number:
        case PropertyStore::choice: {
            const uint8_t* stored = PropIndex(block, index, size);
            if (!stored) return nullptr;
            uint32_t value;
            std::memcpy(&value, stored, sizeof value);
            return new Prop_UInt(value);
        }
        case PropertyStore::check:
        case PropertyStore::nothing: return nullptr;
        case PropertyStore::unsupported: break;
    }
    Report(Kvor::message::no_value_for_type);
    return nullptr;
}

bool RewriteProperty(plenar::HostServices* services, EDITDATA*& block, uint32_t index,
                     const void* bytes, uint32_t count) {
    if (!block) return false;
    const PropertyStore store = StoreOf(Properties()[static_cast<int32_t>(index)]);
    if (store == PropertyStore::check || store == PropertyStore::nothing) return false;
    if (!StoresBytes(store)) {
        Report(Kvor::message::no_write_for_type);
        return false;
    }
    const auto* value = static_cast<const uint8_t*>(bytes);
    if (store == PropertyStore::text) {
        // One NUL, at the end: a text that ends early would move every later value.
        if (!value || !count || std::memchr(value, 0, count) != value + count - 1) {
            Report(Kvor::message::text_value_without_nul);
            return false;
        }
    } else if (count != stored_number_size || !value) {
        Report(Kvor::message::number_value_width, static_cast<unsigned>(count));
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
