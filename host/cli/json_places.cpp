#include "json_places.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <tuple>

namespace plenar::cli {
namespace {

const JsonNode none_node;

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    JsonNode document() {
        JsonNode root = value();
        skip_space();
        if (at_ < text_.size()) fail("trailing text");
        return root;
    }

    [[noreturn]] void fail(const std::string& reason) {
        const auto [line, column] = line_and_column(text_, at_);
        throw std::runtime_error(std::to_string(line) + ":" + std::to_string(column) + ": " +
                                 reason);
    }

private:
    // The line and column of the cursor, counted on from the last place
    // asked for: places are asked for in the order of the text.
    std::pair<int, int> place() {
        for (; counted_ < at_; ++counted_) {
            if (text_[counted_] == '\n') {
                ++line_;
                column_ = 1;
            } else {
                ++column_;
            }
        }
        return {line_, column_};
    }

    char peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    void skip_space() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++at_;
            } else if (c == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '/') {
                while (at_ < text_.size() && text_[at_] != '\n') ++at_;
            } else if (c == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '*') {
                const size_t end = text_.find("*/", at_ + 2);
                if (end == std::string_view::npos) fail("unclosed /* comment");
                at_ = end + 2;
            } else {
                return;
            }
        }
    }

    JsonNode value() {
        skip_space();
        JsonNode node;
        std::tie(node.line, node.column) = place();
        const char c = peek();
        if (c == '{') {
            node.kind = JsonNode::Kind::object;
            ++at_;
            for (;;) {
                skip_space();
                if (peek() == '}') break;
                if (peek() != '"') fail("expected a member name");
                const auto [line, column] = place();
                std::string name = string();
                skip_space();
                if (peek() != ':') fail("expected :");
                ++at_;
                node.members.push_back({std::move(name), value()});
                node.members.back().value.name_line = line;
                node.members.back().value.name_column = column;
                skip_space();
                if (peek() == ',')
                    ++at_;
                else if (peek() != '}')
                    fail("expected , or }");
            }
            ++at_;
        } else if (c == '[') {
            node.kind = JsonNode::Kind::array;
            ++at_;
            for (;;) {
                skip_space();
                if (peek() == ']') break;
                node.items.push_back(value());
                skip_space();
                if (peek() == ',')
                    ++at_;
                else if (peek() != ']')
                    fail("expected , or ]");
            }
            ++at_;
        } else if (c == '"') {
            node.kind = JsonNode::Kind::string;
            node.text = string();
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            const size_t start = at_;
            bool real = false;
            ++at_;
            while (at_ < text_.size() &&
                   std::string_view("0123456789.eE+-").find(text_[at_]) != std::string_view::npos)
                real |= std::string_view(".eE").find(text_[at_++]) != std::string_view::npos;
            const std::string_view digits = text_.substr(start, at_ - start);
            // A whole number beyond 64 bits is a double to the SDK's reader.
            int64_t whole = 0;
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), whole);
            real |= error != std::errc{} || end != digits.data() + digits.size();
            node.kind = real ? JsonNode::Kind::real : JsonNode::Kind::integer;
            node.number = std::strtod(std::string(digits).c_str(), nullptr);
        } else if (literal("true")) {
            node.kind = JsonNode::Kind::boolean;
            node.boolean = true;
        } else if (literal("false")) {
            node.kind = JsonNode::Kind::boolean;
        } else if (literal("null")) {
            node.kind = JsonNode::Kind::null;
        } else {
            fail("unexpected character");
        }
        return node;
    }

    bool literal(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }

    // The string at the cursor, its escapes read as the SDK reads them.
    std::string string() {
        std::string result;
        ++at_;
        for (;;) {
            if (at_ >= text_.size()) fail("unclosed string");
            const char c = text_[at_++];
            if (c == '"') return result;
            if (c != '\\') {
                result += c;
                continue;
            }
            if (at_ >= text_.size()) fail("unclosed string");
            const char escaped = text_[at_++];
            switch (escaped) {
                case 'b': result += '\b'; break;
                case 'f': result += '\f'; break;
                case 'n': result += '\n'; break;
                case 'r': result += '\r'; break;
                case 't': result += '\t'; break;
                case 'u': {
                    if (at_ + 4 > text_.size()) fail("short \\u escape");
                    const unsigned code =
                        std::strtoul(std::string(text_.substr(at_, 4)).c_str(), nullptr, 16);
                    at_ += 4;
                    append_utf8(result, code);
                    break;
                }
                default: result += escaped;
            }
        }
    }

    static void append_utf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xC0 | (code >> 6));
            out += char(0x80 | (code & 0x3F));
        } else {
            out += char(0xE0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        }
    }

    std::string_view text_;
    size_t at_ = 0;
    size_t counted_ = 0;
    int line_ = 1, column_ = 1;
};

}  // namespace

const JsonNode& JsonNode::operator[](std::string_view key) const {
    if (kind == Kind::object)
        for (const auto& [name, value] : members)
            if (name == key) return value;
    return none_node;
}

const JsonNode& JsonNode::operator[](size_t index) const {
    return kind == Kind::array && index < items.size() ? items[index] : none_node;
}

JsonScan scan_json(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    Scanner scanner(text);
    try {
        return {scanner.document(), {}};
    } catch (const std::runtime_error& error) {
        return {std::nullopt, error.what()};
    }
}

std::pair<int, int> line_and_column(std::string_view text, size_t offset) {
    int line = 1, column = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return {line, column};
}

}  // namespace plenar::cli
