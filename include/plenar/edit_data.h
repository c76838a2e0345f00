// The edit-time data of one object instance: a block the host allocates,
// saves with the project and loads again. The host owns it and alone resizes
// it (service_resize_edit_data); the plug-in writes only after the header.
#pragma once

#include <cstddef>
#include "abi.h"

namespace plenar {

// The host's 20-byte header at the start of every edit-data block. Written
// only by the host.
struct EditDataHeader {
    uint32_t size;        // total bytes of the block, header included
    uint32_t identifier;  // the object type's four-character identifier
    uint32_t version;     // the host's block format version
    uint32_t reserved[2];
};

PLENAR_PIN_SIZE(EditDataHeader, 20, 20);
PLENAR_PIN_OFFSET(EditDataHeader, size, 0, 0);

}  // namespace plenar
