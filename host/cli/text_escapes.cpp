#include "text_escapes.h"

#include <cstdio>
#include "characters.h"

namespace plenar::cli {

std::string xml_escaped(std::string_view utf8) {
    std::string out;
    for (const char32_t c : characters_of(utf8)) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            // Kept in attributes too, where a parser would fold a bare one.
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            case '\t': out += "&#9;"; break;
            default: {
                const bool allowed = (c >= 0x20 && c < 0xD800) || (c >= 0xE000 && c < 0xFFFE) ||
                                     (c >= 0x10000 && c <= 0x10FFFF);
                append_utf8(out, allowed ? c : replacement_character);
            }
        }
    }
    return out;
}

std::string json_escaped(std::string_view utf8) {
    std::string out;
    for (const char32_t c : characters_of(utf8)) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
                    out += escape;
                } else {
                    append_utf8(out, (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF
                                         ? replacement_character
                                         : c);
                }
        }
    }
    return out;
}

std::string json_string(std::string_view utf8) { return '"' + json_escaped(utf8) + '"'; }

}  // namespace plenar::cli
