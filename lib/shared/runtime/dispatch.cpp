#include "runtime/dispatch.h"

#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "load/language.h"
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

[[gnu::always_inline]] inline std::vector<MemberThunk>& Members(AceKind kind) { return ::SDK->*Table(kind).members; }
[[gnu::always_inline]] inline const std::vector<FetchPlan>& Plans(AceKind kind) { return ::SDK->*Table(kind).plans; }

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
[[gnu::always_inline]] inline bool FetchActionArguments(plenar::RunObjectHeader* run, const FetchPlan& plan, plenar::Word* words) {
    plenar::RunHeader* header = run->run_header;
    for (int i = 0; i < plan.Count; ++i) {
        words[i] = header->get_parameter(run, plan.FetchTypes[i], 0);
        if (plan.Kinds[i] == ArgumentKind::text && words[i] == 0) {
            Report(Kvor::message::null_text_parameter);
            return false;
        }
    }
    return true;
}

[[gnu::always_inline]] inline plenar::Word ActionOrCondition(AceKind kind, MemberThunk member, int32_t id,
                           plenar::RunObjectHeader* run, void* extension) {
    const FetchPlan& plan = Plans(kind)[id];
    // Only the plan's count of words is written and read: zeroing all
    // sixteen costs more than the rest of a short call.
    plenar::Word words[MaxParameters];
    uint32_t cursor = run->parameter_cursor;
    if (!FetchActionArguments(run, plan, words)) return 0;
    run->parameter_cursor = cursor;
    return member(extension, words);
}

[[gnu::always_inline]] inline bool Linked(AceKind kind, int32_t id) {
    return ::SDK && id >= 0 && static_cast<size_t>(id) < Members(kind).size() &&
           Members(kind)[id] != nullptr && static_cast<size_t>(id) < Plans(kind).size();
}

}  // namespace

void SetExtensionHooks(const ExtensionHooks& new_hooks) { hooks = new_hooks; }

bool LinkMember(AceKind kind, int id, MemberThunk call, const MemberSignature& signature) {
    if (!::SDK) return false;
    std::vector<MemberThunk>& members = Members(kind);
    const std::vector<FetchPlan>& plans = Plans(kind);
    if (id < 0 || static_cast<size_t>(id) >= members.size() ||
        static_cast<size_t>(id) >= plans.size()) {
        ReportOnce(kind, id, Kvor::message::link_beyond_declared, AceKindName(kind), id,
                   static_cast<unsigned>(members.size()), AceKindName(kind));
        return false;
    }
    const FetchPlan& plan = plans[id];
    if (!Agrees(kind, plan, signature)) {
        ReportOnce(kind, id, Kvor::message::link_mismatch, AceKindName(kind), id,
                   CurrentLanguage()[AceKindKey(kind)][id]["Title"].text(),
                   Describe(plan.Count, plan.Kinds, plan.Result).c_str(),
                   Describe(signature.Count, signature.Kinds, signature.Result).c_str());
        members[id] = nullptr;
        return false;
    }
    members[id] = call;
    return true;
}

int32_t PLENAR_STDCALL ActionWrapper(plenar::RunObjectHeader* run, plenar::Word first,
                                     plenar::Word second) {
    void* extension = run ? ExtensionOf(run) : nullptr;
    if (!extension || !hooks.RuntimeOf) return 0;
    Runtime& runtime = hooks.RuntimeOf(extension);
    runtime.FirstParameter = first;
    runtime.SecondParameter = second;
    int32_t id = run->current_id;
    if (Linked(AceKind::action, id))
        ActionOrCondition(AceKind::action, ::SDK->ActionMembers[id], id, run, extension);
    else
        hooks.UnlinkedAction(extension, id, run, first, second);
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
    if (!Linked(AceKind::condition, id))
        return hooks.UnlinkedCondition(extension, id, run, first, second);
    const plenar::Word result =
        ActionOrCondition(AceKind::condition, ::SDK->ConditionMembers[id], id, run, extension);
    return static_cast<int8_t>(result & 0xFF);  // only the low byte counts
}

plenar::Word PLENAR_STDCALL ExpressionWrapper(plenar::RunObjectHeader* run, plenar::Word word) {
    void* extension = run ? ExtensionOf(run) : nullptr;
    if (!extension || !hooks.RuntimeOf) return 0;
    Runtime& runtime = hooks.RuntimeOf(extension);
    runtime.FirstParameter = word;
    runtime.SecondParameter = 0;
    int32_t id = run->current_id;
    if (!Linked(AceKind::expression, id))
        return hooks.UnlinkedExpression(extension, id, run, word);

    const FetchPlan& plan = ::SDK->ExpressionPlans[id];
    if (plan.Result == ResultKind::floating) run->flags |= plenar::expression_float_result;
    if (plan.Result == ResultKind::text) run->flags |= plenar::expression_string_result;

    plenar::RunHeader* header = run->run_header;
    plenar::Word words[MaxParameters];  // the plan's count of words, each written below
    for (int i = 0; i < plan.Count; ++i) {
        if (plan.FetchTypes[i] == no_fetch) {
            words[i] = 0;  // nothing is fetched for this position
            continue;
        }
        auto fetch = i == 0 ? header->first_expression_parameter : header->next_expression_parameter;
        words[i] = fetch(run, plan.FetchTypes[i], word);
        if (plan.Kinds[i] == ArgumentKind::text && words[i] == 0) {
            Report(Kvor::message::null_text_expression_parameter);
            if (plan.Result != ResultKind::text) return 0;
            static const WideChar empty[1] = {0};
            return reinterpret_cast<plenar::Word>(runtime.CopyString(empty));
        }
    }
    return ::SDK->ExpressionMembers[id](extension, words);
}

}  // namespace Kvor
