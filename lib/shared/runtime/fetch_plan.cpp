#include "runtime/fetch_plan.h"

#include "plenar/run_data.h"
#include "records/ace_records.h"

namespace Kvor {

namespace {

constexpr uint16_t action_number = 22, action_file = 40, action_text = 45;
constexpr uint16_t expression_number = 1, expression_text = 3;

ResultKind ResultOf(AceKind kind, const ACEInfo& record) {
    switch (kind) {
        case AceKind::action: return ResultKind::none;
        case AceKind::condition: return ResultKind::integer;
        case AceKind::expression:
            if (record.Flags == 2) return ResultKind::floating;
            if (record.Flags == 1) return ResultKind::text;
            return ResultKind::integer;
    }
    return ResultKind::none;
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
        uint16_t code = record->Parameter[i];
        bool is_float = (record->FloatFlags >> i) & 1;
        ArgumentKind& argument = plan.Kinds[i];
        int32_t& fetch = plan.FetchTypes[i];
        if (kind == AceKind::expression) {
            if (code == expression_number) {
                argument = is_float ? ArgumentKind::floating : ArgumentKind::integer;
                fetch = is_float ? plenar::fetch_float : plenar::fetch_integer;
            } else if (code == expression_text) {
                argument = ArgumentKind::text;
                fetch = plenar::fetch_string;
            } else {
                argument = ArgumentKind::generic;
                fetch = no_fetch;
            }
        } else if (code == action_number) {
            argument = is_float ? ArgumentKind::floating : ArgumentKind::integer;
            fetch = is_float ? plenar::fetch_float : plenar::fetch_integer;
        } else {
            argument = code == action_file || code == action_text ? ArgumentKind::text
                                                                  : ArgumentKind::generic;
            fetch = plenar::fetch_generic;
        }
    }
    return plan;
}

}  // namespace Kvor
