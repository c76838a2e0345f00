#include "runtime/fetch_plan.h"

#include "plenar/run_data.h"
#include "records/ace_records.h"

namespace Kvor {

namespace {

ResultKind ResultOf(AceKind kind, const ACEInfo& record) {
    switch (kind) {
        case AceKind::action: return ResultKind::none;
        case AceKind::condition: return ResultKind::integer;
        case AceKind::expression: return ResultKindOf(record.Flags);
    }
    return ResultKind::none;
}

// How the host is asked for an argument of `kind`: actions and conditions
// fetch everything but numbers by the parameter's own code; expressions fetch
// numbers and texts only.
int32_t FetchTypeOf(AceKind ace, ArgumentKind kind) {
    switch (kind) {
        case ArgumentKind::integer: return plenar::fetch_integer;
        case ArgumentKind::floating: return plenar::fetch_float;
        case ArgumentKind::text: return ace == AceKind::expression ? plenar::fetch_string : plenar::fetch_generic;
        case ArgumentKind::generic: return ace == AceKind::expression ? no_fetch : plenar::fetch_generic;
    }
    return no_fetch;
}

}  // namespace

FetchPlan MakeFetchPlan(AceKind kind, const ACEInfo* record, const json_value& entry) {
    FetchPlan plan;
    if (!record) return plan;
    plan.Result = ResultOf(kind, *record);
    int64_t count = record->NumOfParams;
    const json_value& automatic = entry["NumAutoProps"];
    if (automatic.type == json_type_integer) count = automatic.integer();
    if (count < 0) count = 0;
    if (count > record->NumOfParams) count = record->NumOfParams;
    plan.Count = static_cast<uint8_t>(count);

    for (int i = 0; i < plan.Count; ++i) {
        const bool is_float = (record->FloatFlags >> i) & 1;
        plan.Kinds[i] = kind == AceKind::expression
                            ? ArgumentKindOf(expression_parameter_types, record->Parameter[i], is_float)
                            : ArgumentKindOf(parameter_types, record->Parameter[i], is_float);
        plan.FetchTypes[i] = FetchTypeOf(kind, plan.Kinds[i]);
    }
    return plan;
}

}  // namespace Kvor
