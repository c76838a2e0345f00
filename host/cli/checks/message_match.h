// Which catalogued message a message box shows (include/kvor/messages.h), and
// the arguments it was formatted with: a box is recognised through the
// catalogue's own caption and text, never by re-stating their wording.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "kvor/messages.h"

namespace plenar::cli {

struct MatchedMessage {
    std::vector<std::string> arguments;  // the text's printf arguments, as text
    std::string kind;                    // what the caption's "{kind}" stood for
};

// The arguments when `text` is `format` formatted (each conversion matches
// any run of characters, as short as the rest allows).
std::optional<std::vector<std::string>> format_arguments(std::string_view format,
                                                         std::string_view text);

// The match when `caption` and `text` are `message`'s ("{library}" in a
// caption matches any library name).
std::optional<MatchedMessage> match_message(const Kvor::Message& message,
                                            const std::string& caption, const std::string& text);

}  // namespace plenar::cli
