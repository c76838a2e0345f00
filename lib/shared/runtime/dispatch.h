// Run-time dispatch: the routines the host calls for every action, condition
// and expression, and the typed linking of an extension's member functions.
//
// An extension links a member with one line, for example
//     Kvor::LinkCondition<&Extension::AreNumbersEqual>(0);
// The member's parameter and result types are known here at compile time
// and checked against the description's declaration when it is linked, so a
// member is never called with arguments it does not take. Linking also puts
// a routine compiled for that member into the host's table (see OwnRoutines).
#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "runtime/fetch_plan.h"
#include "platform/platform.h"
#include "plenar/run_data.h"
#include "runtime/runtime.h"
#include "sdk.h"

namespace Kvor {

struct MemberSignature {
    uint8_t Count;
    ArgumentKind Kinds[MaxParameters];
    ResultKind Result;
};

// The generic routines of the host's tables: they read the id from the run
// data and walk its fetch plan. Every entry starts as one of these; linking
// a member may put the member's own routine in its id's entry.
int32_t PLENAR_STDCALL ActionWrapper(plenar::RunObjectHeader* run, plenar::Word first,
                                     plenar::Word second);
int32_t PLENAR_STDCALL ConditionWrapper(plenar::RunObjectHeader* run, plenar::Word first,
                                        plenar::Word second);
plenar::Word PLENAR_STDCALL ExpressionWrapper(plenar::RunObjectHeader* run, plenar::Word word);

// The extension object of an instance: the word after the host's header.
inline void*& ExtensionOf(plenar::RunObjectHeader* run) {
    return *reinterpret_cast<void**>(reinterpret_cast<uint8_t*>(run) +
                                     sizeof(plenar::RunObjectHeader));
}

namespace detail {

template <class T>
constexpr ArgumentKind ArgumentKindOf() {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_same_v<U, float>)
        return ArgumentKind::floating;
    else if constexpr (std::is_same_v<U, const WideChar*> || std::is_same_v<U, WideChar*>)
        return ArgumentKind::text;
    else {
        static_assert(std::is_integral_v<U> && sizeof(U) == 4,
                      "a linked member takes 32-bit integers, floats or wide texts");
        return ArgumentKind::integer;
    }
}

template <class R>
constexpr ResultKind ResultKindOf() {
    using U = std::remove_cv_t<R>;
    if constexpr (std::is_void_v<U>)
        return ResultKind::none;
    else if constexpr (std::is_same_v<U, float>)
        return ResultKind::floating;
    else if constexpr (std::is_same_v<U, const WideChar*> || std::is_same_v<U, WideChar*>)
        return ResultKind::text;
    else {
        static_assert(
            std::is_integral_v<U> && sizeof(U) <= 4,
            "a linked member returns nothing, a 32-bit integer or bool, a float or a wide text");
        return ResultKind::integer;
    }
}

// A float travels as its bit pattern in the low 32 bits of a word, a text
// as its pointer, an integer as itself.
template <class T>
T FromWord(plenar::Word word) {
    if constexpr (std::is_same_v<std::remove_cv_t<T>, float>)
        return std::bit_cast<float>(static_cast<uint32_t>(word));
    else if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<T>(word);
    else
        return static_cast<T>(word);
}

template <class R>
plenar::Word ToWord(R value) {
    if constexpr (std::is_same_v<std::remove_cv_t<R>, float>)
        return std::bit_cast<uint32_t>(value);
    else if constexpr (std::is_pointer_v<R>)
        return reinterpret_cast<plenar::Word>(value);
    else
        return static_cast<uint32_t>(value);
}

template <class Ext, class R, class... A>
struct MemberTraits {
    static_assert(sizeof...(A) <= MaxParameters, "at most MaxParameters parameters");
    static constexpr MemberSignature signature{
        static_cast<uint8_t>(sizeof...(A)), {ArgumentKindOf<A>()...}, ResultKindOf<R>()};

