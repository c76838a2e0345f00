// Which entries of the description give an instance's stored layout. Every
// language section lists the same property sheet; the first one (the
// language chosen when no Tovrandi.ini names another) fixes what each entry
// stores, its defaults and whether blocks carry a record of their layout,
// so a block is laid out and read alike whichever language the editor shows.
// The other sections give the sheet its texts.
#pragma once

#include <cstdint>

#include "json/json.h"
#include "kvor/types.h"

namespace Kvor {

// The first language section's "Properties".
const json_value& StoredProperties();

// Whether the first language section says "LayoutRecord": true.
bool RecordsLayout();

// How many entries a "Properties" value holds (0 when it is not an array).
uint32_t PropertyCount(const json_value& properties);

// What one entry keeps, by its own "Type"; names the SDK does not know keep
// nothing and have no value.
PropertyStore StoreOf(const json_value& entry);

}  // namespace Kvor
