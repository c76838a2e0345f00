// The SDK object: what the JSON description is turned into, built once per
// loaded library by Init and reached from everywhere through ::SDK.
#pragma once

#include <vector>

#include "runtime/fetch_plan.h"
#include "json/json.h"
#include "plenar/plenarcore.h"
#include "plenar/records.h"
#include "plenar/run_data.h"
#include "plenar/services.h"

namespace Kvor {

struct ACEInfo;
// Calls a linked member on `extension` with its argument words; its result
// comes back as a host word. Made by the typed linking in dispatch.h.
using MemberThunk = plenar::Word (*)(void* extension, const plenar::Word* arguments);

class SDK {
public:
    // Takes ownership of `root`. Publishes itself through ::SDK (when that is
    // still null) before anything reads the description. When building throws
    // (out of memory), ::SDK is null again, everything owned so far, `root`
    // included, is released, and the exception goes on to the caller.
    SDK(plenar::HostServices* services, json_value* root);
    ~SDK();
    SDK(const SDK&) = delete;
    SDK& operator=(const SDK&) = delete;

    json_value* json;                   // root of the parsed description; owned
    std::vector<ACEInfo*> ActionInfos;  // one owned record per "Actions" entry, by id
    std::vector<ACEInfo*> ConditionInfos;
    std::vector<ACEInfo*> ExpressionInfos;
    // The tables the host calls at run time: one routine per id, then null.
    // Empty when the description has no language object.
    std::vector<plenar::ActionRoutine> ActionRoutines;
    std::vector<plenar::ConditionRoutine> ConditionRoutines;
    std::vector<plenar::ExpressionRoutine> ExpressionRoutines;
    // Per id, the extension's linked member, or null.
    std::vector<MemberThunk> ActionMembers;
    std::vector<MemberThunk> ConditionMembers;
    std::vector<MemberThunk> ExpressionMembers;
    // The property sheet: one descriptor per entry of "Properties" the SDK
    // understood, then an all-zero terminator. Empty without a language.
    std::vector<plenar::PropertyDescriptor> EdittimeProperties;
    plenar::HostServices* HostServices;  // the record this object was built with
    plenar::Surface* Icon;               // the object's icon; null when no memory was left
    // Per id, how dispatch fetches the parameters; resolved once here.
    std::vector<FetchPlan> ActionPlans;
    std::vector<FetchPlan> ConditionPlans;
    std::vector<FetchPlan> ExpressionPlans;

private:
    void Build(plenar::HostServices* services);
    // Everything but the menus, which exist only once building is done.
    void ReleaseOwned();
};

}  // namespace Kvor

// The one SDK object, null until the first successful Init.
extern Kvor::SDK* SDK;
