#include "properties/layout.h"

#include <cstring>

#include "kvor/types.h"
#include "properties/defaults.h"
#include "properties/layout_record.h"
#include "properties/stored_form.h"
#include "text/report.h"

namespace Kvor {
namespace {

// The host's header word is not defined as the block's length, though a
// host may keep it so. It bounds the storage only where it could be that
// length: every block of this object holds at least the 28 bytes up to the
// storage, so a smaller word (0, say) is no length and is not used.
uint32_t HeaderBound(const EDITDATA* block) {
    const uint32_t word = block->Header.size;
    return word >= storage_offset ? word : UINT32_MAX;
}

StoredKind KindOf(const json_value& properties, uint32_t i) {
    return StoredKindOf(StoreOf(properties[static_cast<int32_t>(i)]));
}

// Walks the values of the first `count` entries from after their check
// bytes, noting where each lies in `entries` (when given); returns how many
// lie inside `end`, and leaves `at` after the last of them.
uint32_t Walk(const uint8_t* bytes, const json_value& properties, uint32_t count, uint32_t end,
              uint32_t& at, const char*& damage, std::vector<EntryPlace>* entries = nullptr) {
    at = storage_offset + CheckByteCount(count);
    if (at > end) {
        damage = Kvor::message::damage_no_room_for_checks;
        return 0;
    }
    for (uint32_t j = 0; j < count; ++j) {
        const uint32_t start = at;
        if (!StepValue(bytes, KindOf(properties, j), end, at, damage)) return j;
        if (entries) (*entries)[j] = {Held::stored, {start, at - start}};
    }
    return count;
}

// Whether the bits after the first `count` entries in their last check byte
// are clear, as they are in every block laid out for that many entries.
bool SpareBitsClear(const uint8_t* bytes, uint32_t count) {
    return count % 8 == 0 || (bytes[storage_offset + count / 8] >> (count % 8)) == 0;
}

bool StartsTicked(const json_value& entry) {
    std::vector<uint8_t> unused;
    return AppendDefault(entry, unused, false);
}

void ReadRecorded(const uint8_t* bytes, const json_value& properties, bool record_wanted,
                  const std::vector<StoredKind>& kinds, Layout& layout) {
    const uint32_t count = uint32_t(layout.entries.size());
    const uint32_t held = uint32_t(kinds.size());
    const char* unused = nullptr;
    uint32_t at = storage_offset + CheckByteCount(held);
    bool same = held == count;
    for (uint32_t j = 0; j < held; ++j) {
        const uint32_t start = at;
        StepValue(bytes, kinds[j], layout.end, at, unused);  // the record was checked against them
        if (j >= count) continue;
        if (kinds[j] == KindOf(properties, j)) {
            layout.entries[j] = {Held::stored, {start, at - start}};
        } else {
            layout.entries[j].held = Held::changed;
            same = false;
        }
    }
    layout.record = true;
    layout.current = record_wanted && same;
}

enum class Fewer : uint8_t { none, one, several };

// A block without a record whose values do not all lie inside it under the
// current entries: one saved before entries were added, when exactly one
// reading with fewer entries fits it (its values end where it does, no box
// ticked past them). Readings that differ only in entries that store
// nothing and start unticked are one and the same.
Fewer ReadFewer(const uint8_t* bytes, const json_value& properties, Layout& layout) {
    const uint32_t count = uint32_t(layout.entries.size());
    uint32_t chosen = count;
    uint32_t chosen_values = 0;
    for (uint32_t held = count; held-- > 0;) {
        uint32_t at = 0;
        const char* unused = nullptr;
        if (Walk(bytes, properties, held, layout.end, at, unused) != held || at != layout.end ||
            !SpareBitsClear(bytes, held))
            continue;
        const uint32_t values = storage_offset + CheckByteCount(held);
        if (chosen == count) {
            chosen = held;
            chosen_values = values;
            continue;
        }
        // A second reading: the same one only when the entries between the
        // two keep no bytes and their boxes read unticked either way.
        if (values != chosen_values) return Fewer::several;
        for (uint32_t j = held; j < chosen; ++j)
            if (StartsTicked(properties[static_cast<int32_t>(j)])) return Fewer::several;
    }
    if (chosen == count) return Fewer::none;
    const char* unused = nullptr;
    uint32_t at = 0;
    layout.entries.assign(count, EntryPlace{});
    Walk(bytes, properties, chosen, layout.end, at, unused, &layout.entries);
    return Fewer::one;
}

}  // namespace

bool ReadLayout(const EDITDATA* block, const json_value& properties, bool record_wanted,
                Layout& layout) {
    layout = Layout{};
    layout.end = block->Tovrandi_Prop_Size;
    if (layout.end > HeaderBound(block)) {
        Report(Kvor::message::properties_damaged, Kvor::message::damage_size_beyond_block);
        return false;
    }
    const uint32_t count = PropertyCount(properties);
    layout.entries.assign(count, EntryPlace{});
    const uint8_t* bytes = Bytes(block);

    std::vector<StoredKind> kinds;
    uint32_t values_end = 0;
    switch (ReadLayoutRecord(bytes, layout.end, kinds, values_end)) {
        case RecordFound::valid:
            ReadRecorded(bytes, properties, record_wanted, kinds, layout);
            return true;
        case RecordFound::broken:
            for (EntryPlace& entry : layout.entries) entry.held = Held::lost;
            layout.damage = Kvor::message::damage_layout_record;
            return true;
        case RecordFound::none: break;
    }

    const char* damage = nullptr;
    uint32_t at = 0;
    const uint32_t found = Walk(bytes, properties, count, layout.end, at, damage, &layout.entries);
    if (found == count) {
        layout.current = !record_wanted && at == layout.end;
        return true;
    }
    switch (ReadFewer(bytes, properties, layout)) {
        case Fewer::one: return true;
        case Fewer::several:
            // No reading is chosen among several, not even for the first entries.
            for (EntryPlace& entry : layout.entries) entry.held = Held::lost;
            layout.damage = Kvor::message::damage_layout_ambiguous;
            return true;
        case Fewer::none: break;
    }
    if (damage == Kvor::message::damage_no_room_for_checks) {
        Report(Kvor::message::properties_damaged, damage);
        return false;
    }
    for (uint32_t j = found; j < count; ++j) layout.entries[j].held = Held::lost;
    layout.damage = damage;
    return true;
}

}  // namespace Kvor
