#include "properties/storage.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kvor/types.h"
#include "load/language.h"
#include "platform/module.h"
#include "text/report.h"
#include "text/converters.h"

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

// The host's header word is not defined as the block's length, though a
// host may keep it so. It bounds the storage only where it could be that
// length: every block of this object holds at least the 28 bytes up to the
// storage, so a smaller word (0, say) is no length and is not used.
uint32_t HeaderBound(const EDITDATA* block) {
    const uint32_t word = block->Header.size;
    return word >= storage_offset ? word : UINT32_MAX;
}

void ReportPremature() { Report(Kvor::message::properties_too_early); }

void ReportDamaged(const char* what) { Report(Kvor::message::properties_damaged, what); }

// Moves `at` past the value `entry` stores there, within `end`; false, with
// `damage` saying why, when that value runs past `end`.
bool Step(const uint8_t* bytes, const json_value& entry, uint32_t end, uint32_t& at,
          const char*& damage) {
    switch (StoreOf(entry)) {
        case PropertyStore::text: {
            const void* nul = at < end ? std::memchr(bytes + at, 0, end - at) : nullptr;
            if (!nul) {
                damage = Kvor::message::damage_text_runs_past;
                return false;
            }
            at = static_cast<uint32_t>(static_cast<const uint8_t*>(nul) - bytes) + 1;
            return true;
        }
        case PropertyStore::number:
        case PropertyStore::choice:
            if (at > end || end - at < stored_number_size) {
                damage = Kvor::message::damage_number_runs_past;
                return false;
            }
            at += stored_number_size;
            return true;
        default: return true;
    }
}

// Where a property's stored bytes lie, as offsets from the block start.
struct Location {
    uint32_t start;
    uint32_t size;
};

constexpr uint32_t no_entry = UINT32_MAX;

// Moves `at` past the values of the first `count` entries, noting in
// `found` where entry `wanted`'s lies when it is among them.
bool Walk(const uint8_t* bytes, const json_value& properties, uint32_t count, uint32_t end,
          uint32_t& at, const char*& damage, uint32_t wanted = no_entry,
          Location* found = nullptr) {
    for (uint32_t j = 0; j < count; ++j) {
        const uint32_t start = at;
        if (!Step(bytes, properties[static_cast<int32_t>(j)], end, at, damage)) return false;
        if (j == wanted) *found = {start, at - start};
    }
    return true;
}

// The colours among the first `count` entries: they lie, 4 bytes each, after
// every value the walk steps over.
uint32_t ColoursAmong(const json_value& properties, uint32_t count) {
    uint32_t colours = 0;
    for (uint32_t j = 0; j < count; ++j)
        colours += StoreOf(properties[static_cast<int32_t>(j)]) == PropertyStore::colour;
    return colours;
}

// Whether the bits after the first `entries` in their last check byte are
// clear, as they always are in a block laid out for that many entries.
bool SpareBitsClear(const uint8_t* bytes, uint32_t entries) {
    return entries % 8 == 0 || (bytes[storage_offset + entries / 8] >> (entries % 8)) == 0;
}

// How a block's storage lies, read with the current description. The
// stored layout names no entries, so a block saved before the author added
// entries at the end of "Properties" is told by its values ending exactly
// where its storage does after fewer entries, with no bit set past them;
// one saved before the author removed entries from the end, by its values
// ending before it (or by bits set past the current entries).
struct Layout {
    uint32_t end;      // Tovrandi_Prop_Size: one past the storage's last byte
    uint32_t entries;  // how many entries, from the first, it holds
    uint32_t values;   // where its first value lies, after its check bytes
    // Saved for another number of entries: the entries it lacks read their
    // defaults, and it is laid out for the current ones before a write.
    bool other_entries;
    // Its colours, after the other values: absent from a block saved before
    // colours were kept (they read their defaults until it is laid out again).
    bool colours;
    uint32_t colours_start;
    // Where the entry asked for lies, when reading the layout found it.
    bool found;
    Location wanted;
    // Read as no layout at all: what the walk met. Such a block is only read
    // up to there; a write (even a tick) could make it read another way.
    const char* damage = nullptr;
};

