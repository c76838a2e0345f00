// The property storage inside an instance's edit-time data, which the host
// saves in the user's project: after the 28 bytes of header, size and
// `Tovrandi_Prop_Size`, one check bit per entry of "Properties" (bit i % 8 of
// byte i / 8), then the stored values in entry order, unpadded, each as its
// type's PropertyStore says (kvor/types.h): a text with its NUL, or 4 bytes.
// Nothing else is stored: a value is found by walking the "Type" of every
// entry before it in the current description.
//
// A saved block may be laid out for an earlier form of the description: one
// with fewer entries at the end of "Properties" (the author added some since)
// or more (the author removed some). The entries it holds keep their values
// and check bits, the others read their defaults, and the first write lays
// it out for the current entries; a block laid out for the current entries
// is never changed but by a write. A block may also be damaged: every walk
// stays within `Tovrandi_Prop_Size`, and within the host's header word where
// that can be the block's length; a value that does not fit is reported and
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
// "Properties" array, for an entry added since the block was saved, and for
// a block whose stored values do not fit it.
uint8_t* PropIndex(EDITDATA* block, uint32_t index, uint32_t& size);

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
