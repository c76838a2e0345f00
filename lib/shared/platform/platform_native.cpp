// The portable stand-in for the platform in the native build: message boxes
// and debugger output are recorded for tests instead of shown, the clock is
// set by hand, and an assertion failure makes the C library's report.
#include <assert.h>

#include "platform/platform.h"
#include "platform/platform_recorder.h"

namespace Kvor::Platform {
namespace {

uint32_t current_tick_count = 0;

std::string WideToRecordedText(const WideChar* text) {
    if (!text) return {};
    int length = WideToMultiByte(code_page_utf8, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::string converted(length, '\0');
    WideToMultiByte(code_page_utf8, text, -1, converted.data(), length);
    converted.resize(length - 1);
    return converted;
}

void RecordDebugPiece(bool wide, std::string text) {
    RecordedDebugOutput() += text;
    RecordedDebugPieces().push_back({wide, std::move(text)});
}

// Without a display the box returns at once, as Windows reports a box that
// could not be shown.
constexpr int box_not_shown = -1;

}  // namespace

std::vector<RecordedBox>& RecordedBoxes() {
    static std::vector<RecordedBox> boxes;
    return boxes;
}

std::string& RecordedDebugOutput() {
    static std::string output;
    return output;
}

std::vector<RecordedDebugPiece>& RecordedDebugPieces() {
    static std::vector<RecordedDebugPiece> pieces;
    return pieces;
}

void SetTickCount(uint32_t milliseconds) { current_tick_count = milliseconds; }

void ClearRecords() {
    RecordedBoxes().clear();
    RecordedDebugOutput().clear();
    RecordedDebugPieces().clear();
}

int MessageBoxNarrow(const char* text, const char* caption, uint32_t style) {
    RecordedBoxes().push_back({false, text ? text : "", caption ? caption : "", style});
    return box_not_shown;
}

int MessageBoxWide(const WideChar* text, const WideChar* caption, uint32_t style) {
    RecordedBoxes().push_back({true, WideToRecordedText(text), WideToRecordedText(caption), style});
    return box_not_shown;
}

void DebugOutputNarrow(const char* text) { RecordDebugPiece(false, text ? text : ""); }

void DebugOutputWide(const WideChar* text) { RecordDebugPiece(true, WideToRecordedText(text)); }

uint32_t TickCount() { return current_tick_count; }

}  // namespace Kvor::Platform

// The C library's report, declared here too because <assert.h> leaves it out
// when NDEBUG is set, and the SDK's checks stay active in every build.
extern "C" void __assert_fail(const char* assertion, const char* file, unsigned int line,
                              const char* function) noexcept __attribute__((__noreturn__));

namespace Kvor::Platform {

void AssertionFailed(const char* expression, const char* file, int line) {
    __assert_fail(expression, file, static_cast<unsigned>(line), nullptr);
}

}  // namespace Kvor::Platform
