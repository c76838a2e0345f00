// The records of actions, conditions and expressions, as the host reads them.
#include "exports.h"
#include "load/host_version.h"
#include "records/ace_records.h"

namespace {
const plenar::AceRecord* HostView(const Kvor::ACEInfo* record) {
    return record ? record->HostView() : nullptr;
}
}  // namespace

// The code arrives as a signed 16-bit number in a 32-bit argument.
PLUGIN_EXPORT const plenar::AceRecord* PLENAR_STDCALL GetActionInfos(HostServices* services,
                                                                     int32_t code) {
    if (!Kvor::HostIsCompatible(services)) return nullptr;
    return HostView(Kvor::ActionInfoAt(static_cast<int16_t>(code)));
}

PLUGIN_EXPORT const plenar::AceRecord* PLENAR_STDCALL GetConditionInfos(HostServices* services,
                                                                        int32_t code) {
    if (!Kvor::HostIsCompatible(services)) return nullptr;
    return HostView(Kvor::ConditionInfoAt(static_cast<int16_t>(code)));
}

PLUGIN_EXPORT const plenar::AceRecord* PLENAR_STDCALL GetExpressionInfos(HostServices* services,
                                                                         int32_t code) {
    if (!Kvor::HostIsCompatible(services)) return nullptr;
    return HostView(Kvor::ExpressionInfoAt(static_cast<int16_t>(code)));
}
