// The steps of a call that the routine compiled for a linked member and the
// generic routine both take, stated once so that the two fetch, convert and
// answer alike: with the member's types known at compile time the same
// steps fold into straight-line code.
#pragma once

#include <cstdint>

#include "kvor/types.h"
#include "plenar/run_data.h"
#include "records/ace_records.h"
#include "runtime/fetch_plan.h"
#include "runtime/runtime.h"

namespace Kvor {

// The extension object of an instance: the word after the host's header.
inline void*& ExtensionOf(plenar::RunObjectHeader* run) {
    return *reinterpret_cast<void**>(reinterpret_cast<uint8_t*>(run) +
                                     sizeof(plenar::RunObjectHeader));
}

// The routine's own words, kept where the extension's code can read them.
[[gnu::always_inline]] inline void KeepRoutineWords(Runtime& runtime, plenar::Word first,
                                                    plenar::Word second) {
    runtime.FirstParameter = first;
    runtime.SecondParameter = second;
}

// Argument `index` of an entry of `kind`, fetched as `type`: actions and
// conditions ask for each in turn; expressions ask for the first through
// the first-parameter callback and every later one through the
// next-parameter callback. For no_fetch nothing is asked and the word is 0.
[[gnu::always_inline]] inline plenar::Word FetchArgument(AceKind kind, plenar::RunObjectHeader* run,
                                                         plenar::RunHeader* header, int32_t type,
                                                         plenar::Word routine_word, int index) {
    if (kind != AceKind::expression) return header->get_parameter(run, type, 0);
    if (type == no_fetch) return 0;
    return (index == 0 ? header->first_expression_parameter : header->next_expression_parameter)(
        run, type, routine_word);
}

// A text the host gave as null: the member is not called.
[[gnu::always_inline]] inline bool IsNullText(ArgumentKind kind, plenar::Word word) {
    return kind == ArgumentKind::text && word == 0;
}

// What a condition answers the host: only the low byte of the member's result counts.
[[gnu::always_inline]] inline int32_t ConditionAnswer(plenar::Word result) {
    return static_cast<int8_t>(result & 0xFF);
}

// An expression tells the host before the call what its result is.
[[gnu::always_inline]] inline void MarkExpressionResult(plenar::RunObjectHeader* run,
                                                        ResultKind kind) {
    if (kind == ResultKind::floating) run->flags |= plenar::expression_float_result;
    if (kind == ResultKind::text) run->flags |= plenar::expression_string_result;
}

namespace detail {
// Off the fast path, out of line: the null text message of `kind`; the
// message for a member or fallback that let an exception out (called inside
// a catch handler; shows nothing more if even the message cannot be made);
// a text expression's failure value, an empty host string.
[[gnu::cold]] void ReportNullText(AceKind kind);
[[gnu::cold]] void ReportFailedCall(AceKind kind, int32_t id) noexcept;
[[gnu::cold]] plenar::Word EmptyHostText(Runtime& runtime);
}  // namespace detail

// What an expression answers when its member was not called or failed.
inline plenar::Word ExpressionFailure(Runtime& runtime, ResultKind kind) {
    return kind == ResultKind::text ? detail::EmptyHostText(runtime) : 0;
}

}  // namespace Kvor
