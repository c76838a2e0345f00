// What a linked member takes and gives, known at compile time from its C++
// types: the signature linking checks against the description's
// declaration, the conversion of host words to arguments and of the result
// back to a host word, and the call itself.
#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "kvor/types.h"
#include "platform/platform.h"
#include "plenar/run_data.h"

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

    // The same member types applied to another template: the routines
    // compiled for this member.
    template <template <class, class, class...> class T>
    using Apply = T<Ext, R, A...>;

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

    // The member called with argument words, as the generic routine calls it.
    template <auto Member>
    static plenar::Word Call(void* extension, const plenar::Word* arguments) {
        return Invoke<Member>(extension, arguments, std::index_sequence_for<A...>{});
    }
};

// The traits of a member function, const or not.
template <auto Member>
struct TraitsOf;

template <class Ext, class R, class... A, R (Ext::*Member)(A...)>
struct TraitsOf<Member> {
    using type = MemberTraits<Ext, R, A...>;
};

template <class Ext, class R, class... A, R (Ext::*Member)(A...) const>
struct TraitsOf<Member> {
    using type = MemberTraits<Ext, R, A...>;
};

template <auto Member>
using Thunk = typename TraitsOf<Member>::type;

}  // namespace detail
}  // namespace Kvor
