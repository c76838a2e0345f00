#include "properties/storage.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kvor/keys.h"
#include "kvor/types.h"
#include "load/language.h"
#include "properties/defaults.h"
#include "properties/layout.h"
#include "properties/layout_record.h"
#include "properties/stored_form.h"
#include "text/converters.h"
#include "text/report.h"

namespace Kvor {
namespace {

const json_value& Entry(const json_value& properties, uint32_t index) {
    return properties[static_cast<int32_t>(index)];
}

void ReportPremature() { Report(Kvor::message::properties_too_early); }

void ReportDamaged(const char* what) { Report(Kvor::message::properties_damaged, what); }

bool StoredCheck(const EDITDATA* block, uint32_t index) {
    return (Bytes(block)[storage_offset + index / 8] >> (index % 8)) & 1;
}

void SetBit(std::vector<uint8_t>& check_bytes, uint32_t index) {
    check_bytes[index / 8] |= uint8_t(1u << (index % 8));
}

// The storage a write lays out now for every entry: the values and boxes
// `layout` holds for them (none for a new block), the defaults of the
// others, and the layout record when the object type keeps one.
std::vector<uint8_t> FreshStorage(const EDITDATA* block, const json_value& properties,
                                  const Layout* layout) {
    const uint32_t count = PropertyCount(properties);
    std::vector<uint8_t> storage(CheckByteCount(count), 0);
    std::vector<uint8_t> values;
    std::vector<StoredKind> kinds;
    for (uint32_t i = 0; i < count; ++i) {
        const json_value& entry = Entry(properties, i);
        kinds.push_back(StoredKindOf(StoreOf(entry)));
        bool ticked;
        if (layout && layout->entries[i].held == Held::stored) {
            ticked = StoredCheck(block, i);
            const uint8_t* value = Bytes(block) + layout->entries[i].value.start;
            values.insert(values.end(), value, value + layout->entries[i].value.size);
        } else {
            ticked = AppendDefault(entry, values, true);
        }
        if (ticked) SetBit(storage, i);
    }
    storage.insert(storage.end(), values.begin(), values.end());
    if (RecordsLayout()) AppendLayoutRecord(storage, kinds);
    return storage;
}

// The host's resize service; null when the host refuses or offers none.
EDITDATA* Resize(plenar::HostServices* services, EDITDATA* block, uint32_t size) {
    if (!services || !services->service) return nullptr;
    return reinterpret_cast<EDITDATA*>(services->service(block, plenar::service_resize_edit_data,
                                                         reinterpret_cast<intptr_t>(block),
                                                         static_cast<intptr_t>(size), 0));
}

// Puts `storage` after the block's 28 bytes: in place when it is as long as
// the storage there, else in the block the host resizes it to. False after
// `refused` when the host refuses; the block is then unchanged.
bool Replace(plenar::HostServices* services, EDITDATA*& block, const std::vector<uint8_t>& storage,
             const Kvor::Message& refused) {
    const uint32_t size = storage_offset + static_cast<uint32_t>(storage.size());
    EDITDATA* target = block;
    if (size != block->Tovrandi_Prop_Size) {
        target = Resize(services, block, size);
        if (!target) {
            Report(refused);
            return false;
        }
    }
    target->Tovrandi_Prop_Size = size;
    if (!storage.empty())
        std::memcpy(Bytes(target) + storage_offset, storage.data(), storage.size());
    block = target;
    return true;
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

// One message for every entry whose saved value a new layout drops because
// it was saved as another kind.
void ReportKindChanges(const Layout& layout) {
    const json_value& shown = CurrentLanguage()[key::language::Properties];
    std::string names;
    for (uint32_t i = 0; i < layout.entries.size(); ++i) {
        if (layout.entries[i].held != Held::changed) continue;
        const json_value& title = Entry(shown, i)[key::property::Title];
        if (!names.empty()) names += ", ";
        names += title.type == json_type_string && title.length()
                     ? "\"" + std::string(title.text()) + "\""
                     : "#" + std::to_string(i);
    }
    if (!names.empty()) Report(Kvor::message::properties_kind_changed, names.c_str());
}

// The layout of a built block about to be written, laid out afresh first
// unless it is laid out as a write now lays it out. False, after the
// message, when it cannot be written.
bool WritableLayout(plenar::HostServices* services, EDITDATA*& block, const json_value& properties,
                    Layout& layout) {
    if (!PropertyStorageBuilt(block)) {
        ReportPremature();
        return false;
    }
    if (!ReadLayout(block, properties, RecordsLayout(), layout)) return false;
    if (layout.damage) {
        ReportDamaged(layout.damage);
        return false;
    }
    if (layout.current) return true;
    const std::vector<uint8_t> storage = FreshStorage(block, properties, &layout);
    if (!Replace(services, block, storage, Kvor::message::rewrite_resize_refused)) return false;
    ReportKindChanges(layout);
    return ReadLayout(block, properties, RecordsLayout(), layout);
}

// After a write in place: the record covers the bytes that changed.
void Written(EDITDATA* block, const Layout& layout) {
    if (layout.record) RefreshLayoutRecord(Bytes(block), block->Tovrandi_Prop_Size);
}

// The value property `index` has on the sheet: its stored bytes, or its
// default's bytes in `fallback` for an entry the block does not hold (or
// any entry of a block not laid out yet). False, after the message, when
// it cannot be read.
bool ValueOf(const EDITDATA* block, const json_value& properties, uint32_t index,
             std::vector<uint8_t>& fallback, const uint8_t*& value, uint32_t& size) {
    const json_value& entry = Entry(properties, index);
    Layout layout;
    if (PropertyStorageBuilt(block)) {
        if (!ReadLayout(block, properties, RecordsLayout(), layout)) return false;
        const EntryPlace& place = layout.entries[index];
        if (place.held == Held::lost) {
            ReportDamaged(layout.damage);
            return false;
        }
        if (place.held == Held::stored) {
            value = Bytes(block) + place.value.start;
            size = place.value.size;
            return true;
        }
    }
    AppendDefault(entry, fallback, false);
    value = fallback.data();
    size = static_cast<uint32_t>(fallback.size());
    return true;
}

}  // namespace

bool PropertyStorageBuilt(const EDITDATA* block) { return block && block->Tovrandi_Prop_Size != 0; }

void InitialisePropertiesFromJSON(plenar::HostServices* services, EDITDATA*& block) {
    if (!block) return;
    const std::vector<uint8_t> storage = FreshStorage(block, StoredProperties(), nullptr);
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
    const json_value& properties = StoredProperties();
    if (properties.type != json_type_array) {
        ReportPremature();
        return nullptr;
    }
    // An index past the entries stores nothing; walking towards it would
    // visit every index up to it.
    if (!block || index >= PropertyCount(properties) ||
        !StoresBytes(StoreOf(Entry(properties, index))))
        return nullptr;
    if (!PropertyStorageBuilt(block)) {
        ReportPremature();
        return nullptr;
    }
    Layout layout;
    if (!ReadLayout(block, properties, RecordsLayout(), layout)) return nullptr;
    const EntryPlace& place = layout.entries[index];
    if (place.held == Held::lost) ReportDamaged(layout.damage);
    if (place.held != Held::stored) return nullptr;
    size = place.value.size;
    return Bytes(block) + place.value.start;
}

bool PropertyNumber(const EDITDATA* block, uint32_t index, uint32_t& number) {
    const json_value& properties = StoredProperties();
    if (!block || index >= PropertyCount(properties)) return false;
    const json_value& entry = Entry(properties, index);
    const PropertyStore store = StoreOf(entry);
    if (store != PropertyStore::number && store != PropertyStore::choice &&
        store != PropertyStore::colour)
        return false;
    std::vector<uint8_t> fallback;
    const uint8_t* value = nullptr;
    uint32_t size = 0;
    if (!ValueOf(block, properties, index, fallback, value, size)) return false;
    std::memcpy(&number, value, sizeof number);
    // An item list may have shrunk since: a position past it reads as the
    // default item, and the stored position stays until it is written.
    if (store == PropertyStore::choice && number >= ItemCount(entry))
        number = DefaultItem(entry, false);
    return true;
}

Prop* GetProperty(EDITDATA* block, uint32_t index) {
    if (!block) return nullptr;
    if (!PropertyStorageBuilt(block)) {
        ReportPremature();
        return nullptr;
    }
    const json_value& properties = StoredProperties();
    if (index >= PropertyCount(properties)) return nullptr;
    const PropertyStore store = StoreOf(Entry(properties, index));
    switch (store) {
        case PropertyStore::label: {
            // A label's text is the language's own.
            const json_value& shown = Entry(CurrentLanguage()[key::language::Properties], index);
            return new Prop_WStr(UTF8ToText(shown[key::property::DefaultState].text()).c_str());
        }
        case PropertyStore::check:
        case PropertyStore::nothing: return nullptr;
        case PropertyStore::unsupported: Report(Kvor::message::no_value_for_type); return nullptr;
        case PropertyStore::text: break;
        default: {
            uint32_t number = 0;
            return PropertyNumber(block, index, number) ? new Prop_UInt(number) : nullptr;
        }
    }
    std::vector<uint8_t> fallback;
    const uint8_t* value = nullptr;
    uint32_t size = 0;
    if (!ValueOf(block, properties, index, fallback, value, size)) return nullptr;
    // The walk found the text's NUL at its last byte.
    const std::string text(reinterpret_cast<const char*>(value), size - 1);
    return new Prop_WStr(UTF8ToText(text).c_str());
}

bool RewriteProperty(plenar::HostServices* services, EDITDATA*& block, uint32_t index,
                     const void* bytes, uint32_t count) {
    const json_value& properties = StoredProperties();
    if (!block || index >= PropertyCount(properties)) return false;
    const PropertyStore store = StoreOf(Entry(properties, index));
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
    Layout layout;
    if (!WritableLayout(services, block, properties, layout)) return false;
    const Location old = layout.entries[index].value;
    if (old.size == count) {
        std::memcpy(Bytes(block) + old.start, value, count);
    } else if (!ResizeText(services, block, old, value, count)) {
        return false;
    }
    Written(block, layout);
    return true;
}

bool SetPropertyCheck(plenar::HostServices* services, EDITDATA*& block, uint32_t index,
                      bool state) {
    const json_value& properties = StoredProperties();
    Layout layout;
    if (!block || index >= PropertyCount(properties) ||
        !WritableLayout(services, block, properties, layout))
        return false;
    uint8_t& byte = Bytes(block)[storage_offset + index / 8];
    const uint8_t bit = uint8_t(1u << (index % 8));
    byte = state ? uint8_t(byte | bit) : uint8_t(byte & ~bit);
    Written(block, layout);
    return true;
}

bool GetPropertyCheck(const EDITDATA* block, uint32_t index) {
    const json_value& properties = StoredProperties();
    if (!block || index >= PropertyCount(properties)) return false;
    const json_value& entry = Entry(properties, index);
    std::vector<uint8_t> unused;
    // Not laid out yet: the box as laying it out will tick it.
    if (!PropertyStorageBuilt(block)) return AppendDefault(entry, unused, false);
    Layout layout;
    if (!ReadLayout(block, properties, RecordsLayout(), layout)) return false;
    switch (layout.entries[index].held) {
        case Held::fresh:
        case Held::changed: return AppendDefault(entry, unused, false);
        default: return storage_offset + index / 8 < layout.end && StoredCheck(block, index);
    }
}

}  // namespace Kvor
