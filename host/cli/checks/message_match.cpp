#include "message_match.h"

namespace plenar::cli {
namespace {

// The literal pieces of a printf format, split at its conversions.
std::vector<std::string> literal_pieces(std::string_view format) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            pieces.back() += format[i];
        } else if (i + 1 < format.size() && format[i + 1] == '%') {
            pieces.back() += '%';
            ++i;
        } else {
            // Flags, width and length up to the conversion letter.
            while (i + 1 < format.size() &&
                   std::string_view("-+ #0123456789.lhz").find(format[i + 1]) !=
                       std::string_view::npos)
                ++i;
            ++i;
            pieces.emplace_back();
        }
    }
    return pieces;
}

}  // namespace

std::optional<std::vector<std::string>> format_arguments(std::string_view format,
                                                         std::string_view text) {
    const std::vector<std::string> pieces = literal_pieces(format);
    const std::string& first = pieces.front();
    const std::string& last = pieces.back();
    if (pieces.size() == 1)
        return text == first ? std::optional(std::vector<std::string>{}) : std::nullopt;
    if (text.size() < first.size() + last.size() || text.substr(0, first.size()) != first ||
        text.substr(text.size() - last.size()) != last)
        return std::nullopt;
    std::vector<std::string> arguments;
    size_t at = first.size();
    const size_t end = text.size() - last.size();
    for (size_t p = 1; p + 1 < pieces.size(); ++p) {
        const size_t found = text.find(pieces[p], at);
        if (found == std::string_view::npos || found + pieces[p].size() > end) return std::nullopt;
        arguments.emplace_back(text.substr(at, found - at));
        at = found + pieces[p].size();
    }
    arguments.emplace_back(text.substr(at, end - at));
    return arguments;
}

std::optional<MatchedMessage> match_message(const Kvor::Message& message,
                                            const std::string& caption, const std::string& text) {
    // The caption as a format: its placeholders are conversions.
    std::string caption_format;
    bool has_kind = false;
    for (std::string_view rest = message.caption; !rest.empty();) {
        if (rest.substr(0, 9) == "{library}") {
            caption_format += "%s";
            rest.remove_prefix(9);
        } else if (rest.substr(0, 6) == "{kind}") {
            caption_format += "%s";
            has_kind = true;
            rest.remove_prefix(6);
        } else {
            caption_format += rest.front() == '%' ? "%%" : std::string(1, rest.front());
            rest.remove_prefix(1);
        }
    }
    const auto caption_parts = format_arguments(caption_format, caption);
    if (!caption_parts) return std::nullopt;
    auto arguments = format_arguments(message.text, text);
    if (!arguments) return std::nullopt;
    MatchedMessage matched{std::move(*arguments), {}};
    if (has_kind && !caption_parts->empty()) matched.kind = caption_parts->back();
    return matched;
}

}  // namespace plenar::cli
