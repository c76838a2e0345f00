// Helpers shared by the reader's tests: hand the reader a heap copy of a text
// (it takes ownership) and collect the message of a failed parse.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

#include "json/json.h"

// Parses `text` (which may hold NUL bytes) with `settings`; on failure puts
// the message, read as a NUL-terminated string, in `*error`.
inline json_value* parse_text(const std::string& text, const json_reader_settings* settings,
                              std::string* error = nullptr) {
    char* block = static_cast<char*>(malloc(text.size() + 1));
    memcpy(block, text.data(), text.size());
    block[text.size()] = 0;
    char message[256] = "untouched";
    json_value* root = json_read(settings, block, text.size(), message, sizeof message);
    if (error) *error = root ? std::string() : std::string(message);
    return root;
}

// The message of a parse expected to fail ("parsed" if it did not).
inline std::string parse_error(const std::string& text, int options = 0) {
    const json_reader_settings settings{0, options, nullptr, nullptr, nullptr};
    std::string error;
    json_value* root = parse_text(text, &settings, &error);
    if (root) {
        json_release(root);
        return "parsed";
    }
    return error;
}
