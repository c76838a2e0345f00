// Calls into a plug-in that measure how many argument bytes the callee
// removed from the stack, so a wrong calling convention shows as a fault
// instead of a corrupted stack. On x64 there is one calling convention and
// the caller always removes the arguments: nothing there can be unbalanced,
// so nothing is measured (stack_measured is false) and no call is counted as
// checked.
#pragma once

#include <cstdint>
#include <span>
#include <type_traits>
#include "plenar/abi.h"

namespace plenar::sim {

inline constexpr bool stack_measured = PLENAR_32BIT;
inline constexpr const char* stack_not_measured_reason =
    "not measured: x64 has one calling convention, in which the caller removes the arguments";

enum class Convention {
    stdcall,   // callee removes the arguments
    cdecl_,    // caller removes them
    thiscall,  // object in ECX, callee removes the arguments
};

struct CallResult {
    bool found = true;          // false: the function does not exist, nothing was called
    Word value = 0;             // the result register (EAX; RAX on x64)
    int32_t bytes_removed = 0;  // argument bytes the callee took off the stack (32-bit only)
    int32_t bytes_expected = 0;
    uint32_t number() const { return static_cast<uint32_t>(value); }  // a 32-bit result
    template <typename T>
    T* pointer() const {
        return reinterpret_cast<T*>(value);
    }  // a pointer result
    // Called, and no imbalance seen (on x64, where none can be measured: called).
    bool balanced() const { return found && (!stack_measured || bytes_removed == bytes_expected); }
};

// Calls `function` with `arguments` (pushed last to first) under `convention`;
// `object` goes into ECX (on x64: the first argument). The caller's stack is
// restored whatever the callee did. On x64, at most max_call_words arguments
// (std::length_error beyond).
inline constexpr size_t max_call_words = 8;
CallResult checked_call(const void* function, std::span<const Word> arguments,
                        Convention convention, const void* object = nullptr);

// One argument word from an integer, enum or pointer. A 32-bit integer is
// passed as the host passes it: its 32 bits, zero-extended.
template <typename T>
Word word(T value) {
    if constexpr (std::is_pointer_v<T> || std::is_null_pointer_v<T>)
        return reinterpret_cast<Word>(value);
    else if constexpr (sizeof(T) <= 4)
        return static_cast<uint32_t>(value);
    else
        return static_cast<Word>(value);
}

}  // namespace plenar::sim
