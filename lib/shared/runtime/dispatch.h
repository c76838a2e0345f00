// Run-time dispatch: the routines the host calls for every action, condition
// and expression, and the typed linking of an extension's member functions.
//
// An extension links a member with one line, for example
//     Kvor::LinkCondition<&Extension::AreNumbersEqual>(0);
// The member's parameter and result types are known here at compile time
// and checked against the description's declaration when it is linked, so a
// member is never called with arguments it does not take.
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

namespace detail {

template <class T>
constexpr ArgumentKind ArgumentKindOf() {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_same_v<U, float>) return ArgumentKind::floating;
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
    if constexpr (std::is_void_v<U>) return ResultKind::none;
    else if constexpr (std::is_same_v<U, float>) return ResultKind::floating;
    else if constexpr (std::is_same_v<U, const WideChar*> || std::is_same_v<U, WideChar*>)
        return ResultKind::text;
    else {
        static_assert(std::is_integral_v<U> && sizeof(U) <= 4,
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
    else if constexpr (std::is_pointer_v<T>) return reinterpret_cast<T>(word);
    else return static_cast<T>(word);
}

template <class R>
plenar::Word ToWord(R value) {
    if constexpr (std::is_same_v<std::remove_cv_t<R>, float>) return std::bit_cast<uint32_t>(value);
    else if constexpr (std::is_pointer_v<R>) return reinterpret_cast<plenar::Word>(value);
    else return static_cast<uint32_t>(value);
}

template <class Ext, class R, class... A>
struct MemberTraits {
    static_assert(sizeof...(A) <= MaxParameters, "at most MaxParameters parameters");
    static constexpr MemberSignature signature{
        static_cast<uint8_t>(sizeof...(A)), {ArgumentKindOf<A>()...}, ResultKindOf<R>()};

    template <auto Member, size_t... I>
    static plenar::Word Invoke(void* extension, const plenar::Word* arguments, std::index_sequence<I...>) {
        Ext& object = *static_cast<Ext*>(extension);
        if constexpr (std::is_void_v<R>) {
            (object.*Member)(FromWord<A>(arguments[I])...);
            return 0;
        } else {
            return ToWord<R>((object.*Member)(FromWord<A>(arguments[I])...));
        }
    }
};

template <auto Member>
struct Thunk;

template <class Ext, class R, class... A, R (Ext::*Member)(A...)>
struct Thunk<Member> : MemberTraits<Ext, R, A...> {
    static plenar::Word Call(void* extension, const plenar::Word* arguments) {
        return MemberTraits<Ext, R, A...>::template Invoke<Member>(
            extension, arguments, std::index_sequence_for<A...>{});
    }
};

template <class Ext, class R, class... A, R (Ext::*Member)(A...) const>
struct Thunk<Member> : MemberTraits<Ext, R, A...> {
    static plenar::Word Call(void* extension, const plenar::Word* arguments) {
        return MemberTraits<Ext, R, A...>::template Invoke<Member>(
            extension, arguments, std::index_sequence_for<A...>{});
    }
};

}  // namespace detail

// Links `call` to id `id` of its kind when its signature agrees with the
// declaration; otherwise reports the disagreement (once per id) and leaves
// the id unlinked, so it reaches the extension's fallback. True when linked.
bool LinkMember(AceKind kind, int id, MemberThunk call, const MemberSignature& signature);

template <auto Member>
bool LinkAction(int id) {
    using T = detail::Thunk<Member>;
    return LinkMember(AceKind::action, id, &T::Call, T::signature);
}
template <auto Member>
bool LinkCondition(int id) {
    using T = detail::Thunk<Member>;
    return LinkMember(AceKind::condition, id, &T::Call, T::signature);
}
template <auto Member>
bool LinkExpression(int id) {
    using T = detail::Thunk<Member>;
    return LinkMember(AceKind::expression, id, &T::Call, T::signature);
}

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

// Ext has a member `Runtime` and members UnlinkedAction, UnlinkedCondition
// and UnlinkedExpression taking (id, run data, host words).
template <class Ext>
void UseExtension() {
    SetExtensionHooks(ExtensionHooks{
        [](void* e) -> Kvor::Runtime& { return static_cast<Ext*>(e)->Runtime; },
        [](void* e, int32_t id, plenar::RunObjectHeader* run, plenar::Word a, plenar::Word b) {
            static_cast<Ext*>(e)->UnlinkedAction(id, run, a, b);
        },
        [](void* e, int32_t id, plenar::RunObjectHeader* run, plenar::Word a,
           plenar::Word b) -> int32_t { return static_cast<Ext*>(e)->UnlinkedCondition(id, run, a, b); },
        [](void* e, int32_t id, plenar::RunObjectHeader* run, plenar::Word word) -> plenar::Word {
            return static_cast<Ext*>(e)->UnlinkedExpression(id, run, word);
        }});
}

// The routines of the host's routine tables; every entry of a table is the
// same routine, which reads the id from the run data.
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

}  // namespace Kvor