// The layout of a built block's storage, noting where entry `wanted` lies
// when that comes out on the way; false after the damage message when it
// cannot be read at all. A block that is neither as laid out for the current
// entries nor for fewer or more of them is read as laid out for them, as far
// as each value is found inside it.
bool ReadLayout(const EDITDATA* block, const json_value& properties, Layout& layout,
                uint32_t wanted = no_entry) {
    const uint32_t end = block->Tovrandi_Prop_Size;
    if (end > HeaderBound(block)) {
        ReportDamaged(Kvor::message::damage_size_beyond_block);
        return false;
    }
    const uint8_t* bytes = Bytes(block);
    const uint32_t count = PropertyCount(properties);
    const uint32_t values = storage_offset + CheckByteCount(count);
    const char* damage = nullptr;
    uint32_t at = values;
    Location location{};
    const bool all_found =
        values <= end && Walk(bytes, properties, count, end, at, damage, wanted, &location);
    const char* const walk_damage = damage;
    // The values of `held` entries end at `last`, with their colours after
    // them or (saved before colours were kept) without.
    const auto ends_there = [&](uint32_t held, uint32_t last, bool colours) {
        const uint32_t kept = colours ? ColoursAmong(properties, held) : 0;
        return uint64_t(last) + uint64_t(stored_number_size) * kept == end;
    };
    const bool found_wanted = wanted < count && StoreOf(properties[static_cast<int32_t>(wanted)]) !=
                                                    PropertyStore::colour;
    // Four value bytes may be a colour or a number, so a reading can fit by
    // chance. A block with its colours (every block laid out since colours
    // were kept, under the current or an earlier, shorter description) is
    // the likelier reading, tried first; only then one saved without them.
    for (const bool colours : {true, false}) {
        if (all_found && ends_there(count, at, colours) && SpareBitsClear(bytes, count)) {
            layout = {end,     count, values,       !colours && ColoursAmong(properties, count) > 0,
                      colours, at,    found_wanted, location};
            return true;
        }
        for (uint32_t held = count; held-- > 0;) {
            const uint32_t first = storage_offset + CheckByteCount(held);
            uint32_t last = first;
            if (first <= end && Walk(bytes, properties, held, end, last, damage) &&
                ends_there(held, last, colours) && SpareBitsClear(bytes, held)) {
                layout = {end, held, first, true, colours, last, false, {}};
                return true;
            }
        }
    }
    if (values > end) {
        ReportDamaged(Kvor::message::damage_no_room_for_checks);
        return false;
    }
    layout = {end, count, values, all_found, false, at, false, {}, walk_damage};
    return true;
}

// Finds the stored value of an entry the layout holds; false, reported,
// when it or one before it runs past the storage's end.
bool Locate(const EDITDATA* block, const json_value& properties, const Layout& layout,
            uint32_t index, Location& location) {
    if (StoreOf(properties[static_cast<int32_t>(index)]) == PropertyStore::colour) {
        location = {layout.colours_start + stored_number_size * ColoursAmong(properties, index),
                    stored_number_size};
        return true;
    }
    if (layout.found) {
        location = layout.wanted;
        return true;
    }
    const uint8_t* bytes = Bytes(block);
    const char* damage = nullptr;
    uint32_t at = layout.values;
    if (!Walk(bytes, properties, index, layout.end, at, damage)) {
        ReportDamaged(damage);
        return false;
    }
    const uint32_t start = at;
    if (!Step(bytes, properties[static_cast<int32_t>(index)], layout.end, at, damage)) {
        ReportDamaged(damage);
        return false;
    }
    location = {start, at - start};
    return true;
}

bool StoredCheck(const EDITDATA* block, uint32_t index) {
    return (Bytes(block)[storage_offset + index / 8] >> (index % 8)) & 1;
}

