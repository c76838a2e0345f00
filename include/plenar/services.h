// The host services record: handed by the host to Initialize and to most
// editor exports. Owned by the host; the plug-in only reads it and calls its
// routines, on the host's thread, during the call that passed it.
#pragma once

#include <cstddef>
#include "abi.h"

namespace plenar {

// General service codes (second argument of HostServices::service).
enum ServiceCode : int32_t {
    service_insert_properties =
        1,  // (edit data, 1, descriptors, 1, 1): add descriptors to the sheet
    service_resize_edit_data = 5,   // (edit data, 5, edit data, new size, 0): new block or null
    service_edit_data_notice = 18,  // (edit data, 18, 0, 0, 0): the edit data changed
    service_query_113 = 113,        // (0, 113, 0, 0, 0): yes/no answer
};

using VersionRoutine = uint32_t(PLENAR_STDCALL*)();
using ServiceRoutine = intptr_t(PLENAR_STDCALL*)(void* edit_data, int32_t code, intptr_t a,
                                                 intptr_t b, intptr_t c);

struct HostServices {
    uint32_t reserved_00;
    uint32_t open_application;  // 0 when no application is open in the editor
    uint32_t reserved_08;
    uint32_t editor_window;  // window id for plenarcore ordinal 34 (window surface)
    uint8_t reserved_10[0x28 - 0x10];
    void* image_import_context;  // passed through to ordinal 137; null: no image import
    uint8_t reserved_2c[0x150 - 0x2C];
    VersionRoutine version;  // low 12 bits: build; high 16 bits: version; may be null
    ServiceRoutine service;  // the general service entry, see ServiceCode
};

PLENAR_PIN_OFFSET(HostServices, open_application, 4, 4);
PLENAR_PIN_OFFSET(HostServices, editor_window, 12, 12);
PLENAR_PIN_OFFSET(HostServices, image_import_context, 0x28, 0x28);
PLENAR_PIN_OFFSET(HostServices, version, 0x150, 0x158);
PLENAR_PIN_OFFSET(HostServices, service, 0x154, 0x160);
PLENAR_PIN_SIZE(HostServices, 0x158, 0x168);

}  // namespace plenar