    template <auto Member, size_t... I>
    static plenar::Word Invoke(void* extension, const plenar::Word* arguments,
                               std::index_sequence<I...>) {
        Ext& object = *static_cast<Ext*>(extension);
        if constexpr (std::is_void_v<R>) {
            (object.*Member)(FromWord<A>(arguments[I])...);
            return 0;
        } else {
            return ToWord<R>((object.*Member)(FromWord<A>(arguments[I])...));
        }
    }
};

// What the routines below call off their fast path, out of line: the null
// text message of `kind`; the message for a member or fallback that let an
// exception out (called inside a catch handler; shows nothing more if even
// the message cannot be made); a text expression's failure value, an empty
// host string.
[[gnu::cold]] void ReportNullText(AceKind kind);
[[gnu::cold]] void ReportFailedCall(AceKind kind, int32_t id) noexcept;
[[gnu::cold]] plenar::Word EmptyHostText(Runtime& runtime);

// The id a member's own routine of kind Kind answers for: set when linking
// puts the routine into that id's entry, taken back when the entry gets
// another routine or the SDK object goes. Wider than an id, so that no_id
// matches none.
inline constexpr int64_t no_id = INT64_MIN;
template <auto Member, AceKind Kind>
inline int64_t answered_id = no_id;

// The routines linking puts into the host's tables for a member whose
// declaration fetches exactly what its own types take. The fetches and the
// result conversion are compiled from those types, so nothing is looked up
// per call and the member is called directly. Each answers only for the id
// whose entry it is; run for any other id (a host running an id through
// another entry, an entry kept from before its id was linked anew, an SDK
// object gone) it hands the call to the generic routine. Either way the host
// sees the same fetches, cursor, flags, result and messages. The member's
// class is the extension class UseExtension names: its Runtime is reached
// directly.
template <class Ext, class R, class... A>
struct OwnRoutines : MemberTraits<Ext, R, A...> {
    static constexpr size_t count = sizeof...(A);

    // Fetches argument I into `word`: false when a text came back null.
    template <AceKind Kind, class T, size_t I>
    [[gnu::always_inline]] static bool Fetch(plenar::RunObjectHeader* run,
                                             plenar::RunHeader* header, plenar::Word routine_word,
                                             plenar::Word& word) {
        constexpr int32_t type = FetchTypeOf(Kind, ArgumentKindOf<T>());
        if constexpr (Kind != AceKind::expression)
            word = header->get_parameter(run, type, 0);
        else if constexpr (I == 0)
            word = header->first_expression_parameter(run, type, routine_word);
        else
            word = header->next_expression_parameter(run, type, routine_word);
        return ArgumentKindOf<T>() != ArgumentKind::text || word != 0;
    }

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
            result = MemberTraits<Ext, R, A...>::template Invoke<Member>(&object, nullptr, order);
        } else {
            plenar::Word words[count];
            plenar::RunHeader* header = run->run_header;
            [[maybe_unused]] const uint32_t cursor = run->parameter_cursor;
            if (!(Fetch<Kind, A, I>(run, header, routine_word, words[I]) && ...)) return false;
            if constexpr (Kind != AceKind::expression) run->parameter_cursor = cursor;
            result = MemberTraits<Ext, R, A...>::template Invoke<Member>(&object, words, order);
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
        object->Runtime.FirstParameter = first;
        object->Runtime.SecondParameter = second;
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
        object->Runtime.FirstParameter = first;
        object->Runtime.SecondParameter = second;
        try {
            plenar::Word result;
            if (FetchAndCall<Member, AceKind::condition>(run, 0, *object, result,
                                                         std::index_sequence_for<A...>{}))
                return static_cast<int8_t>(result & 0xFF);  // only the low byte counts
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
        object->Runtime.FirstParameter = word;
        object->Runtime.SecondParameter = 0;
        constexpr ResultKind result_kind = ResultKindOf<R>();
        if constexpr (result_kind == ResultKind::floating)
            run->flags |= plenar::expression_float_result;
        if constexpr (result_kind == ResultKind::text)
            run->flags |= plenar::expression_string_result;
        try {
            plenar::Word result;
            if (FetchAndCall<Member, AceKind::expression>(run, word, *object, result,
                                                          std::index_sequence_for<A...>{}))
                return result;
            ReportNullText(AceKind::expression);
        } catch (...) {
            ReportFailedCall(AceKind::expression, run->current_id);
        }
        if constexpr (result_kind == ResultKind::text) return EmptyHostText(object->Runtime);
        return 0;
    }
};

template <auto Member>
struct Thunk;

template <class Ext, class R, class... A, R (Ext::*Member)(A...)>
struct Thunk<Member> : OwnRoutines<Ext, R, A...> {
    static plenar::Word Call(void* extension, const plenar::Word* arguments) {
        return MemberTraits<Ext, R, A...>::template Invoke<Member>(extension, arguments,
                                                                   std::index_sequence_for<A...>{});
    }
};

template <class Ext, class R, class... A, R (Ext::*Member)(A...) const>
struct Thunk<Member> : OwnRoutines<Ext, R, A...> {
    static plenar::Word Call(void* extension, const plenar::Word* arguments) {
        return MemberTraits<Ext, R, A...>::template Invoke<Member>(extension, arguments,
                                                                   std::index_sequence_for<A...>{});
    }
};

}  // namespace detail

