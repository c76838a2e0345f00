// Native build only: what the portable platform stand-in was asked to show,
// for tests to read. Wide texts are kept converted to UTF-8; narrow texts are
// kept as the bytes given (UTF-8 or ANSI, as the caller made them).
#pragma once

#ifdef _WIN32
#error "platform_recorder.h belongs to the native build"
#endif

#include <cstdint>
#include <string>
#include <vector>

namespace Kvor::Platform {

struct RecordedBox {
    bool wide;  // made through MessageBoxWide
    std::string text;
    std::string caption;
    uint32_t style;
};

std::vector<RecordedBox>& RecordedBoxes();
// Every piece of debugger output, narrow and wide, concatenated in order.
std::string& RecordedDebugOutput();
// The same output piece by piece, with the call that wrote each.
struct RecordedDebugPiece {
    bool wide;  // written through DebugOutputWide
    std::string text;
};
std::vector<RecordedDebugPiece>& RecordedDebugPieces();
void SetTickCount(uint32_t milliseconds);
// Forgets the boxes and the debugger output (the clock is kept).
void ClearRecords();

}  // namespace Kvor::Platform
