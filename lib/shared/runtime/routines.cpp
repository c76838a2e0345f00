#include "runtime/routines.h"

#include <exception>

#include "text/guard.h"
#include "text/report.h"
#include "sdk.h"

namespace Kvor {

namespace {

ExtensionHooks hooks{};

[[gnu::always_inline]] inline bool Linked(AceKind kind, int32_t id) {
    if (!::SDK || id < 0) return false;
    const AceEntries& entries = ::SDK->Entries(kind);
    return static_cast<size_t>(id) < entries.Members.size() && entries.Members[id] != nullptr &&
           static_cast<size_t>(id) < entries.Plans.size();
}

// The argument words of one call, fetched by the id's plan; false when a
// text came back null (reported: the member is not to be called).
[[gnu::always_inline]] inline bool FetchByPlan(AceKind kind, plenar::RunObjectHeader* run,
                                               const FetchPlan& plan, plenar::Word routine_word,
                                               plenar::Word* words) {
    plenar::RunHeader* header = run->run_header;
    for (int i = 0; i < plan.Count; ++i) {
        words[i] = FetchArgument(kind, run, header, plan.FetchTypes[i], routine_word, i);
        if (IsNullText(plan.Kinds[i], words[i])) {
            detail::ReportNullText(kind);
            return false;
        }
    }
    return true;
}

// A linked action or condition: its cursor is put back after the fetches.
[[gnu::always_inline]] inline plenar::Word ActionOrCondition(AceKind kind, int32_t id,
                                                             plenar::RunObjectHeader* run,
                                                             void* extension) {
    const AceEntries& entries = ::SDK->Entries(kind);
    // Only the plan's count of words is written and read: zeroing all
    // sixteen costs more than the rest of a short call.
    plenar::Word words[MaxParameters];
    const uint32_t cursor = run->parameter_cursor;
    if (!FetchByPlan(kind, run, entries.Plans[id], 0, words)) return 0;
    run->parameter_cursor = cursor;
    return entries.Members[id](extension, words);
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
bool ExtensionInUse() { return hooks.RuntimeOf != nullptr; }

int32_t PLENAR_STDCALL ActionWrapper(plenar::RunObjectHeader* run, plenar::Word first,
                                     plenar::Word second) {
    void* extension = run ? ExtensionOf(run) : nullptr;
    if (!extension || !hooks.RuntimeOf) return 0;
    KeepRoutineWords(hooks.RuntimeOf(extension), first, second);
    const int32_t id = run->current_id;
    try {
        if (Linked(AceKind::action, id))
            ActionOrCondition(AceKind::action, id, run, extension);
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
    KeepRoutineWords(hooks.RuntimeOf(extension), first, second);
    const int32_t id = run->current_id;
    try {
        if (!Linked(AceKind::condition, id))
            return hooks.UnlinkedCondition(extension, id, run, first, second);
        return ConditionAnswer(ActionOrCondition(AceKind::condition, id, run, extension));
    } catch (...) {
        detail::ReportFailedCall(AceKind::condition, run->current_id);
    }
    return 0;
}

plenar::Word PLENAR_STDCALL ExpressionWrapper(plenar::RunObjectHeader* run, plenar::Word word) {
    void* extension = run ? ExtensionOf(run) : nullptr;
    if (!extension || !hooks.RuntimeOf) return 0;
    Runtime& runtime = hooks.RuntimeOf(extension);
    KeepRoutineWords(runtime, word, 0);
    const int32_t id = run->current_id;
    if (!Linked(AceKind::expression, id)) {
        try {
            return hooks.UnlinkedExpression(extension, id, run, word);
        } catch (...) {
            detail::ReportFailedCall(AceKind::expression, run->current_id);
        }
        return 0;
    }

    const FetchPlan& plan = ::SDK->Expressions.Plans[id];
    MarkExpressionResult(run, plan.Result);
    plenar::Word words[MaxParameters];  // the plan's count of words, each written by the fetch
    try {
        if (FetchByPlan(AceKind::expression, run, plan, word, words))
            return ::SDK->Expressions.Members[id](extension, words);
    } catch (...) {
        detail::ReportFailedCall(AceKind::expression, run->current_id);
    }
    return ExpressionFailure(runtime, plan.Result);
}

}  // namespace Kvor
