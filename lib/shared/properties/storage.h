// The property storage inside an instance's edit-time data, which the host
// saves in the user's project: after the 28 bytes of header, size and
// `Tovrandi_Prop_Size`, one check bit per entry of "Properties" (bit i % 8 of
// byte i / 8), then the stored values in entry order, unpadded, each as its
// type's PropertyStore says (kvor/types.h): a text with its NUL, or 4 bytes.
// Nothing else is stored: a value is found by walking the "Type" of every
// entry before it in the current description.
//
// A saved block may be damaged or laid out for another description. Every
// walk stays within both `Tovrandi_Prop_Size` and the host's header size (the
// block's true length); a block that does not fit is reported and left as it
// is.
#pragma once

#include <cstdint>

#include "properties/editdata.h"
#include "plenar/services.h"
#include "properties/value_objects.h"

namespace Kvor {

// True once the storage has been laid out: the block is long enough to hold
// `Tovrandi_Prop_Size` and that is not 0.
bool PropertyStorageBuilt(const EDITDATA* block);

// Lays out the storage from the description's defaults and has the host
// resize the block to fit; `block` then points at the host's new block. When
// the host refuses, the block is unchanged.
void InitialisePropertiesFromJSON(plenar::HostServices* services, EDITDATA*& block);

// The first stored byte of property `index` and, through `size`, how many
// bytes it stores. Null (size untouched) for types that never store anything
// here ("Text", "Checkbox", "Folder..."), for a description without a
// "Properties" array, and for a block whose stored values do not fit it.
uint8_t* PropIndex(EDITDATA* block, uint32_t index, uint32_t& size);

// A new value for the sheet (ownership passes to the caller), or null;
// std::bad_alloc when there is no memory for it.
Prop* GetProperty(EDITDATA* block, uint32_t index);

// Replaces property `index`'s stored bytes with `count` bytes. A text of a new
// length has the host resize the block; `block` then points at the new one.
// Returns whether the bytes were stored; otherwise nothing was written.
bool RewriteProperty(plenar::HostServices* services, EDITDATA*& block, uint32_t index,
                     const void* bytes, uint32_t count);

// Ticks (`state` true) or clears property `index`'s check box; false when
// the block has no room for it.
bool SetPropertyCheck(EDITDATA* block, uint32_t index, bool state);
bool GetPropertyCheck(const EDITDATA* block, uint32_t index);

}  // namespace Kvor
