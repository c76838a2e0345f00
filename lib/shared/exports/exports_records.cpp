// The records of actions, conditions and expressions, as the host reads them.
#include "export_glue.h"
#include "load/host_version.h"
#include "records/ace_records.h"

namespace {
// The code arrives as a signed 16-bit number in a 32-bit argument.
const plenar::AceRecord* Answer(HostServices* services, const Kvor::ACEInfo* (*record_at)(int),
                                int32_t code) {
    return Kvor::Guarded(static_cast<const plenar::AceRecord*>(nullptr), [&] {
        if (!Kvor::HostIsCompatible(services))
            return static_cast<const plenar::AceRecord*>(nullptr);
        const Kvor::ACEInfo* record = record_at(static_cast<int16_t>(code));
        return record ? record->HostView() : nullptr;
    });
}
}  // namespace

PLUGIN_EXPORT const plenar::AceRecord* PLENAR_STDCALL GetActionInfos(HostServices* services,
                                                                     int32_t code) {
    return Answer(services, Kvor::ActionInfoAt, code);
}

PLUGIN_EXPORT const plenar::AceRecord* PLENAR_STDCALL GetConditionInfos(HostServices* services,
                                                                        int32_t code) {
    return Answer(services, Kvor::ConditionInfoAt, code);
}

PLUGIN_EXPORT const plenar::AceRecord* PLENAR_STDCALL GetExpressionInfos(HostServices* services,
                                                                         int32_t code) {
    return Answer(services, Kvor::ExpressionInfoAt, code);
}
