// Reading the bytes of a string: the first pass measures every string with
// this, the second writes each at its final place, so the two agree on every
// size. Escapes are decoded to UTF-8; a \u escape of a high surrogate
// followed by one of a low surrogate is one code point, and either half
// alone is U+FFFD (what converting it to UTF-16 would make of it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "json/json_words.h"

namespace json_strings {

// How reading a string ended.
enum class outcome {
    closed,      // at its closing quote
    text_ended,  // at a NUL: the text ended inside the string
    bad_escape,  // at the first byte of a \u escape that is not a hexadecimal digit
};

inline int hex_value(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The code unit of the four hexadecimal digits at `p`; returns how many
// digits came before the first byte that is not one.
inline int hex_digits(const char* p, unsigned& code) {
    code = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hex_value(static_cast<unsigned char>(p[i]));
        if (digit < 0) return i;
        code = code << 4 | unsigned(digit);
    }
    return 4;
}

// Counts a string's bytes in `length` and, when `write` is set, writes them
// at `out`. The text must end in a NUL before `end`. Writing is for strings
// already read whole, so it need not look for the NUL.
template <bool write>
class string_reader {
public:
    explicit string_reader(char* out) : out(out) {}

    uint32_t length = 0;

    // Reads from `q`, just after the opening quote; leaves `q` on the byte
    // where the string ended (see outcome).
    outcome read(const char*& q, const char* end) {
        for (;; ++q) {
            q = plain_bytes(q, end);
            if (*q == '"') return outcome::closed;
            if (*q == 0 || *++q == 0) return outcome::text_ended;
            if (!escape(q)) return outcome::bad_escape;
        }
    }

private:
    char* const out;

    void put(unsigned c) {
        if (write) out[length] = char(c);
        ++length;
    }

    // The string's own bytes from `q` up to the first quote, backslash or
    // NUL, which it returns. Strings are most of a description, so they go
    // a word at a time.
    const char* plain_bytes(const char* q, const char* end) {
        using namespace json_words;
        for (; size_t(end - q) >= word_size; q += word_size, length += word_size) {
            const word w = load(q);
            word stops = first_equal(w, '"') | first_equal(w, '\\');
            if (!write) stops |= first_equal(w, 0);
            if (stops) {
                const size_t own = first_marked(stops);
                for (size_t i = 0; i < own; ++i) put(static_cast<unsigned char>(q[i]));
                return q + own;
            }
            if (write) memcpy(out + length, &w, word_size);
        }
        for (; *q != '"' && *q != '\\' && (write || *q != 0); ++q)
            put(static_cast<unsigned char>(*q));
        return q;
    }

    // The escape whose letter is at `q`; leaves `q` on its last byte, or on
    // the bad digit of a \u escape (and returns false).
    bool escape(const char*& q) {
        switch (*q) {
            case 'b': put(8); return true;
            case 'f': put(12); return true;
            case 'n': put(10); return true;
            case 'r': put(13); return true;
            case 't': put(9); return true;
            case 'u': break;
            default: put(static_cast<unsigned char>(*q)); return true;  // stands for itself
        }
        unsigned code;
        const int digits = hex_digits(q + 1, code);
        if (digits < 4) {
            q += 1 + digits;
            return false;
        }
        q += 4;
        unsigned low;
        if (code >= 0xD800 && code < 0xDC00 && q[1] == '\\' && q[2] == 'u' &&
            hex_digits(q + 3, low) == 4 && low >= 0xDC00 && low < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            q += 6;
        }
        put_utf8(code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
        return true;
    }

    void put_utf8(unsigned code) {
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | code >> 6);
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | code >> 12);
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | code >> 18);
            put(0x80 | (code >> 12 & 0x3F));
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }
};

}  // namespace json_strings
