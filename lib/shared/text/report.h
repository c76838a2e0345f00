// How the SDK tells the user about a problem: one of its catalogued messages
// (include/kvor/messages.h) in a modal box without an owner window, after
// which the caller returns its failure value and carries on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kvor/messages.h"
#include "platform/platform.h"

namespace Kvor {

// The box itself: narrow, or wide for a message whose text holds wide input.
void ShowMessage(const Kvor::Message& message, std::string_view kind, const std::string& text);

// Shows `message`, its text formatted with `arguments`; "{library}" in its
// caption is this library's base name.
template <typename... A>
void Report(const Kvor::Message& message, A... arguments) {
    ShowMessage(message, {}, Kvor::MessageText(message, arguments...));
}

// The same for a message about one kind of entry: `kind` ("action",
// "condition", "expression") fills the caption's "{kind}".
template <typename... A>
void ReportAbout(std::string_view kind, const Kvor::Message& message, A... arguments) {
    ShowMessage(message, kind, Kvor::MessageText(message, arguments...));
}

}  // namespace Kvor
