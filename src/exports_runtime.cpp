// The run-time object.
#include "exports.h"

namespace {
// The host's 184-byte header and the pointer to the instance's extension.
constexpr uint32_t run_data_size = sizeof(plenar::RunObjectHeader) + sizeof(void*);
static_assert(run_data_size == 188);
}  // namespace

PLUGIN_EXPORT uint32_t PLENAR_STDCALL GetRunObjectDataSize(void*, void*) { return run_data_size; }
