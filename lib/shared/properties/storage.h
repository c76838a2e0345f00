// The property storage inside an instance's edit-time data, which the host
// saves in the user's project: after the 28 bytes of header, size and
// `Tovrandi_Prop_Size`, one check bit per entry of "Properties" (bit i % 8 of
// byte i / 8), then the stored values in entry order, unpadded, each as its
// type's PropertyStore says (kvor/types.h): a text with its NUL, or 4 bytes;
// then, for an object type that asks for it, the record of that layout
// (layout_record.h).
//
// A saved block may be laid out for an earlier form of the description
// (properties/layout.h says how it is read). The entries it holds keep their
// values and check bits, the others read their defaults, and the first write
// lays it out for the current entries; a block laid out as a write would lay
// it out is never changed but by a write. A block may also be damaged: every
// walk stays within `Tovrandi_Prop_Size`, and within the host's header word
// where that can be the block's length; what does not fit is reported and
// the block left as it is.
#pragma once

#include <cstdint>

#include "properties/editdata.h"
#include "plenar/services.h"
#include "properties/value_objects.h"

namespace Kvor {

// True once the storage has been laid out: `Tovrandi_Prop_Size` is not 0.
bool PropertyStorageBuilt(const EDITDATA* block);

// Lays out the storage from the description's defaults and has the host
// resize the block to fit; `block` then points at the host's new block. When
// the host refuses, the block is unchanged.
void InitialisePropertiesFromJSON(plenar::HostServices* services, EDITDATA*& block);

// The first stored byte of property `index` and, through `size`, how many
// bytes it stores. Null (size untouched) for types that never store anything
// here ("Text", "Checkbox", "Folder..."), for a description without a
// "Properties" array, for an entry the block does not hold (added since, or
// saved as another kind), and for a block whose stored values do not fit it.
uint8_t* PropIndex(EDITDATA* block, uint32_t index, uint32_t& size);

// The 4-byte value of a number, item or colour property as the sheet shows
// it: stored, or its default where the block holds none (a block never laid
// out included); an item past the entry's "Items" reads as its default item.
// False for other entries, and for a damaged block (reported).
bool PropertyNumber(const EDITDATA* block, uint32_t index, uint32_t& number);

// A new value for the sheet (ownership passes to the caller), or null;
// std::bad_alloc when there is no memory for it.
Prop* GetProperty(EDITDATA* block, uint32_t index);

// Replaces property `index`'s stored bytes with `count` bytes. A text of a new
// length has the host resize the block; `block` then points at the new one.
// Returns whether the bytes were stored; otherwise the value is as it was
// (the block may have been laid out for the current entries first).
bool RewriteProperty(plenar::HostServices* services, EDITDATA*& block, uint32_t index,
                     const void* bytes, uint32_t count);

// Ticks (`state` true) or clears property `index`'s check box; false when
// the block has no room for it. A block laid out for another number of
// entries is laid out again first; `block` then points at the host's new one.
bool SetPropertyCheck(plenar::HostServices* services, EDITDATA*& block, uint32_t index, bool state);
// Whether property `index`'s box is ticked; for a block not laid out yet, or
// an entry it does not hold, whether its default ticks it.
bool GetPropertyCheck(const EDITDATA* block, uint32_t index);

}  // namespace Kvor
