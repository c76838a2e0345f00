// Calls into a plug-in that measure how many argument bytes the callee
// removed from the stack, so a wrong calling convention shows as a fault
// instead of a corrupted stack.
#pragma once

#include <cstdint>
#include <span>
#include <type_traits>

namespace plenar::sim {

enum class Convention {
    stdcall,   // callee removes the arguments
    cdecl_,    // caller removes them
    thiscall,  // object in ECX, callee removes the arguments
};

struct CallResult {
    bool found = true;         // false: the function does not exist, nothing was called
    uint32_t value = 0;        // EAX
    int32_t bytes_removed = 0; // argument bytes the callee took off the stack
    int32_t bytes_expected = 0;
    bool balanced() const { return found && bytes_removed == bytes_expected; }
};

// Calls `function` with `arguments` (pushed last to first) under `convention`;
// `object` goes into ECX. The caller's stack is restored whatever the callee did.
CallResult checked_call(const void* function, std::span<const uint32_t> arguments,
                        Convention convention, const void* object = nullptr);

// One 32-bit argument word from an integer, enum or pointer.
template <typename T>
uint32_t word(T value) {
    if constexpr (std::is_pointer_v<T> || std::is_null_pointer_v<T>)
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value));
    else
        return static_cast<uint32_t>(value);
}

}  // namespace plenar::sim
