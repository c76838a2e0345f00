// The characters of UTF-8 text, for what draws or escapes text one character
// at a time.
#pragma once

#include <string>
#include <string_view>

namespace plenar::cli {

inline constexpr char32_t replacement_character = 0xFFFD;

// A byte that starts no valid sequence (or a sequence cut short) is one
// replacement character of its own.
std::u32string characters_of(std::string_view utf8);
void append_utf8(std::string& out, char32_t character);

}  // namespace plenar::cli
