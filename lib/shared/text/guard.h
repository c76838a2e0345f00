// No exception may leave an export: the host calls them across a plain
// stdcall boundary that knows nothing of C++ exceptions, so one unwinding
// into it is undefined. Every export runs its work through Guarded, which
// turns an exception into the export's failure value and a message box: out
// of memory has a box of its own, any other error shows its description.
#pragma once

#include <concepts>
#include <type_traits>
#include <utility>

#include "kvor/messages.h"

namespace Kvor {

// Where an error other than running out of memory is shown: `message` (a
// "%s" text) with the error's description, or `unknown` for one without.
struct ErrorBox {
    const Message& message;
    const char* unknown;
};
inline constexpr ErrorBox export_errors{message::export_error, message::export_unknown_error};
inline constexpr ErrorBox debugger_errors{message::debugger_error, message::debugger_unknown_error};

// Shows the exception being handled in its box. Never throws; call it only
// from a catch block.
void ReportCaughtException(const ErrorBox& box) noexcept;

// The result of `work`, or `failure` after the box when it throws.
template <std::invocable Work>
std::invoke_result_t<Work&> Guarded(std::invoke_result_t<Work&> failure, Work&& work,
                                    const ErrorBox& box = export_errors) noexcept {
    try {
        return work();
    } catch (...) {
        ReportCaughtException(box);
        return failure;
    }
}

// The same for work that gives no result.
template <std::invocable Work>
void Guarded(Work&& work, const ErrorBox& box = export_errors) noexcept {
    try {
        work();
    } catch (...) {
        ReportCaughtException(box);
    }
}

}  // namespace Kvor
