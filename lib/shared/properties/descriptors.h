// The property sheet's descriptors, built from the language object's
// "Properties" array: one per entry the SDK understands, then an all-zero
// terminator. Every identifier is 0x80000 plus its own entry's position, so
// the storage and the property exports, which address entries by
// identifier - 0x80000, always reach the entry the host is asking about.
#pragma once

#include <cstdint>
#include <vector>

#include "json/json.h"
#include "kvor/types.h"
#include "plenar/records.h"

namespace Kvor {

// The descriptors for `properties`, followed by the terminator. Problems are
// shown to the user as plain message boxes; a refused entry leaves no
// descriptor and does not move the identifiers of the others. The texts,
// number pairs and item arrays the descriptors point to are owned by them:
// hand the result to ReleasePropertyDescriptors when done.
std::vector<plenar::PropertyDescriptor> BuildPropertyDescriptors(const json_value& properties);

// Frees every text, minimum/maximum pair and item array `descriptors` own and
// empties it.
void ReleasePropertyDescriptors(std::vector<plenar::PropertyDescriptor>& descriptors);

}  // namespace Kvor
