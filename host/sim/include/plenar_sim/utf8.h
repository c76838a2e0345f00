// Text conversions of the simulator: everything it records is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace plenar::sim {

std::string utf8_from_wide(std::wstring_view text);
std::string utf8_from_ansi(std::string_view text);  // the process's ANSI code page
std::wstring wide_from_utf8(std::string_view text);

}  // namespace plenar::sim
