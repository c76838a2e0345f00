#include "sdk.h"

#include "kvor/keys.h"
#include "runtime/linking.h"
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

namespace {

// Every entry starts unlinked, answered by the generic routine; its record
// is read (a refused one becomes a placeholder), then its fetch plan made.
template <class Routine>
void BuildEntries(AceKind kind, AceTable<Routine>& table, const json_value& entries,
                  Routine generic, bool (*read_record)()) {
    // Only an array holds entries; any other value declares none.
    const uint32_t count = entries.type == json_type_array ? entries.length() : 0;
    table.Routines.assign(count + 1, nullptr);
    for (uint32_t id = 0; id < count; ++id) {
        table.Routines[id] = generic;
        table.Members.push_back(nullptr);
        read_record();
    }
    for (size_t id = 0; id < table.Records.size(); ++id)
        table.Plans.push_back(
            MakeFetchPlan(kind, table.Records[id], entries[static_cast<int32_t>(id)]));
}

}  // namespace

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
    BuildEntries(AceKind::action, Actions, language[key::language::Actions], &ActionWrapper,
                 ReadActionInfo);
    BuildEntries(AceKind::condition, Conditions, language[key::language::Conditions],
                 &ConditionWrapper, ReadConditionInfo);
    BuildEntries(AceKind::expression, Expressions, language[key::language::Expressions],
                 &ExpressionWrapper, ReadExpressionInfo);
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
    FreeRecords(Expressions.Records);
    FreeRecords(Conditions.Records);
    FreeRecords(Actions.Records);
}

}  // namespace Kvor
