#include "plenar_sim/checked_call.h"

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

namespace plenar::sim {

CallResult checked_call(const void* function, std::span<const uint32_t> arguments,
                        Convention convention, const void* object) {
    CallResult result;
    if (!function) {
        result.found = false;
        return result;
    }
    const auto count = static_cast<uint32_t>(arguments.size());
    result.bytes_expected = convention == Convention::cdecl_ ? 0 : static_cast<int32_t>(4 * count);
    result.value = plenar_sim_call_words(function, arguments.data(), count, object,
                                         &result.bytes_removed);
    return result;
}

}  // namespace plenar::sim
