// Calling conventions and export markers of the Plenar plug-in interface.
// Every routine of the host services record, every run header callback, every
// free function of plenarcore.dll and every plug-in export (but two) is
// stdcall: the callee removes its arguments. Members of the host's classes are
// thiscall. The headers also compile in the native 32-bit Linux build, where
// the same conventions exist as attributes.
#pragma once

#include <cstdint>

#if defined(_WIN32)
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

static_assert(sizeof(void*) == 4, "the Plenar interface is 32-bit");
