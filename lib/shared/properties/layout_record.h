// The record of its own layout that a stored block carries when its object
// type asks for one ("LayoutRecord": true in the description): a trailer
// after the last stored value, inside `Tovrandi_Prop_Size`,
//
//   one byte per entry: its StoredKind (kvor/types.h), in entry order
//   4 bytes: the number of entries, little-endian
//   4 bytes: CRC-32 of every stored byte from offset 28 up to here
//   4 bytes: 4B 4C 52 D7
//
// so that a block is read as it was laid out, under any later description.
// The last four bytes tell a trailer from the values before it: a text ends
// with its NUL, a colour or an item's position never has the top byte D7,
// so only a number the user typed could look like them, and then the CRC
// and the walk of every value up to the trailer still have to agree.
#pragma once

#include <cstdint>
#include <vector>

#include "kvor/types.h"

namespace Kvor {

inline constexpr uint32_t layout_record_fixed_size = 12;  // count, CRC, magic
inline constexpr uint8_t layout_record_magic[4] = {0x4B, 0x4C, 0x52, 0xD7};

// The bytes a record of `count` entries adds to a block.
constexpr uint32_t LayoutRecordSize(uint32_t count) { return count + layout_record_fixed_size; }

// Moves `at` past the value of `kind` stored there, within `end`; false,
// with `damage` saying why, when it runs past `end`.
bool StepValue(const uint8_t* bytes, StoredKind kind, uint32_t end, uint32_t& at,
               const char*& damage);

// Appends the record of `kinds` to `storage`, the block's bytes from offset
// 28 (check bytes and values), which it covers.
void AppendLayoutRecord(std::vector<uint8_t>& storage, const std::vector<StoredKind>& kinds);

enum class RecordFound : uint8_t {
    none,    // the storage does not end with the magic bytes
    valid,   // `kinds` holds the entries; their values end where the record starts
    broken,  // it ends with them, but the record does not describe the block
};

// Reads the record at the end of the storage `bytes[28, end)`. A valid one
// gives the stored kinds and `values_end`, the offset where its values end.
RecordFound ReadLayoutRecord(const uint8_t* bytes, uint32_t end, std::vector<StoredKind>& kinds,
                             uint32_t& values_end);

// Writes the CRC of a valid record again after the bytes it covers changed.
void RefreshLayoutRecord(uint8_t* bytes, uint32_t end);

}  // namespace Kvor
