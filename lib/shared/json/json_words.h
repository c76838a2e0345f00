// Looking at text a word at a time. Descriptions are mostly runs of bytes
// that decide nothing (string contents, blanks); the comment pass and the
// scanner find the few bytes that do by testing a whole word at once.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace json_words {

// The text's first byte lies at the lowest address of a word, so the first
// matching byte is the lowest one marked.
static_assert(std::endian::native == std::endian::little);

using word = uintptr_t;
inline constexpr size_t word_size = sizeof(word);
inline constexpr word low_bits = ~word(0) / 0xFF;  // 0x01 in every byte
inline constexpr word high_bits = low_bits * 0x80;

inline word load(const char* p) {
    word w;
    memcpy(&w, p, sizeof w);
    return w;
}

// The high bit of every byte of `w` that equals `c`, and no other bit.
inline word bytes_equal(word w, unsigned char c) {
    const word x = w ^ (low_bits * c);
    return ~(((x & ~high_bits) + ~high_bits) | x) & high_bits;
}

// Marks the first byte of `w` that equals `c` (and perhaps later bytes too,
// which callers never look at); zero when none does. Cheaper than
// bytes_equal where only the first match counts.
inline word first_equal(word w, unsigned char c) {
    const word x = w ^ (low_bits * c);
    return (x - low_bits) & ~x & high_bits;
}

// Index of the first byte marked in `marks`, which is not zero.
inline size_t first_marked(word marks) { return size_t(std::countr_zero(marks)) / 8; }

}  // namespace json_words
