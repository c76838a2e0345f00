// The SDK's few calls into the operating system, in one place. The win32 build
// maps them to the Windows API (platform_win32.cpp); the native build maps them
// to a portable stand-in that records what it is asked to show
// (platform_native.cpp, platform_recorder.h), so the rest of the SDK never
// includes <windows.h> and runs under the sanitizers.
#pragma once

#include <cstdint>
#include <string>

namespace Kvor {

// Wide text is UTF-16 in both builds. std::wstring is UTF-32 on Linux, so the
// SDK names its wide character through this alias and nothing else.
#ifdef _WIN32
using WideChar = wchar_t;
#define KVOR_WIDE(literal) L##literal
#else
using WideChar = char16_t;
#define KVOR_WIDE(literal) u##literal
#endif
using WideString = std::basic_string<WideChar>;
// A string literal of WideChar: KVOR_WIDE("Object - Error").

namespace Platform {

enum : uint32_t { code_page_ansi = 0, code_page_utf8 = 65001 };

// A modal message box without an owner window; returns the button pressed.
int MessageBoxNarrow(const char* text, const char* caption, uint32_t style);
int MessageBoxWide(const WideChar* text, const WideChar* caption, uint32_t style);

// Text for an attached debugger.
void DebugOutputNarrow(const char* text);
void DebugOutputWide(const WideChar* text);

// Milliseconds since the system started, wrapping at 2^32.
uint32_t TickCount();

// Code-page conversions with flags 0 and no default character, with the
// Windows contract: a source length of -1 means NUL-terminated, terminator
// counted; a destination length of 0 asks for the needed size; the result is
// the number of units written (or needed), 0 on failure (including a
// destination too small). Invalid input gives U+FFFD (or '?') in its place.
int MultiByteToWide(uint32_t code_page, const char* source, int source_length,
                    WideChar* destination, int destination_length);
int WideToMultiByte(uint32_t code_page, const WideChar* source, int source_length,
                    char* destination, int destination_length);

// The runtime's standard assertion report, then the end of the process.
[[noreturn]] void AssertionFailed(const char* expression, const char* file, int line);

}  // namespace Platform
}  // namespace Kvor
