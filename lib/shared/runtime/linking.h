// The typed linking of an extension's member functions to the description's
// actions, conditions and expressions.
//
// An extension links a member with one line, for example
//     Kvor::LinkCondition<&Extension::AreNumbersEqual>(0);
// The member's parameter and result types are known here at compile time
// and checked against the description's declaration when it is linked, so a
// member is never called with arguments it does not take. Linking also puts
// a routine compiled for that member into the host's table
// (runtime/routines.h).
#pragma once

#include <cstdint>

#include "runtime/member_signature.h"
#include "runtime/routines.h"
#include "sdk.h"

namespace Kvor {

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
    using Own = typename T::template Apply<detail::OwnRoutines>;
    return LinkMember(AceKind::action, id, &T::template Call<Member>, T::signature,
                      &Own::template Action<Member>, &detail::answered_id<Member, AceKind::action>);
}
template <auto Member>
bool LinkCondition(int id) {
    using T = detail::Thunk<Member>;
    using Own = typename T::template Apply<detail::OwnRoutines>;
    return LinkMember(AceKind::condition, id, &T::template Call<Member>, T::signature,
                      &Own::template Condition<Member>,
                      &detail::answered_id<Member, AceKind::condition>);
}
template <auto Member>
bool LinkExpression(int id) {
    using T = detail::Thunk<Member>;
    using Own = typename T::template Apply<detail::OwnRoutines>;
    return LinkMember(AceKind::expression, id, &T::template Call<Member>, T::signature,
                      &Own::template Expression<Member>,
                      &detail::answered_id<Member, AceKind::expression>);
}

// For the SDK object's destruction: no own routine answers for an entry of
// its tables any more.
void ForgetOwnRoutines();

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
