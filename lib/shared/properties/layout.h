// How a built block's stored values lie, read against the description's
// entries. A block that carries a record of its layout is read as the
// record says, whatever the description has become since. One without a
// record names neither its entry count nor its entries' kinds: it is read
// with the current entries whenever every value of theirs lies inside it
// (values left after them belong to entries removed since); otherwise with
// fewer entries (entries added since) only where exactly one reading fits.
// Anything else is damage: read up to it, never written.
#pragma once

#include <cstdint>
#include <vector>

#include "json/json.h"
#include "properties/editdata.h"

namespace Kvor {

// Where a value lies, as offsets from the block start.
struct Location {
    uint32_t start;
    uint32_t size;
};

enum class Held : uint8_t {
    stored,   // the block's value (size 0 for kinds that keep none) and box
    fresh,    // not in the block: the default value and box
    changed,  // saved as another stored kind: the default value and box
    lost,     // past the damage: reading it reports the damage
};

struct EntryPlace {
    Held held = Held::fresh;
    Location value{};
};

struct Layout {
    uint32_t end = 0;                 // Tovrandi_Prop_Size
    std::vector<EntryPlace> entries;  // one per entry of the description
    bool record = false;              // it carries a layout record
    // Laid out exactly as a write lays it out now, so a write can go in place.
    bool current = false;
    const char* damage = nullptr;  // why it reads as no layout; writes are refused
};

// Reads the layout of a built block; `record_wanted`: the object type lays
// its blocks out with a record. False, after the damage message, when not
// even the check bytes lie inside the block.
bool ReadLayout(const EDITDATA* block, const json_value& properties, bool record_wanted,
                Layout& layout);

}  // namespace Kvor
