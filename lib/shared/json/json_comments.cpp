// The comment pass: copies the text without its comments, keeping every line
// feed so that the scanner's line numbers match the original text.
//
// Outside comments only slashes (which may open one) and backslashes (which
// escape the byte after them in a string) need a decision, and whether one
// lies in a string is the parity of the quotes before it. So the pass looks
// for those two bytes a word at a time, keeping the quote parity on the way
// without a branch per string, and copies the text between comments in one
// move; past the text's last slash it looks no further. Line numbers, needed
// only for a message, are counted when one is written.
#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "json/json_parse_state.h"
#include "json/json_words.h"

namespace {

using namespace json_words;

// Whether an odd number of bytes is marked in `marks`.
bool odd(word marks) {
    for (unsigned shift = word_size * 4; shift >= 8; shift /= 2) marks ^= marks >> shift;
    return marks & 0x80;
}

// The first slash or backslash in [p, end), or `end`; `in_string` goes from
// the state at `p` to the state at the byte found, by the quotes on the way.
const char* find_slash(const char* p, const char* end, bool& in_string) {
    word quotes = 0;  // the quotes passed, one parity bit per byte lane
    for (; size_t(end - p) >= word_size; p += word_size) {
        const word w = load(p);
        const word q = bytes_equal(w, '"');
        if (const word found = first_equal(w, '/') | first_equal(w, '\\')) {
            in_string ^= odd(quotes ^ (q & ((found & (0 - found)) - 1)));
            return p + first_marked(found);
        }
        quotes ^= q;
    }
    in_string ^= odd(quotes);
    for (; p < end && *p != '/' && *p != '\\'; ++p) in_string ^= *p == '"';
    return p;
}

// Just past the last slash in [begin, end), or `begin` when there is none.
const char* after_last_slash(const char* begin, const char* end) {
    const char* p = end;
    for (; size_t(p - begin) >= word_size; p -= word_size) {
        if (const word slashes = bytes_equal(load(p - word_size), '/'))
            return p - std::countl_zero(slashes) / 8;
    }
    while (p > begin && p[-1] != '/') --p;
    return p;
}

// The first byte in [p, end) that is `a` or `b`, or `end`.
const char* find_either(const char* p, const char* end, unsigned char a, unsigned char b) {
    for (; size_t(end - p) >= word_size; p += word_size) {
        const word w = load(p);
        if (const word found = first_equal(w, a) | first_equal(w, b))
            return p + first_marked(found);
    }
    while (p < end && static_cast<unsigned char>(*p) != a && static_cast<unsigned char>(*p) != b)
        ++p;
    return p;
}

// Past the block comment whose '*' is at `p` (so "/*/" is a whole comment),
// writing its line feeds at `written`; null when the text ends first.
const char* skip_block_comment(const char* p, const char* end, char*& written) {
    for (;;) {
        p = find_either(p, end, '*', '\n');
        if (p == end) return nullptr;
        if (*p == '\n') {
            *written++ = '\n';
        } else if (end - p > 1 && p[1] == '/') {
            return p + 2;
        }
        ++p;
    }
}

// Appends [from, to) at `written`.
void copy(char*& written, const char* from, const char* to) {
    if (from == to) return;
    memcpy(written, from, size_t(to - from));
    written += to - from;
}

int line_of(const char* text, const char* at) { return int(std::count(text, at, '\n')); }

}  // namespace

int json_strip_comments(char** text, json_parse_state* state, char* message, size_t message_size,
                        size_t* length_slot) {
    const char* const in = *text;
    const size_t length = in ? *length_slot : 0;
    // The copy is never longer than the input: a line comment's at least three
    // bytes become CR LF.
    char* const out = length < json_limit
                          ? static_cast<char*>(json_request(*state, uint64_t(length) + 1, true))
                          : nullptr;
    bool failed = !out;
    if (failed) snprintf(message, message_size, "Memory allocation failure");

    const char* const end = in + length;
    const char* p = in;
    const char* kept = in;  // start of the input not yet copied
    char* written = out;
    bool in_string = false;
    // No comment opens after the last slash: from there on the text stays
    // as it is, and nothing needs a look.
    const char* const slashes_end = failed ? in : after_last_slash(in, end);
    while (p < slashes_end) {
        p = find_slash(p, slashes_end, in_string);
        if (p == slashes_end) break;
        if (*p == '\\') {
            // In a string it escapes the next byte, so a string ending in an
            // escaped backslash ("x\\") ends at its quote.
            p = in_string && end - p > 1 ? p + 2 : p + 1;
            continue;
        }
        const char next = end - p > 1 ? p[1] : 0;
        if (in_string || (next != '/' && next != '*')) {
            ++p;
            continue;
        }
        copy(written, kept, p);
        if (next == '/') {
            // The comment and its line feed become CR LF.
            const char* line_end = find_either(p + 2, end, '\n', 0);
            if (line_end == end || *line_end != '\n') {
                snprintf(message, message_size,
                         "Line %d, char %d: Opened // comment but no newline encountered.",
                         line_of(in, p), int(p - in));
                failed = true;
                break;
            }
            *written++ = '\r';
            *written++ = '\n';
            p = kept = line_end + 1;
            continue;
        }
        const char* const opened = p;
        p = skip_block_comment(p + 1, end, written);
        if (!p) {
            // The line is where the text ended; the opening's offset is what
            // leads the reader back to the comment.
            snprintf(message, message_size,
                     "Line %d, char %d: Opened /* */ comment without closing it.", line_of(in, end),
                     int(opened - in));
            failed = true;
            break;
        }
        kept = p;
    }

    if (!failed) copy(written, kept, end);
    free(*text);
    if (failed) {
        if (out) state->settings.release(out, state->settings.user_data);
        *text = nullptr;
        return 0;
    }
    *written = 0;
    *text = out;
    *length_slot = size_t(written - out) + 1;
    return 1;
}