void AppendNumber(std::vector<uint8_t>& stream, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) stream.push_back(uint8_t(value >> shift));
}

void SetBit(std::vector<uint8_t>& check_bytes, uint32_t index) {
    check_bytes[index / 8] |= uint8_t(1u << (index % 8));
}

// The defaults of an entry; `warn`: report one of the wrong kind.
std::string DefaultText(const json_value& entry, bool warn) {
    const json_value& text = entry["DefaultState"];
    if (warn && text.type != json_type_string) Report(Kvor::message::default_text_invalid);
    std::string value = text.text();
    const char* letter_case = entry["Case"].text();
    if (SameIgnoringAsciiCase(letter_case, "Upper"))
        for (char& c : value) c = Upper(c);
    else if (SameIgnoringAsciiCase(letter_case, "Lower"))
        for (char& c : value) c = AsciiLower(c);
    return value;
}

uint32_t DefaultNumber(const json_value& entry, bool warn) {
    const json_value& number = entry["DefaultState"];
    if (warn && number.type != json_type_integer) Report(Kvor::message::default_number_invalid);
    return static_cast<uint32_t>(number.integer());
}

uint32_t DefaultItem(const json_value& entry, bool warn) {
    const json_value& chosen = entry["DefaultState"];
    if (chosen.type != json_type_string) {
        if (warn) Report(Kvor::message::default_choice_invalid);
        return 0;
    }
    const json_value& items = entry["Items"];
    const uint32_t count = items.type == json_type_array ? items.length() : 0;
    for (uint32_t k = 0; k < count; ++k)
        if (SameIgnoringAsciiCase(items[static_cast<int32_t>(k)].text(), chosen.text())) return k;
    if (warn) Report(Kvor::message::default_choice_not_an_item);
    return 0;
}

bool DefaultTicked(const json_value& entry, bool warn) {
    const json_value& state = entry["DefaultState"];
    if (warn && state.type != json_type_boolean) Report(Kvor::message::default_check_invalid);
    return state.boolean();
}

// Appends what a new layout stores for `entry` to `values`; returns whether
// its box starts ticked.
bool AppendDefault(const json_value& entry, std::vector<uint8_t>& values, bool warn) {
    const bool ticked = entry["ChkDefault"].boolean();
    switch (StoreOf(entry)) {
        case PropertyStore::text: {
            const std::string text = DefaultText(entry, warn);
            values.insert(values.end(), text.begin(), text.end());
            values.push_back(0);
            return ticked;
        }
        case PropertyStore::number: AppendNumber(values, DefaultNumber(entry, warn)); return ticked;
        case PropertyStore::choice: AppendNumber(values, DefaultItem(entry, warn)); return ticked;
        case PropertyStore::check: return DefaultTicked(entry, warn);
        case PropertyStore::colour: return ticked;  // its value goes after every other
        default: return false;
    }
}

// Appends the colours of the first `count` entries, after every other
// value: each one `layout` holds as stored there, the others their defaults.
void AppendColours(const EDITDATA* block, const json_value& properties, uint32_t count,
                   const Layout* layout, std::vector<uint8_t>& values, bool warn) {
    uint32_t held = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const json_value& entry = properties[static_cast<int32_t>(i)];
        if (StoreOf(entry) != PropertyStore::colour) continue;
        if (layout && layout->colours && i < layout->entries) {
            const uint8_t* stored =
                Bytes(block) + layout->colours_start + stored_number_size * held++;
            values.insert(values.end(), stored, stored + stored_number_size);
        } else {
            AppendNumber(values, DefaultNumber(entry, warn));
        }
    }
}

