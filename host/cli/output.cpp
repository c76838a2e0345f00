#include "output.h"

#include <cstdio>

namespace plenar::cli {

void print_line(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

void print_section(std::string_view title) {
    print_line();
    print_line(title);
    print_line(std::string(title.size(), '-'));
}

void print_field(std::string_view name, std::string_view value) {
    std::string text = "  " + std::string(name) + ":";
    if (text.size() < 22)
        text.resize(22, ' ');
    else
        text += ' ';
    print_line(text + std::string(value));
}

void print_item(std::string_view text, int depth) {
    print_line(std::string(2 * depth, ' ') + std::string(text));
}

std::string quoted(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            result += '\\';
            result += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(c));
            result += escape;
        } else {
            result += c;
        }
    }
    return result + "\"";
}

std::string hex_bytes(const std::vector<uint8_t>& bytes, size_t most) {
    std::string text;
    for (size_t i = 0; i < bytes.size() && i < most; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02X", bytes[i]);
        if (i) text += ' ';
        text += byte;
    }
    if (bytes.size() > most) text += " ...";
    return text;
}

std::string hex_word(uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string hex_address(uintptr_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*llX", static_cast<int>(2 * sizeof value),
                  static_cast<unsigned long long>(value));
    return text;
}

}  // namespace plenar::cli
