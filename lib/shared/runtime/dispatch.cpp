#include "runtime/dispatch.h"

#include <cstdio>
#include <exception>
#include <set>
#include <string>
#include <type_traits>
#include <utility>

#include "kvor/keys.h"
#include "load/language.h"
#include "text/guard.h"
#include "text/report.h"
#include "sdk.h"

namespace Kvor {

namespace {

ExtensionHooks hooks{};

// What each kind is called and where its members and plans are kept.
struct KindTable {
    std::vector<MemberThunk> SDK::*members;
    std::vector<FetchPlan> SDK::*plans;
};

const KindTable& Table(AceKind kind) {
    static const KindTable tables[] = {
        {&SDK::ActionMembers, &SDK::ActionPlans},
        {&SDK::ConditionMembers, &SDK::ConditionPlans},
        {&SDK::ExpressionMembers, &SDK::ExpressionPlans},
    };
    return tables[static_cast<int>(kind)];
}

[[gnu::always_inline]] inline std::vector<MemberThunk>& Members(AceKind kind) {
    return ::SDK->*Table(kind).members;
}
[[gnu::always_inline]] inline const std::vector<FetchPlan>& Plans(AceKind kind) {
    return ::SDK->*Table(kind).plans;
}

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

// The argument words of one call, fetched by the plan; false when a text
// came back null (reported, the member is not to be called).
[[gnu::always_inline]] inline bool FetchActionArguments(AceKind kind, plenar::RunObjectHeader* run,
                                                        const FetchPlan& plan,
                                                        plenar::Word* words) {
    plenar::RunHeader* header = run->run_header;
    for (int i = 0; i < plan.Count; ++i) {
        words[i] = header->get_parameter(run, plan.FetchTypes[i], 0);
        if (plan.Kinds[i] == ArgumentKind::text && words[i] == 0) {
            detail::ReportNullText(kind);
            return false;
        }
    }
    return true;
}

// The same for an expression: the first fetch through the first-parameter
// callback, every later one through the next-parameter callback.
[[gnu::always_inline]] inline bool FetchExpressionArguments(plenar::RunObjectHeader* run,
                                                            const FetchPlan& plan,
                                                            plenar::Word word,
                                                            plenar::Word* words) {
    plenar::RunHeader* header = run->run_header;
    for (int i = 0; i < plan.Count; ++i) {
        if (plan.FetchTypes[i] == no_fetch) {
            words[i] = 0;  // nothing is fetched for this position
            continue;
        }
        auto fetch =
            i == 0 ? header->first_expression_parameter : header->next_expression_parameter;
        words[i] = fetch(run, plan.FetchTypes[i], word);
        if (plan.Kinds[i] == ArgumentKind::text && words[i] == 0) {
            detail::ReportNullText(AceKind::expression);
            return false;
        }
    }
    return true;
}

[[gnu::always_inline]] inline plenar::Word ActionOrCondition(AceKind kind, MemberThunk member,
                                                             int32_t id,
                                                             plenar::RunObjectHeader* run,
                                                             void* extension) {
    const FetchPlan& plan = Plans(kind)[id];
    // Only the plan's count of words is written and read: zeroing all
    // sixteen costs more than the rest of a short call.
    plenar::Word words[MaxParameters];
    uint32_t cursor = run->parameter_cursor;
    if (!FetchActionArguments(kind, run, plan, words)) return 0;
    run->parameter_cursor = cursor;
    return member(extension, words);
}

[[gnu::always_inline]] inline bool Linked(AceKind kind, int32_t id) {
    return ::SDK && id >= 0 && static_cast<size_t>(id) < Members(kind).size() &&
           Members(kind)[id] != nullptr && static_cast<size_t>(id) < Plans(kind).size();
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
    std::vector<MemberThunk>& members = Members(kind);
    const std::vector<FetchPlan>& plans = Plans(kind);
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
    return hooks.RuntimeOf && FetchesAsPlanned(kind, plan, signature) ? Linking::own_routine
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

namespace detail {

void ReportNullText(AceKind kind) {
    Report(kind == AceKind::expression ? Kvor::message::null_text_expression_parameter
                                       : Kvor::message::null_text_parameter);
}

void ReportFailedCall(AceKind kind, int32_t id) noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& error) {
            ReportAbout(AceKindName(kind), Kvor::message::call_failed, AceKindName(kind), id,
                        error.what());
        } catch (...) {
            ReportAbout(AceKindName(kind), Kvor::message::call_failed, AceKindName(kind), id,
                        Kvor::message::call_failed_unknown);
        }
    } catch (...) {
        // Not even the message could be made (no memory, say): the box an
        // export shows then, which needs none; the host still gets control
        // back, with the routine's failure value.
        ReportCaughtException(export_errors);
    }
}

plenar::Word EmptyHostText(Runtime& runtime) {
    static const WideChar empty[1] = {0};
    return reinterpret_cast<plenar::Word>(runtime.CopyString(empty));
}

}  // namespace detail

