// UTF-8 text as the reports for machines carry it: XML character data or
// attribute values (validate --junit), JSON strings (validate --json, check
// --json, compat --json). What neither may hold (control characters, bytes
// that are no UTF-8) becomes the replacement character.
#pragma once

#include <string>
#include <string_view>

namespace plenar::cli {

std::string xml_escaped(std::string_view utf8);
std::string json_escaped(std::string_view utf8);
// A JSON string literal: json_escaped between quotes.
std::string json_string(std::string_view utf8);

}  // namespace plenar::cli