// The host's resize service; null when the host refuses or offers none.
EDITDATA* Resize(plenar::HostServices* services, EDITDATA* block, uint32_t size) {
    if (!services || !services->service) return nullptr;
    return reinterpret_cast<EDITDATA*>(services->service(block, plenar::service_resize_edit_data,
                                                         reinterpret_cast<intptr_t>(block),
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

// Lays out a block saved for another number of entries for the current
// ones: the entries it holds keep their check bits and values, the others
// get their defaults, entries it holds beyond the current ones are left
// out. False, the block unchanged, when the host refuses the new size.
bool LayOutAgain(plenar::HostServices* services, EDITDATA*& block, const json_value& properties,
                 const Layout& layout) {
    const uint32_t count = PropertyCount(properties);
    const uint8_t* bytes = Bytes(block);
    std::vector<uint8_t> storage(CheckByteCount(count), 0);
    std::vector<uint8_t> values;
    uint32_t at = layout.values;
    for (uint32_t i = 0; i < count; ++i) {
        const json_value& entry = properties[static_cast<int32_t>(i)];
        bool ticked;
        if (i < layout.entries) {
            ticked = StoredCheck(block, i);
            const uint32_t start = at;
            const char* damage = nullptr;
            Step(bytes, entry, layout.end, at, damage);  // found once already by ReadLayout
            values.insert(values.end(), bytes + start, bytes + at);
        } else {
            ticked = AppendDefault(entry, values, true);
        }
        if (ticked) SetBit(storage, i);
    }
    AppendColours(block, properties, count, &layout, values, true);
    storage.insert(storage.end(), values.begin(), values.end());

    const uint32_t size = storage_offset + static_cast<uint32_t>(storage.size());
    EDITDATA* resized = Resize(services, block, size);
    if (!resized) {
        Report(Kvor::message::rewrite_resize_refused);
        return false;
    }
    resized->Tovrandi_Prop_Size = size;
    std::memcpy(Bytes(resized) + storage_offset, storage.data(), storage.size());
    block = resized;
    return true;
}

// The layout of a built block about to be written: laid out for the current
// entries first when it was saved for another number of them. False, after
// the message, when it cannot be written.
bool WritableLayout(plenar::HostServices* services, EDITDATA*& block, const json_value& properties,
                    uint32_t index, Layout& layout) {
    if (!PropertyStorageBuilt(block)) {
        ReportPremature();
        return false;
    }
    if (!ReadLayout(block, properties, layout, index)) return false;
    if (layout.damage) {
        ReportDamaged(layout.damage);
        return false;
    }
    if (!layout.other_entries) return true;  // also set for colours not kept yet
    return LayOutAgain(services, block, properties, layout) &&
           ReadLayout(block, properties, layout, index);
}

// The value property `index` has: its stored bytes, or, for an entry the
// block does not hold yet, its default's bytes in `fallback`. False, after
// the message, when it cannot be read.
bool StoredValue(const EDITDATA* block, const json_value& properties, uint32_t index,
                 std::vector<uint8_t>& fallback, const uint8_t*& value, uint32_t& size) {
    if (!PropertyStorageBuilt(block)) {
        ReportPremature();
        return false;
    }
    Layout layout;
    if (!ReadLayout(block, properties, layout, index)) return false;
    const json_value& entry = properties[static_cast<int32_t>(index)];
    if (index >= layout.entries || (StoreOf(entry) == PropertyStore::colour && !layout.colours)) {
        if (StoreOf(entry) == PropertyStore::colour)
            AppendNumber(fallback, DefaultNumber(entry, false));
        else
            AppendDefault(entry, fallback, false);
        value = fallback.data();
        size = static_cast<uint32_t>(fallback.size());
        return true;
    }
    Location location;
    if (!Locate(block, properties, layout, index, location)) return false;
    value = Bytes(block) + location.start;
    size = location.size;
    return true;
}

}  // namespace

bool PropertyStorageBuilt(const EDITDATA* block) { return block && block->Tovrandi_Prop_Size != 0; }

void InitialisePropertiesFromJSON(plenar::HostServices* services, EDITDATA*& block) {
    if (!block) return;
    const json_value& properties = Properties();
    const uint32_t count = PropertyCount(properties);
    std::vector<uint8_t> storage(CheckByteCount(count), 0);
    std::vector<uint8_t> values;
    for (uint32_t i = 0; i < count; ++i)
        if (AppendDefault(properties[static_cast<int32_t>(i)], values, true)) SetBit(storage, i);
    AppendColours(block, properties, count, nullptr, values, true);
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
    if (!PropertyStorageBuilt(block)) {
        ReportPremature();
        return nullptr;
    }
    Layout layout;
    Location location;
    const bool colour = StoreOf(properties[static_cast<int32_t>(index)]) == PropertyStore::colour;
    if (!ReadLayout(block, properties, layout, index) || index >= layout.entries ||
        (colour && !layout.colours) || !Locate(block, properties, layout, index, location))
        return nullptr;
    size = location.size;
    return Bytes(block) + location.start;
}

Prop* GetProperty(EDITDATA* block, uint32_t index) {
    if (!block) return nullptr;
    if (!PropertyStorageBuilt(block)) {
        ReportPremature();
        return nullptr;
    }
    const json_value& properties = Properties();
    const json_value& entry = properties[static_cast<int32_t>(index)];
    const PropertyStore store = StoreOf(entry);
    switch (store) {
        case PropertyStore::label:
            return new Prop_WStr(UTF8ToText(entry["DefaultState"].text()).c_str());
        case PropertyStore::check:
        case PropertyStore::nothing: return nullptr;
        case PropertyStore::unsupported: Report(Kvor::message::no_value_for_type); return nullptr;
        default: break;
    }
    std::vector<uint8_t> fallback;
    const uint8_t* value = nullptr;
    uint32_t size = 0;
    if (!StoredValue(block, properties, index, fallback, value, size)) return nullptr;
    if (store == PropertyStore::text) {
        // The walk found the text's NUL at its last byte.
        const std::string text(reinterpret_cast<const char*>(value), size - 1);
        return new Prop_WStr(UTF8ToText(text).c_str());
    }
    uint32_t number;
    std::memcpy(&number, value, sizeof number);
    return new Prop_UInt(number);
}

bool RewriteProperty(plenar::HostServices* services, EDITDATA*& block, uint32_t index,
                     const void* bytes, uint32_t count) {
    if (!block) return false;
    const json_value& properties = Properties();
    const PropertyStore store = StoreOf(properties[static_cast<int32_t>(index)]);
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
    Location old;
    if (!WritableLayout(services, block, properties, index, layout) ||
        !Locate(block, properties, layout, index, old))
        return false;
    if (old.size == count) {
        std::memcpy(Bytes(block) + old.start, value, count);
        return true;
    }
    return ResizeText(services, block, old, value, count);
}

bool SetPropertyCheck(plenar::HostServices* services, EDITDATA*& block, uint32_t index,
                      bool state) {
    const json_value& properties = Properties();
    Layout layout;
    if (!block || index >= PropertyCount(properties) ||
        !WritableLayout(services, block, properties, index, layout))
        return false;
    uint8_t& byte = Bytes(block)[storage_offset + index / 8];
    const uint8_t bit = uint8_t(1u << (index % 8));
    byte = state ? uint8_t(byte | bit) : uint8_t(byte & ~bit);
    return true;
}

bool GetPropertyCheck(const EDITDATA* block, uint32_t index) {
    const json_value& properties = Properties();
    if (!block || index >= PropertyCount(properties)) return false;
    const json_value& entry = properties[static_cast<int32_t>(index)];
    std::vector<uint8_t> unused;
    // Not laid out yet: the box as laying it out will tick it.
    if (!PropertyStorageBuilt(block)) return AppendDefault(entry, unused, false);
    Layout layout;
    if (!ReadLayout(block, properties, layout)) return false;
    if (index >= layout.entries) return AppendDefault(entry, unused, false);
    return StoredCheck(block, index);
}

}  // namespace Kvor