void SetExtensionHooks(const ExtensionHooks& new_hooks) { hooks = new_hooks; }

bool LinkMember(AceKind kind, int id, MemberThunk call, const MemberSignature& signature,
                plenar::ActionRoutine own, int64_t* answered) {
    const Linking outcome = Link(kind, id, call, signature);
    if (outcome == Linking::no_entry) return false;
    if (kind == AceKind::action)
        return Place(kind, ::SDK->ActionRoutines, id, outcome, own, answered, &ActionWrapper);
    return Place(kind, ::SDK->ConditionRoutines, id, outcome, own, answered, &ConditionWrapper);
}

bool LinkMember(AceKind kind, int id, MemberThunk call, const MemberSignature& signature,
                plenar::ExpressionRoutine own, int64_t* answered) {
    const Linking outcome = Link(kind, id, call, signature);
    if (outcome == Linking::no_entry) return false;
    return Place(kind, ::SDK->ExpressionRoutines, id, outcome, own, answered, &ExpressionWrapper);
}

void ForgetOwnRoutines() {
    for (std::vector<int64_t*>& marks : answering) {
        for (int64_t* answered : marks)
            if (answered) *answered = detail::no_id;
        marks.clear();
    }
}

int32_t PLENAR_STDCALL ActionWrapper(plenar::RunObjectHeader* run, plenar::Word first,
                                     plenar::Word second) {
    void* extension = run ? ExtensionOf(run) : nullptr;
    if (!extension || !hooks.RuntimeOf) return 0;
    Runtime& runtime = hooks.RuntimeOf(extension);
    runtime.FirstParameter = first;
    runtime.SecondParameter = second;
    int32_t id = run->current_id;
    try {
        if (Linked(AceKind::action, id))
            ActionOrCondition(AceKind::action, ::SDK->ActionMembers[id], id, run, extension);
        else
            hooks.UnlinkedAction(extension, id, run, first, second);
    } catch (...) {
        detail::ReportFailedCall(AceKind::action, run->current_id);
    }
    return 0;
}

int32_t PLENAR_STDCALL ConditionWrapper(plenar::RunObjectHeader* run, plenar::Word first,
                                        plenar::Word second) {
    void* extension = run ? ExtensionOf(run) : nullptr;
    if (!extension || !hooks.RuntimeOf) return 0;
    Runtime& runtime = hooks.RuntimeOf(extension);
    runtime.FirstParameter = first;
    runtime.SecondParameter = second;
    int32_t id = run->current_id;
    try {
        if (!Linked(AceKind::condition, id))
            return hooks.UnlinkedCondition(extension, id, run, first, second);
        const plenar::Word result =
            ActionOrCondition(AceKind::condition, ::SDK->ConditionMembers[id], id, run, extension);
        return static_cast<int8_t>(result & 0xFF);  // only the low byte counts
    } catch (...) {
        detail::ReportFailedCall(AceKind::condition, run->current_id);
    }
    return 0;
}

plenar::Word PLENAR_STDCALL ExpressionWrapper(plenar::RunObjectHeader* run, plenar::Word word) {
    void* extension = run ? ExtensionOf(run) : nullptr;
    if (!extension || !hooks.RuntimeOf) return 0;
    Runtime& runtime = hooks.RuntimeOf(extension);
    runtime.FirstParameter = word;
    runtime.SecondParameter = 0;
    int32_t id = run->current_id;
    if (!Linked(AceKind::expression, id)) {
        try {
            return hooks.UnlinkedExpression(extension, id, run, word);
        } catch (...) {
            detail::ReportFailedCall(AceKind::expression, run->current_id);
        }
        return 0;
    }

    const FetchPlan& plan = ::SDK->ExpressionPlans[id];
    if (plan.Result == ResultKind::floating) run->flags |= plenar::expression_float_result;
    if (plan.Result == ResultKind::text) run->flags |= plenar::expression_string_result;

    plenar::Word words[MaxParameters];  // the plan's count of words, each written by the fetch
    try {
        if (FetchExpressionArguments(run, plan, word, words))
            return ::SDK->ExpressionMembers[id](extension, words);
    } catch (...) {
        detail::ReportFailedCall(AceKind::expression, run->current_id);
    }
    return plan.Result == ResultKind::text ? detail::EmptyHostText(runtime) : 0;
}

}  // namespace Kvor
