#include "plenar_sim/checked_call.h"

#if PLENAR_32BIT
// plenar_sim_call_words(function, words, count, object, removed): pushes the
// words last to first, loads ECX with `object`, calls, stores in *removed how
// many argument bytes the callee took off the stack, and puts the stack back
// as it was whatever the callee did.
extern "C" uint32_t plenar_sim_call_words(const void* function, const uint32_t* words,
                                          uint32_t count, const void* object, int32_t* removed);

asm(R"(
    .text
    .globl _plenar_sim_call_words
_plenar_sim_call_words:
    .intel_syntax noprefix
    push ebp
    mov ebp, esp
    push ebx
    push esi
    push edi
    mov edi, esp                  # the stack before the arguments
    mov esi, [ebp + 12]
    mov ecx, [ebp + 16]
    test ecx, ecx
    jz 2f
1:  push dword ptr [esi + ecx * 4 - 4]
    dec ecx
    jnz 1b
2:  mov ecx, [ebp + 20]
    call dword ptr [ebp + 8]
    mov ecx, [ebp + 16]
    lea ebx, [esp + ecx * 4]      # where the stack is if the caller removed them
    sub ebx, edi
    mov ecx, [ebp + 24]
    mov [ecx], ebx
    mov esp, edi
    pop edi
    pop esi
    pop ebx
    pop ebp
    ret
    .att_syntax prefix
)");
#else
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// Every argument is an integer or pointer word, which x64 passes the same way
// whatever the callee declares, so a call through a pointer taking N words
// reaches any function of N integer or pointer parameters.
using plenar::Word;
template <size_t... I>
Word call_with(const void* function, const Word* words, std::index_sequence<I...>) {
    using Function = Word (*)(decltype(I, Word{})...);
    return reinterpret_cast<Function>(const_cast<void*>(function))(words[I]...);
}

template <size_t... N>
Word call_count(const void* function, const Word* words, size_t count, std::index_sequence<N...>) {
    Word result = 0;
    ((count == N ? (result = call_with(function, words, std::make_index_sequence<N>{}), true)
                 : false) ||
     ...);
    return result;
}

}  // namespace
#endif

namespace plenar::sim {

CallResult checked_call(const void* function, std::span<const Word> arguments,
                        Convention convention, const void* object) {
    CallResult result;
    if (!function) {
        result.found = false;
        return result;
    }
    const auto count = static_cast<uint32_t>(arguments.size());
    result.bytes_expected = convention == Convention::cdecl_ ? 0 : static_cast<int32_t>(4 * count);
#if PLENAR_32BIT
    result.value =
        plenar_sim_call_words(function, arguments.data(), count, object, &result.bytes_removed);
#else
    if (arguments.size() > max_call_words)
        throw std::length_error("checked_call: more than " + std::to_string(max_call_words) +
                                " argument words");
    // The object of a member call comes first; the rest follow.
    Word words[max_call_words + 1] = {};
    size_t used = 0;
    if (convention == Convention::thiscall) words[used++] = reinterpret_cast<Word>(object);
    for (Word argument : arguments) words[used++] = argument;
    result.value =
        call_count(function, words, used, std::make_index_sequence<max_call_words + 2>{});
#endif
    return result;
}

}  // namespace plenar::sim
