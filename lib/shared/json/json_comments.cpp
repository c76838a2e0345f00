// The comment pass: copies the text without its comments, keeping every line
// feed so that the scanner's line numbers match the original text.
#include <cstdio>
#include <cstdlib>

#include "json/json_parse_state.h"

namespace {

// Index of the line feed ending a line comment that starts at `from`, or
// `length` when the text (or an embedded NUL) ends first.
size_t find_line_end(const char* in, size_t from, size_t length) {
    while (from < length && in[from] != '\n' && in[from] != 0) ++from;
    return from < length && in[from] == '\n' ? from : length;
}

}  // namespace

int json_strip_comments(char** text, json_parse_state* state, char* message,
                        size_t message_size, size_t* length_slot) {
    const char* in = *text;
    const size_t length = in ? *length_slot : 0;
    // The copy is never longer than the input: a line comment's at least three
    // bytes become CR LF.
    char* out = length < json_limit
                    ? static_cast<char*>(json_request(*state, uint64_t(length) + 1, true))
                    : nullptr;
    bool failed = !out;
    if (failed) snprintf(message, message_size, "Memory allocation failure");

    size_t written = 0;
    int line = 0;
    bool in_string = false, in_block = false;
    // Inside a string a backslash escapes the byte after it, so a string
    // ending in an escaped backslash ("x\\") is closed by its quote and the
    // comments and strings after it are told apart rightly.
    bool escaped = false;
    size_t block_opened = 0;
    for (size_t i = 0; !failed && i < length; ++i) {
        const char c = in[i];
        const bool escaping = escaped;
        escaped = false;
        if (c == '\n') {
            out[written++] = c;
            ++line;
        } else if (in_block) {
            if (c == '*' && i + 1 < length && in[i + 1] == '/') {
                in_block = false;
                ++i;
            }
        } else {
            out[written++] = c;
            if (c == '\\' && in_string && !escaping) {
                escaped = true;
            } else if (c == '"') {
                if (!escaping) in_string = !in_string;
            } else if (c == '/' && !in_string && i + 1 < length && in[i + 1] == '/') {
                const size_t end = find_line_end(in, i + 2, length);
                if (end == length) {
                    snprintf(message, message_size,
                             "Line %d, char %d: Opened // comment but no newline encountered.",
                             line, int(i));
                    failed = true;
                } else {
                    out[written - 1] = '\r';
                    out[written++] = '\n';
                    ++line;
                    i = end;
                }
            } else if (c == '/' && !in_string && i + 1 < length && in[i + 1] == '*') {
                // The '*' is examined again in comment mode, so "/*/" is a
                // whole comment.
                --written;
                in_block = true;
                block_opened = i;
            }
        }
    }
    if (!failed && in_block) {
        // The line is where the text ended; the opening's offset is what
        // leads the reader back to the comment.
        snprintf(message, message_size,
                 "Line %d, char %d: Opened /* */ comment without closing it.", line,
                 int(block_opened));
        failed = true;
    }

    free(*text);
    if (failed) {
        if (out) state->settings.release(out, state->settings.user_data);
        *text = nullptr;
        return 0;
    }
    out[written] = 0;
    *text = out;
    *length_slot = written + 1;
    return 1;
}
