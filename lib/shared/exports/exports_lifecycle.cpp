// Start-up and shut-down.
#include "load/description.h"
#include "export_glue.h"

PLUGIN_EXPORT int32_t PLENAR_STDCALL Initialize(HostServices* services, int32_t) {
    return Kvor::Guarded(-1, [&] { return Kvor::Init(services); });
}

// The SDK object outlives Free: it is destroyed when the library unloads.
PLUGIN_EXPORT int32_t PLENAR_STDCALL Free(HostServices*) { return 0; }
