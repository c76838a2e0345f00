// Native build only: what the portable platform stand-in was asked to show,
// for tests to read. Texts are kept in UTF-8 whatever call made them.
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
// Which call wrote each piece of debugger output, in order: 'n' narrow, 'w' wide.
std::string& RecordedDebugCalls();
void SetTickCount(uint32_t milliseconds);
// Forgets the boxes and the debugger output (the clock is kept).
void ClearRecords();

}  // namespace Kvor::Platform
