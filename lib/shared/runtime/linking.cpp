#include "runtime/linking.h"

#include <set>
#include <string>
#include <type_traits>
#include <utility>

#include "kvor/keys.h"
#include "load/language.h"
#include "text/report.h"

namespace Kvor {

namespace {

const char* ArgumentName(ArgumentKind kind) {
    switch (kind) {
        case ArgumentKind::integer: return "integer";
        case ArgumentKind::floating: return "float";
        case ArgumentKind::text: return "text";
        case ArgumentKind::generic: return "host value";
    }
    return "";
}

const char* ResultName(ResultKind kind) {
    switch (kind) {
        case ResultKind::none: return "nothing";
        case ResultKind::integer: return "an integer";
        case ResultKind::floating: return "a float";
        case ResultKind::text: return "a text";
    }
    return "";
}

std::string Describe(uint8_t count, const ArgumentKind* kinds, ResultKind result) {
    std::string text = "(";
    for (int i = 0; i < count; ++i) {
        if (i) text += ", ";
        text += ArgumentName(kinds[i]);
    }
    return text + ") giving " + ResultName(result);
}

// A host value the host fetches by its own code is an integer word.
bool ArgumentFits(ArgumentKind declared, ArgumentKind member) {
    if (declared == ArgumentKind::generic) return member == ArgumentKind::integer;
    return declared == member;
}

bool ResultFits(AceKind kind, ResultKind declared, ResultKind member) {
    if (kind == AceKind::action) return true;  // an action's result is not used
    return declared == member;
}

bool Agrees(AceKind kind, const FetchPlan& plan, const MemberSignature& signature) {
    if (plan.Count != signature.Count) return false;
    for (int i = 0; i < plan.Count; ++i)
        if (!ArgumentFits(plan.Kinds[i], signature.Kinds[i])) return false;
    return ResultFits(kind, plan.Result, signature.Result);
}

// Each disagreement is told once per id, however many instances link it.
template <typename... A>
void ReportOnce(AceKind kind, int id, const Kvor::Message& message, A... arguments) {
    static std::set<std::pair<AceKind, int>> reported;
    if (!reported.insert({kind, id}).second) return;
    ReportAbout(AceKindName(kind), message, arguments...);
}

// A member's own routine fetches by its types: it may stand in for the plan
// only where the plan asks the host for exactly that.
bool FetchesAsPlanned(AceKind kind, const FetchPlan& plan, const MemberSignature& signature) {
    for (int i = 0; i < plan.Count; ++i)
        if (plan.FetchTypes[i] != FetchTypeOf(kind, signature.Kinds[i])) return false;
    return true;
}

// How a link ended, and so which routine the id's entry gets.
enum class Linking { no_entry, refused, by_plan, own_routine };

Linking Link(AceKind kind, int id, MemberThunk call, const MemberSignature& signature) {
    if (!::SDK) return Linking::no_entry;
    AceEntries& entries = ::SDK->Entries(kind);
    std::vector<MemberThunk>& members = entries.Members;
    const std::vector<FetchPlan>& plans = entries.Plans;
    if (id < 0 || static_cast<size_t>(id) >= members.size() ||
        static_cast<size_t>(id) >= plans.size()) {
        ReportOnce(kind, id, Kvor::message::link_beyond_declared, AceKindName(kind), id,
                   static_cast<unsigned>(members.size()), AceKindName(kind));
        return Linking::no_entry;
    }
    const FetchPlan& plan = plans[id];
    if (!Agrees(kind, plan, signature)) {
        ReportOnce(kind, id, Kvor::message::link_mismatch, AceKindName(kind), id,
                   CurrentLanguage()[AceKindKey(kind)][id][key::entry::Title].text(),
                   Describe(plan.Count, plan.Kinds, plan.Result).c_str(),
                   Describe(signature.Count, signature.Kinds, signature.Result).c_str());
        members[id] = nullptr;
        return Linking::refused;
    }
    members[id] = call;
    // The own routine reaches the extension class's Runtime itself; before
    // the class is in use the generic routine answers nothing, and so must
    // every entry.
    return ExtensionInUse() && FetchesAsPlanned(kind, plan, signature) ? Linking::own_routine
                                                                       : Linking::by_plan;
}

// Per kind and id, the answered id of the own routine in that entry of
// ::SDK's tables (null for a generic routine), so that it can be taken back.
std::vector<int64_t*> answering[3];

// Puts the routine a link calls for into the id's entry; the table is the
// one the host was handed, so the host's next call through it finds it. An
// own routine answers for this id from now on; one the entry held before
// answers for it no longer.
template <class Routine>
bool Place(AceKind kind, std::vector<Routine>& table, int id, Linking outcome,
           std::type_identity_t<Routine> own, int64_t* answered,
           std::type_identity_t<Routine> generic) {
    const size_t entry = static_cast<size_t>(id);
    std::vector<int64_t*>& marks = answering[static_cast<int>(kind)];
    if (marks.size() < table.size()) marks.resize(table.size());
    if (marks[entry] && *marks[entry] == id) *marks[entry] = detail::no_id;
    marks[entry] = nullptr;
    table[entry] = generic;
    if (outcome == Linking::own_routine) {
        table[entry] = own;
        marks[entry] = answered;
        *answered = id;
    }
    return outcome != Linking::refused;
}

}  // namespace

bool LinkMember(AceKind kind, int id, MemberThunk call, const MemberSignature& signature,
                plenar::ActionRoutine own, int64_t* answered) {
    const Linking outcome = Link(kind, id, call, signature);
    if (outcome == Linking::no_entry) return false;
    if (kind == AceKind::action)
        return Place(kind, ::SDK->Actions.Routines, id, outcome, own, answered, &ActionWrapper);
    return Place(kind, ::SDK->Conditions.Routines, id, outcome, own, answered, &ConditionWrapper);
}

bool LinkMember(AceKind kind, int id, MemberThunk call, const MemberSignature& signature,
                plenar::ExpressionRoutine own, int64_t* answered) {
    const Linking outcome = Link(kind, id, call, signature);
    if (outcome == Linking::no_entry) return false;
    return Place(kind, ::SDK->Expressions.Routines, id, outcome, own, answered, &ExpressionWrapper);
}

void ForgetOwnRoutines() {
    for (std::vector<int64_t*>& marks : answering) {
        for (int64_t* answered : marks)
            if (answered) *answered = detail::no_id;
        marks.clear();
    }
}

}  // namespace Kvor
