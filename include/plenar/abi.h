// Calling conventions, word size and layout pins of the Plenar plug-in
// interface. Every routine of the host services record, every run header
// callback, every free function of plenarcore.dll and every plug-in export
// (but two) is stdcall: the callee removes its arguments. Members of the
// host's classes are thiscall.
//
// The host is 32-bit, and the layouts in these headers are pinned for that
// target (also natively with -m32, where the same conventions exist as
// attributes). The same headers build for x86-64 too, as test equipment for
// machines that cannot run 32-bit code: there the one x64 convention replaces
// all three, and every struct takes the natural layout of the same fields,
// pinned by asserts of its own.
#pragma once

#include <cstddef>
#include <cstdint>

#if UINTPTR_MAX == 0xFFFFFFFFu
#define PLENAR_32BIT 1
#else
#define PLENAR_32BIT 0
#endif

#if !PLENAR_32BIT
#define PLENAR_STDCALL
#define PLENAR_CDECL
#define PLENAR_THISCALL
#elif defined(_WIN32)
#define PLENAR_STDCALL __stdcall
#define PLENAR_CDECL __cdecl
#define PLENAR_THISCALL __thiscall
#else
#define PLENAR_STDCALL __attribute__((stdcall))
#define PLENAR_CDECL __attribute__((cdecl))
#define PLENAR_THISCALL __attribute__((thiscall))
#endif

// plenarcore.dll exports by ordinal only; its users import it by ordinal.
#if defined(_WIN32) && !defined(PLENARCORE_BUILD)
#define PLENARCORE_API __declspec(dllimport)
#else
#define PLENARCORE_API
#endif

namespace plenar {

// A host word: an argument, result or parameter value that may carry a
// pointer (a text, a result string). 32 bits on the host; pointer-sized in
// the 64-bit test builds, so that no pointer is ever cut.
using Word = uintptr_t;
static_assert(sizeof(Word) == sizeof(void*));

}  // namespace plenar

// Layout pins: the offset or size on the 32-bit host, then the natural
// offset or size of the same fields in the 64-bit test builds. Only the one
// for the target being compiled is checked.
#if PLENAR_32BIT
#define PLENAR_PIN_OFFSET(type, field, offset32, offset64) \
    static_assert(offsetof(type, field) == (offset32), #type "::" #field " moved")
#define PLENAR_PIN_SIZE(type, size32, size64) \
    static_assert(sizeof(type) == (size32), #type " changed size")
#else
#define PLENAR_PIN_OFFSET(type, field, offset32, offset64) \
    static_assert(offsetof(type, field) == (offset64), #type "::" #field " moved")
#define PLENAR_PIN_SIZE(type, size32, size64) \
    static_assert(sizeof(type) == (size64), #type " changed size")
#endif