// Links `call` to id `id` of its kind when its signature agrees with the
// declaration; otherwise reports the disagreement (once per id) and leaves
// the id unlinked, so it reaches the extension's fallback. The id's entry in
// the host's table becomes `own` when the declaration fetches exactly what
// the member's types take and the extension class is in use; else the
// generic routine, which fetches by the plan (a host value, say, fetched by
// the host's own code into an integer). `answered` is the own routine's
// answered id. True when linked.
bool LinkMember(AceKind kind, int id, MemberThunk call, const MemberSignature& signature,
                plenar::ActionRoutine own, int64_t* answered);  // an action or a condition
bool LinkMember(AceKind kind, int id, MemberThunk call, const MemberSignature& signature,
                plenar::ExpressionRoutine own, int64_t* answered);  // an expression

template <auto Member>
bool LinkAction(int id) {
    using T = detail::Thunk<Member>;
    return LinkMember(AceKind::action, id, &T::Call, T::signature, &T::template Action<Member>,
                      &detail::answered_id<Member, AceKind::action>);
}
template <auto Member>
bool LinkCondition(int id) {
    using T = detail::Thunk<Member>;
    return LinkMember(AceKind::condition, id, &T::Call, T::signature,
                      &T::template Condition<Member>,
                      &detail::answered_id<Member, AceKind::condition>);
}
template <auto Member>
bool LinkExpression(int id) {
    using T = detail::Thunk<Member>;
    return LinkMember(AceKind::expression, id, &T::Call, T::signature,
                      &T::template Expression<Member>,
                      &detail::answered_id<Member, AceKind::expression>);
}

// For the SDK object's destruction: no own routine answers for an entry of
// its tables any more.
void ForgetOwnRoutines();

// What dispatch needs of the extension class without knowing it: its
// Runtime and its three fallbacks for ids without a linked member.
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

// The fallbacks an extension class may declare for ids without a linked
// member; one it leaves out does nothing and answers false or 0.
template <class Ext>
concept HasUnlinkedAction = requires(Ext& e, int32_t id, plenar::RunObjectHeader* run,
                                     plenar::Word w) {
    e.UnlinkedAction(id, run, w, w);
};
template <class Ext>
concept HasUnlinkedCondition = requires(Ext& e, int32_t id, plenar::RunObjectHeader* run,
                                        plenar::Word w) {
    e.UnlinkedCondition(id, run, w, w);
};
template <class Ext>
concept HasUnlinkedExpression = requires(Ext& e, int32_t id, plenar::RunObjectHeader* run,
                                         plenar::Word w) {
    e.UnlinkedExpression(id, run, w);
};

// Ext has a member `Runtime`, and may have members UnlinkedAction,
// UnlinkedCondition and UnlinkedExpression taking (id, run data, host words).
template <class Ext>
void UseExtension() {
    // A fallback declared with other parameters would silently not be called.
    static_assert(
        HasUnlinkedAction<Ext> || !requires { &Ext::UnlinkedAction; },
        "UnlinkedAction takes (int32_t id, RunObjectHeader*, Word, Word)");
    static_assert(
        HasUnlinkedCondition<Ext> || !requires { &Ext::UnlinkedCondition; },
        "UnlinkedCondition takes (int32_t id, RunObjectHeader*, Word, Word)");
    static_assert(
        HasUnlinkedExpression<Ext> || !requires { &Ext::UnlinkedExpression; },
        "UnlinkedExpression takes (int32_t id, RunObjectHeader*, Word)");
    SetExtensionHooks(ExtensionHooks{
        [](void* e) -> Kvor::Runtime& { return static_cast<Ext*>(e)->Runtime; },
        [](void* e, int32_t id, plenar::RunObjectHeader* run, plenar::Word a, plenar::Word b) {
            if constexpr (HasUnlinkedAction<Ext>)
                static_cast<Ext*>(e)->UnlinkedAction(id, run, a, b);
        },
        [](void* e, int32_t id, plenar::RunObjectHeader* run, plenar::Word a,
           plenar::Word b) -> int32_t {
            if constexpr (HasUnlinkedCondition<Ext>)
                return static_cast<Ext*>(e)->UnlinkedCondition(id, run, a, b);
            return 0;
        },
        [](void* e, int32_t id, plenar::RunObjectHeader* run, plenar::Word word) -> plenar::Word {
            if constexpr (HasUnlinkedExpression<Ext>)
                return static_cast<Ext*>(e)->UnlinkedExpression(id, run, word);
            return 0;
        }});
}

}  // namespace Kvor
