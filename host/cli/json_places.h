// A small JSON scanner for the tools that talk about a description: it reads
// the text as the SDK does (with // and /* */ comments) and keeps, for every
// value, where in the file it begins, so a message about an entry can name
// its line and column.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plenar::cli {

struct JsonMember;

struct JsonNode {
    enum class Kind { none, null, boolean, integer, real, string, array, object };

    Kind kind = Kind::none;  // none: a lookup that found nothing
    std::string text;        // strings
    bool boolean = false;
    double number = 0;
    std::vector<JsonMember> members;     // objects, in order
    std::vector<JsonNode> items;         // arrays
    int line = 0, column = 0;            // 1-based place of the value's first byte
    int name_line = 0, name_column = 0;  // a member's value: its name's opening quote

    bool is(Kind wanted) const { return kind == wanted; }
    bool is_number() const { return kind == Kind::integer || kind == Kind::real; }
    size_t size() const;
    // The shared none node when absent or of another kind.
    const JsonNode& operator[](std::string_view key) const;
    const JsonNode& operator[](size_t index) const;
};

struct JsonMember {
    std::string name;
    JsonNode value;  // its name_line and name_column place the name
};

inline size_t JsonNode::size() const {
    return kind == Kind::object ? members.size() : items.size();
}

struct JsonScan {
    std::optional<JsonNode> root;  // empty when the text is not JSON
    std::string error;             // "L:C: reason" then
};

JsonScan scan_json(std::string_view text);

// The 1-based line and column of a byte offset.
std::pair<int, int> line_and_column(std::string_view text, size_t offset);

}  // namespace plenar::cli
