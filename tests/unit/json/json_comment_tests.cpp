// The comment pass: what it removes, what it keeps, and how positions in
// later messages stay those of the original lines.
#include <gtest/gtest.h>

#include "json_test_support.h"

namespace {

struct comment_case {
    const char* name;
    std::string text;
    std::string message;  // "parsed" when the text is valid
};

std::ostream& operator<<(std::ostream& out, const comment_case& c) { return out << c.name; }

class CommentPass : public testing::TestWithParam<comment_case> {};

TEST_P(CommentPass, GivesExpectedOutcome) {
    EXPECT_EQ(parse_error(GetParam().text), GetParam().message);
}

const comment_case comment_cases[] = {
    {"line_comment_with_final_line_feed", "[1] // note\n", "parsed"},
    {"line_comment_without_final_line_feed", "[1] // note",
     "Line 0, char 4: Opened // comment but no newline encountered."},
    {"line_comment_alone", "// note",
     "Line 0, char 0: Opened // comment but no newline encountered."},
    {"line_comment_on_second_line", "[1,\n2] // x",
     "Line 1, char 7: Opened // comment but no newline encountered."},
    {"line_comment_between_values", "[1, // one\n 2]", "parsed"},
    // The comment and its line feed become CR LF: "[1, \r\n x]".
    {"line_comment_becomes_cr_lf", "[1, // c\n x]", "2:2: Unexpected x when seeking value"},
    {"line_comment_first", "// c\nx", "2:1: Unexpected x when seeking value"},
    {"block_comment_inline", "{\"a\": /* c */ 1}", "parsed"},
    {"block_comment_keeps_line_feeds", "/* a\nb\nc */\n[x]",
     "4:2: Unexpected x when seeking value"},
    {"unclosed_block_comment", "[1] /* open",
     "Line 0, char 4: Opened /* */ comment without closing it."},
    {"unclosed_block_comment_over_lines", "[1]\n/* a\nb",
     "Line 2, char 4: Opened /* */ comment without closing it."},
    {"slash_star_slash_is_a_whole_comment", "[1 /*/, 2]", "parsed"},
    {"text_after_slash_star_slash_stays", "/*/ [1] */", "1:5: Trailing garbage: `*`"},
    {"block_markers_inside_string", "[\"/* x */\"]", "parsed"},
    {"line_marker_inside_string", "[\"a // b\"]", "parsed"},
    // A string ending in an escaped backslash is closed by its quote, so the
    // comment after it is a comment.
    {"escaped_backslash_closes_string", "[\"a\\\\\" // c\n]", "parsed"},
    {"escaped_quote_stays_in_string", "[\"a\\\" // c\"]", "parsed"},
    {"quote_in_comment_does_not_open_string", "[1 /* \" */, 2 // \"\n, 3]", "parsed"},
    {"comment_between_name_and_colon", "{\"a\" /* c */ : 1}", "parsed"},
};

INSTANTIATE_TEST_SUITE_P(Table, CommentPass, testing::ValuesIn(comment_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CommentPassContent, LeavesStringsWithMarkersUnchanged) {
    json_value* root = parse_text("[\"/* x */\", \"// y\", \"/*/\"] // done\n", nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ((*root)[0].text(), "/* x */");
    EXPECT_STREQ((*root)[1].text(), "// y");
    EXPECT_STREQ((*root)[2].text(), "/*/");
    json_release(root);
}

TEST(CommentPassContent, KeepsStringsAfterAnEscapedBackslash) {
    json_value* root = parse_text("{\"a\": \"x\\\\\", \"b\": \"/*y*/\", \"c\": \"//z\"}", nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ((*root)["a"].text(), "x\\");
    EXPECT_STREQ((*root)["b"].text(), "/*y*/");
    EXPECT_STREQ((*root)["c"].text(), "//z");
    json_release(root);
}

// The pass looks at several bytes at once; wherever the markers fall among
// them, the outcome is the same.
TEST(CommentPassContent, IsTheSameWhereverTheMarkersFall) {
    for (int pad = 0; pad <= 16; ++pad) {
        const std::string blank(pad, ' ');
        json_value* root = parse_text(
            blank + "[\"a\\\\\"" + blank + "/* x\n*/, \"/*\\\"//\", 1" + blank + "// c\n]",
            nullptr);
        ASSERT_NE(root, nullptr) << pad;
        EXPECT_STREQ((*root)[0].text(), "a\\") << pad;
        EXPECT_STREQ((*root)[1].text(), "/*\"//") << pad;
        EXPECT_EQ((*root)[2].integer(), 1) << pad;
        json_release(root);
        EXPECT_EQ(parse_error(blank + "[1]\n" + blank + "/* open"),
                  "Line 1, char " + std::to_string(2 * pad + 4) +
                      ": Opened /* */ comment without closing it.")
            << pad;
        EXPECT_EQ(parse_error(blank + "\"a\\\\\"\n" + blank + "// c"),
                  "Line 1, char " + std::to_string(2 * pad + 6) +
                      ": Opened // comment but no newline encountered.")
            << pad;
    }
}

TEST(CommentPassContent, RemovesCommentsAroundValues) {
    json_value* root =
        parse_text("/* head */{\n  // one\n  \"a\": 1, /* two */ \"b\": [2 /**/]\n}", nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ((*root)["a"].integer(), 1);
    EXPECT_EQ((*root)["b"][0].integer(), 2);
    EXPECT_EQ((*root)["b"].length(), 1u);
    json_release(root);
}

}  // namespace
