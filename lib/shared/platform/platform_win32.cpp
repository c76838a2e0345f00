// The platform calls of the win32 build: the Windows API itself.
#include <assert.h>
#include <stdlib.h>
#include <windows.h>

#include "platform/platform.h"

namespace Kvor::Platform {

int MessageBoxNarrow(const char* text, const char* caption, uint32_t style) {
    return MessageBoxA(nullptr, text, caption, style);
}

int MessageBoxWide(const WideChar* text, const WideChar* caption, uint32_t style) {
    return MessageBoxW(nullptr, text, caption, style);
}

void DebugOutputNarrow(const char* text) { OutputDebugStringA(text); }

void DebugOutputWide(const WideChar* text) { OutputDebugStringW(text); }

uint32_t TickCount() { return GetTickCount(); }

int MultiByteToWide(uint32_t code_page, const char* source, int source_length,
                    WideChar* destination, int destination_length) {
    return MultiByteToWideChar(code_page, 0, source, source_length, destination,
                               destination_length);
}

int WideToMultiByte(uint32_t code_page, const WideChar* source, int source_length,
                    char* destination, int destination_length) {
    return WideCharToMultiByte(code_page, 0, source, source_length, destination, destination_length,
                               nullptr, nullptr);
}

// The runtime's own report: a box or a line on stderr, then abort().
void AssertionFailed(const char* expression, const char* file, int line) {
    _assert(expression, file, static_cast<unsigned>(line));
    abort();  // _assert ends the process but is not declared [[noreturn]]
}

}  // namespace Kvor::Platform
