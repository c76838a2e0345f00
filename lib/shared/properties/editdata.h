// The edit-time data of one instance as the SDK lays it out after the host's
// header. The host saves this block in the user's project: the layout is
// persisted and must not change.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plenar/edit_data.h"

namespace Kvor {

struct EDITDATA {
    plenar::EditDataHeader Header;  // the host's; never written here
    int16_t Width;                  // size in the frame editor, pixels
    int16_t Height;
    uint32_t Tovrandi_Prop_Size;  // whole block size as last laid out; 0: not built yet
    uint8_t Tovrandi_Props[1];    // check bytes, then the stored values
};

static_assert(offsetof(EDITDATA, Width) == 20);
static_assert(offsetof(EDITDATA, Height) == 22);
static_assert(offsetof(EDITDATA, Tovrandi_Prop_Size) == 24);
static_assert(offsetof(EDITDATA, Tovrandi_Props) == 28);

// Where the stored properties start, and how many check bytes (one bit per
// entry of "Properties") lead them.
inline constexpr uint32_t storage_offset = offsetof(EDITDATA, Tovrandi_Props);
constexpr uint32_t CheckByteCount(uint32_t count) { return (count + 7) / 8; }

// A block as the bytes its offsets count in.
inline uint8_t* Bytes(EDITDATA* block) { return reinterpret_cast<uint8_t*>(block); }
inline const uint8_t* Bytes(const EDITDATA* block) {
    return reinterpret_cast<const uint8_t*>(block);
}

}  // namespace Kvor
