#include "text/guard.h"

#include <exception>
#include <new>

#include "platform/platform.h"
#include "text/report.h"

namespace Kvor {
namespace {

// True when the message reads the same unformatted: no placeholder in its
// caption, no argument in its text, a narrow box.
constexpr bool ShownAsWritten(const Message& message) {
    for (const char* c = message.caption; *c; ++c)
        if (*c == '{') return false;
    for (const char* c = message.text; *c; ++c)
        if (*c == '%') return false;
    return !message.wide;
}
static_assert(ShownAsWritten(message::out_of_memory));

void ReportOutOfMemory() noexcept {
    try {
        Report(message::out_of_memory);
    } catch (...) {
        // Formatting the box needed memory too: the catalogue's own words,
        // which need none. If even that box cannot be shown, there is no
        // one left to tell.
        try {
            Platform::MessageBoxNarrow(message::out_of_memory.text, message::out_of_memory.caption,
                                       message::out_of_memory.style);
        } catch (...) {}
    }
}

void ReportError(const ErrorBox& box, const char* description) noexcept {
    try {
        Report(box.message, description);
    } catch (...) {
        // Only memory can fail a report.
        ReportOutOfMemory();
    }
}

}  // namespace

void ReportCaughtException(const ErrorBox& box) noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    } catch (const std::exception& error) {
        ReportError(box, error.what());
    } catch (...) {
        ReportError(box, box.unknown);
    }
}

}  // namespace Kvor
