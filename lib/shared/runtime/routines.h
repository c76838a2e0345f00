// The routines the host calls for every action, condition and expression:
// the generic ones, which read the id from the run data and walk its fetch
// plan, and the ones compiled for a linked member, which fetch by the
// member's own types. Every entry of the host's tables starts generic;
// linking (runtime/linking.h) may put a member's own routine in its id's
// entry. Either way the host sees the same fetches, cursor, flags, result
// and messages: both take the steps in runtime/fetch.h.
#pragma once

#include <cstdint>
#include <utility>

#include "runtime/fetch.h"
#include "runtime/member_signature.h"
#include "runtime/runtime.h"

namespace Kvor {

int32_t PLENAR_STDCALL ActionWrapper(plenar::RunObjectHeader* run, plenar::Word first,
                                     plenar::Word second);
int32_t PLENAR_STDCALL ConditionWrapper(plenar::RunObjectHeader* run, plenar::Word first,
                                        plenar::Word second);
plenar::Word PLENAR_STDCALL ExpressionWrapper(plenar::RunObjectHeader* run, plenar::Word word);

// What the generic routines need of the extension class without knowing it:
// its Runtime and its three fallbacks for ids without a linked member. Set
// once by the object type's code (UseExtension) before any run object
// exists; process-wide, as the class is.
struct ExtensionHooks {
    Kvor::Runtime& (*RuntimeOf)(void* extension);
    void (*UnlinkedAction)(void* extension, int32_t id, plenar::RunObjectHeader* run,
                           plenar::Word first, plenar::Word second);
    int32_t (*UnlinkedCondition)(void* extension, int32_t id, plenar::RunObjectHeader* run,
                                 plenar::Word first, plenar::Word second);
    plenar::Word (*UnlinkedExpression)(void* extension, int32_t id, plenar::RunObjectHeader* run,
                                       plenar::Word word);
};

void SetExtensionHooks(const ExtensionHooks& hooks);
// True once the extension class is in use: only then can a routine reach an
// instance's Runtime.
bool ExtensionInUse();

namespace detail {

// The id a member's own routine of kind Kind answers for: set when linking
// puts the routine into that id's entry, taken back when the entry gets
// another routine or the SDK object goes. Wider than an id, so that no_id
// matches none.
inline constexpr int64_t no_id = INT64_MIN;
template <auto Member, AceKind Kind>
inline int64_t answered_id = no_id;

// The routines for a member whose declaration fetches exactly what its own
// types take: nothing is looked up per call and the member is called
// directly. Each answers only for the id whose entry it is; run for any
// other id (a host running an id through another entry, an entry kept from
// before its id was linked anew, an SDK object gone) it hands the call to
// the generic routine. The member's class is the extension class
// UseExtension names: its Runtime is reached directly.
template <class Ext, class R, class... A>
struct OwnRoutines {
    using Traits = MemberTraits<Ext, R, A...>;
    static constexpr size_t count = sizeof...(A);

    // Fetches the arguments in order and calls the member with them, its
    // result a host word; false, with nothing called, when a text came back
    // null. An action's or condition's cursor is put back before the call,
    // and left as the fetches left it when a text was null.
    template <auto Member, AceKind Kind, size_t... I>
    [[gnu::always_inline]] static bool FetchAndCall([[maybe_unused]] plenar::RunObjectHeader* run,
                                                    [[maybe_unused]] plenar::Word routine_word,
                                                    Ext& object, plenar::Word& result,
                                                    std::index_sequence<I...> order) {
        if constexpr (count == 0) {
            result = Traits::template Invoke<Member>(&object, nullptr, order);
        } else {
            plenar::Word words[count];
            plenar::RunHeader* header = run->run_header;
            [[maybe_unused]] const uint32_t cursor = run->parameter_cursor;
            if (((words[I] =
                      FetchArgument(Kind, run, header, FetchTypeOf(Kind, ArgumentKindOf<A>()),
                                    routine_word, static_cast<int>(I)),
                  IsNullText(ArgumentKindOf<A>(), words[I])) ||
                 ...))
                return false;
            if constexpr (Kind != AceKind::expression) run->parameter_cursor = cursor;
            result = Traits::template Invoke<Member>(&object, words, order);
        }
        return true;
    }

    template <auto Member>
    static int32_t PLENAR_STDCALL Action(plenar::RunObjectHeader* run, plenar::Word first,
                                         plenar::Word second) {
        if (!run || run->current_id != answered_id<Member, AceKind::action>) [[unlikely]]
            return ActionWrapper(run, first, second);
        Ext* object = static_cast<Ext*>(ExtensionOf(run));
        if (!object) [[unlikely]]
            return 0;
        KeepRoutineWords(object->Runtime, first, second);
        try {
            plenar::Word ignored;
            if (!FetchAndCall<Member, AceKind::action>(run, 0, *object, ignored,
                                                       std::index_sequence_for<A...>{}))
                ReportNullText(AceKind::action);
        } catch (...) {
            ReportFailedCall(AceKind::action, run->current_id);
        }
        return 0;
    }

    template <auto Member>
    static int32_t PLENAR_STDCALL Condition(plenar::RunObjectHeader* run, plenar::Word first,
                                            plenar::Word second) {
        if (!run || run->current_id != answered_id<Member, AceKind::condition>) [[unlikely]]
            return ConditionWrapper(run, first, second);
        Ext* object = static_cast<Ext*>(ExtensionOf(run));
        if (!object) [[unlikely]]
            return 0;
        KeepRoutineWords(object->Runtime, first, second);
        try {
            plenar::Word result;
            if (FetchAndCall<Member, AceKind::condition>(run, 0, *object, result,
                                                         std::index_sequence_for<A...>{}))
                return ConditionAnswer(result);
            ReportNullText(AceKind::condition);
        } catch (...) {
            ReportFailedCall(AceKind::condition, run->current_id);
        }
        return 0;
    }

    template <auto Member>
    static plenar::Word PLENAR_STDCALL Expression(plenar::RunObjectHeader* run, plenar::Word word) {
        if (!run || run->current_id != answered_id<Member, AceKind::expression>) [[unlikely]]
            return ExpressionWrapper(run, word);
        Ext* object = static_cast<Ext*>(ExtensionOf(run));
        if (!object) [[unlikely]]
            return 0;
        KeepRoutineWords(object->Runtime, word, 0);
        constexpr ResultKind result_kind = ResultKindOf<R>();
        MarkExpressionResult(run, result_kind);
        try {
            plenar::Word result;
            if (FetchAndCall<Member, AceKind::expression>(run, word, *object, result,
                                                          std::index_sequence_for<A...>{}))
                return result;
            ReportNullText(AceKind::expression);
        } catch (...) {
            ReportFailedCall(AceKind::expression, run->current_id);
        }
        return ExpressionFailure(object->Runtime, result_kind);
    }
};

}  // namespace detail
}  // namespace Kvor
