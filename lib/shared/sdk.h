// The SDK object: what the JSON description is turned into, built once per
// loaded library by Init and reached from everywhere through ::SDK.
#pragma once

#include <vector>

#include "records/ace_records.h"
#include "runtime/fetch_plan.h"
#include "json/json.h"
#include "plenar/plenarcore.h"
#include "plenar/records.h"
#include "plenar/run_data.h"
#include "plenar/services.h"

namespace Kvor {

struct ACEInfo;
// Calls a linked member on `extension` with its argument words; its result
// comes back as a host word. Made by the typed linking in runtime/linking.h.
using MemberThunk = plenar::Word (*)(void* extension, const plenar::Word* arguments);

// What the SDK keeps for one kind of entry (actions, conditions or
// expressions), each vector indexed by id.
struct AceEntries {
    std::vector<ACEInfo*> Records;     // one owned record per entry of the description's array
    std::vector<FetchPlan> Plans;      // how dispatch fetches each entry's parameters
    std::vector<MemberThunk> Members;  // the extension's linked member, or null
};

template <class Routine>
struct AceTable : AceEntries {
    // The table handed to the host: one routine per id, then null. Empty
    // when the description has no language object.
    std::vector<Routine> Routines;
};

// The SDK keeps its state here, with three exceptions that are
// process-wide by nature: the language chosen (load/language.h: the
// settings file is read once per process), the editor's menus
// (editor/menus.h: Windows menu handles the host holds between calls) and
// the extension class's hooks (runtime/routines.h: set by the object type's
// code once, before any SDK object exists).
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

    json_value* json;  // root of the parsed description; owned
    // Per kind of entry, by id: the records, fetch plans, linked members and
    // the routines the host calls at run time.
    AceTable<plenar::ActionRoutine> Actions;
    AceTable<plenar::ConditionRoutine> Conditions;
    AceTable<plenar::ExpressionRoutine> Expressions;
    // The property sheet: one descriptor per entry of "Properties" the SDK
    // understood, then an all-zero terminator. Empty without a language.
    std::vector<plenar::PropertyDescriptor> EdittimeProperties;
    plenar::HostServices* HostServices;  // the record this object was built with
    plenar::Surface* Icon;               // the object's icon; null when no memory was left

    AceEntries& Entries(AceKind kind) {
        return kind == AceKind::action      ? static_cast<AceEntries&>(Actions)
               : kind == AceKind::condition ? static_cast<AceEntries&>(Conditions)
                                            : static_cast<AceEntries&>(Expressions);
    }

private:
    void Build(plenar::HostServices* services);
    // Everything but the menus, which exist only once building is done.
    void ReleaseOwned();
};

}  // namespace Kvor

// The one SDK object, null until the first successful Init.
extern Kvor::SDK* SDK;
