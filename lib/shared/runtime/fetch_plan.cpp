#include "runtime/fetch_plan.h"

#include "kvor/keys.h"
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

}  // namespace

FetchPlan MakeFetchPlan(AceKind kind, const ACEInfo* record, const json_value& entry) {
    FetchPlan plan;
    if (!record) return plan;
    plan.Result = ResultOf(kind, *record);
    int64_t count = record->NumOfParams;
    const json_value& automatic = entry[key::entry::NumAutoProps];
    if (automatic.type == json_type_integer) count = automatic.integer();
    if (count < 0) count = 0;
    if (count > record->NumOfParams) count = record->NumOfParams;
    plan.Count = static_cast<uint8_t>(count);

    for (int i = 0; i < plan.Count; ++i) {
        const bool is_float = (record->FloatFlags >> i) & 1;
        plan.Kinds[i] =
            kind == AceKind::expression
                ? ArgumentKindOf(expression_parameter_types, record->Parameter[i], is_float)
                : ArgumentKindOf(parameter_types, record->Parameter[i], is_float);
        plan.FetchTypes[i] = FetchTypeOf(kind, plan.Kinds[i]);
    }
    return plan;
}

}  // namespace Kvor
