#include "sdk.h"

#include "kvor/keys.h"
#include "runtime/dispatch.h"
#include "editor/icon.h"
#include "load/language.h"
#include "properties/descriptors.h"
#if defined(_WIN32)
#include "editor/menus.h"
#endif
#include "records/ace_records.h"
#include "text/report.h"

Kvor::SDK* SDK = nullptr;

namespace Kvor {

SDK::SDK(plenar::HostServices* services, json_value* root)
    : json(root), HostServices(services), Icon(nullptr) {
    try {
        Build(services);
    } catch (...) {
        // Nobody may reach an object that was never finished: ::SDK and the
        // language chosen from its description let go of it before it goes.
        if (::SDK == this) {
            ::SDK = nullptr;
            CachedLanguage = &json_none;
        }
        ReleaseOwned();
        throw;
    }
}

void SDK::Build(plenar::HostServices* services) {
    Icon = LoadObjectIcon(services);
    // The language choice and the record readers read the description
    // through ::SDK, so it must point here before the first of them runs.
    if (!::SDK) ::SDK = this;

    const json_value& language = CurrentLanguage();
    if (language.type != json_type_object) {
        Report(Kvor::message::no_language);
        return;
    }
    const json_value& actions = language[key::language::Actions];
    const json_value& conditions = language[key::language::Conditions];
    const json_value& expressions = language[key::language::Expressions];
    // Only an array holds entries; any other value declares none.
    auto count = [](const json_value& v) { return v.type == json_type_array ? v.length() : 0; };
    ActionRoutines.assign(count(actions) + 1, nullptr);
    ConditionRoutines.assign(count(conditions) + 1, nullptr);
    ExpressionRoutines.assign(count(expressions) + 1, nullptr);
    for (uint32_t i = 0; i < count(actions); ++i) {
        ActionRoutines[i] = &ActionWrapper;
        ActionMembers.push_back(nullptr);
        ReadActionInfo();
    }
    for (uint32_t i = 0; i < count(conditions); ++i) {
        ConditionRoutines[i] = &ConditionWrapper;
        ConditionMembers.push_back(nullptr);
        ReadConditionInfo();
    }
    for (uint32_t i = 0; i < count(expressions); ++i) {
        ExpressionRoutines[i] = &ExpressionWrapper;
        ExpressionMembers.push_back(nullptr);
        ReadExpressionInfo();
    }
    auto plan = [](AceKind kind, const std::vector<ACEInfo*>& records, const json_value& entries,
                   std::vector<FetchPlan>& plans) {
        for (size_t id = 0; id < records.size(); ++id)
            plans.push_back(MakeFetchPlan(kind, records[id], entries[static_cast<int32_t>(id)]));
    };
    plan(AceKind::action, ActionInfos, actions, ActionPlans);
    plan(AceKind::condition, ConditionInfos, conditions, ConditionPlans);
    plan(AceKind::expression, ExpressionInfos, expressions, ExpressionPlans);
    EdittimeProperties = BuildPropertyDescriptors(language[key::language::Properties]);
#if defined(_WIN32)
    // The editor's menus are Windows menus. Built last, once nothing can fail.
    BuildMenus(language);
#endif
}

SDK::~SDK() {
    ForgetOwnRoutines();  // the routine tables go with this object
#if defined(_WIN32)
    DestroyMenus();
#endif
    ReleaseOwned();
}

void SDK::ReleaseOwned() {
    json_release(json);
    ReleasePropertyDescriptors(EdittimeProperties);
    DestroyIcon(Icon);
    FreeRecords(ExpressionInfos);
    FreeRecords(ConditionInfos);
    FreeRecords(ActionInfos);
}

}  // namespace Kvor
