// Every error the reader reports, with the line and column it names.
#include <gtest/gtest.h>

#include "json_test_support.h"

namespace {

struct error_case {
    const char* name;
    std::string text;
    std::string message;
};

std::ostream& operator<<(std::ostream& out, const error_case& c) { return out << c.name; }

class ReaderError : public testing::TestWithParam<error_case> {};

TEST_P(ReaderError, ReportsMessageAndPosition) {
    EXPECT_EQ(parse_error(GetParam().text), GetParam().message);
}

using namespace std::string_literals;

const error_case error_cases[] = {
    // A NUL in the character slot cuts the message short.
    {"empty_text", "", "1:0: Unexpected "},
    {"blank_text", " \t\r", "1:3: Unexpected "},
    {"unclosed_array_cut_after_before", "[1,2", "1:4: Expected , before "},
    {"unclosed_array_after_comma", "[1,", "1:3: Unexpected "},
    {"byte_order_mark", "\xEF\xBB\xBF{}", "1:0: Unexpected \xEF when seeking value"},
    {"leading_comma", "[,1]", "1:1: Unexpected , when seeking value"},
    {"double_comma", "[1,,2]", "1:3: Unexpected , when seeking value"},
    {"plus_sign", "+1", "1:0: Unexpected + when seeking value"},
    {"bare_fraction", ".5", "1:0: Unexpected . when seeking value"},
    {"capital_literal", "True", "1:0: Unexpected T when seeking value"},
    {"unknown_literal", "tru", "1:0: Unknown value"},
    {"unknown_literal_in_array", "[1, nul]", "1:4: Unknown value"},
    {"literal_cut_by_end", "fals", "1:0: Unknown value"},
    {"closing_bracket_first", "]", "1:0: Unexpected ]"},
    {"closing_bracket_in_object", "{\"a\":]}", "1:5: Unexpected ]"},
    {"missing_comma", "[1 2]", "1:3: Expected , before 2"},
    {"missing_colon", "{\"a\" 1}", "1:5: Expected : before 1"},
    {"missing_colon_at_end", "{\"a\"", "1:4: Expected : before "},
    {"name_after_value", "{\"a\":1 \"b\":2}", "1:7: Expected , before \""},
    {"number_as_name", "{1}", "1:1: Unexpected `1` in object"},
    {"comma_first_in_object", "{,}", "1:1: Unexpected `,` in object"},
    {"double_comma_in_object", "{\"a\":1,,}", "1:7: Unexpected `,` in object"},
    {"bracket_closing_object", "{\"a\":[1]]", "1:8: Unexpected `]` in object"},
    {"unclosed_object", "{", "1:1: Unexpected `\\0` in object"},
    {"unclosed_object_after_member", "{\"a\":1", "1:6: Unexpected `\\0` in object"},
    {"unclosed_string", "\"abc", "Unexpected EOF in string (at 1:4)"},
    {"unclosed_string_after_escape", "[\"a\\", "Unexpected EOF in string (at 1:4)"},
    {"nul_inside_string", "\"a\0b\""s, "Unexpected EOF in string (at 1:2)"},
    {"short_unicode_escape", "\"\\u12x4\"", "Invalid character value `u` (at 1:5)"},
    {"unicode_escape_at_end", "\"\\u12", "Invalid character value `u` (at 1:5)"},
    {"short_escape_after_high_surrogate", "\"\\uD83D\\u12x4\"",
     "Invalid character value `u` (at 1:11)"},
    {"trailing_garbage", "[1] x", "1:4: Trailing garbage: `x`"},
    {"second_root", "1\n\n  2", "3:3: Trailing garbage: `2`"},
    {"extra_closing_bracket", "[1]]", "1:3: Trailing garbage: `]`"},
    {"leading_zero", "01", "1:1: Unexpected `0` before `1`"},
    {"negative_leading_zero", "[-00]", "1:3: Unexpected `0` before `0`"},
    {"dot_before_digit", "-.5", "1:1: Expected digit before `.`"},
    {"dot_without_fraction", "1.", "1:2: Expected digit after `.`"},
    {"dot_before_exponent", "[1.e5]", "1:3: Expected digit after `.`"},
    {"exponent_without_digit", "1e", "1:2: Expected digit after `e`"},
    {"exponent_sign_without_digit", "[1E-]", "1:4: Expected digit after `e`"},
    {"minus_alone", "[-]", "1:2: Expected digit after `-`"},
    {"minus_before_exponent", "-e5", "1:1: Expected digit after `-`"},
    {"second_exponent", "[1e5e]", "1:4: Expected , before e"},
    // Positions after line feeds: the first byte of a later line is column 1.
    {"error_on_fourth_line", "[\n1,\n\n x]", "4:2: Unexpected x when seeking value"},
    {"raw_line_feed_in_string_is_no_line", "[\"a\nb\", x]", "1:8: Unexpected x when seeking value"},
};

INSTANTIATE_TEST_SUITE_P(Table, ReaderError, testing::ValuesIn(error_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderErrorBuffer, IsCutToItsSize) {
    char* text = static_cast<char*>(malloc(2));
    memcpy(text, "]", 2);
    char buffer[6];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(json_read(nullptr, text, 1, buffer, 5), nullptr);
    EXPECT_STREQ(buffer, "1:0:");
    EXPECT_EQ(buffer[5], 'x');
}

TEST(ReaderErrorBuffer, OfSizeZeroIsLeftUntouched) {
    char* text = static_cast<char*>(malloc(2));
    memcpy(text, "]", 2);
    char buffer[4] = "abc";
    EXPECT_EQ(json_read(nullptr, text, 1, buffer, 0), nullptr);
    EXPECT_STREQ(buffer, "abc");
}

TEST(ReaderErrorBuffer, MayBeNull) {
    char* text = static_cast<char*>(malloc(2));
    memcpy(text, "]", 2);
    EXPECT_EQ(json_read(nullptr, text, 1, nullptr, 256), nullptr);
}

}  // namespace
