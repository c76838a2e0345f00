// The readable report plenar-host prints: UTF-8 lines, sections and
// aligned fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plenar::cli {

void print_line(std::string_view text = {});
void print_section(std::string_view title);                       // blank line, title, underline
void print_field(std::string_view name, std::string_view value);  // "  name: value", aligned
void print_item(std::string_view text, int depth = 1);            // indented line

std::string quoted(std::string_view text);  // "text", control characters escaped
std::string hex_bytes(const std::vector<uint8_t>& bytes, size_t most);  // "16 25 08 59 ..."
std::string hex_word(uint32_t value);                                   // 0x0000002A
std::string hex_address(uintptr_t value);  // a pointer: 8 hex digits, 16 in 64 bits

}  // namespace plenar::cli
