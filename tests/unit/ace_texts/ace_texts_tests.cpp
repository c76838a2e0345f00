// The editor's texts read from a language object: display strings, parameter
// prompts and expression titles, for present, missing and odd entries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/ace_texts.h"

namespace {

using Kvor::AceKind;

const char* const language_text = R"({
  "Actions": [
    { "Title": "Set text to %0", "Parameters": [["Text", "New text"], ["Integer"]] },
    { "Title": 12, "Parameters": "none" },
    { }
  ],
  "Conditions": [
    { "Title": "%0 equals %1", "Parameters": [["Integer", "First"], ["Integer", "Second"]] }
  ],
  "Expressions": [
    { "Title": "Add(", "Parameters": [["Integer", "Left"], ["Integer", "Right"]] },
    { "Title": "Hello" },
    { "Title": "" },
    { },
    { "Title": "((" },
    { "Title": "Sum( " }
  ]
})";

class AceTexts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        size_t length = strlen(language_text);
        char* copy = static_cast<char*>(malloc(length + 1));
        memcpy(copy, language_text, length + 1);
        json_reader_settings settings = {};
        char error[256] = {};
        language = json_read(&settings, copy, length, error, sizeof error);
        ASSERT_NE(language, nullptr) << error;
    }
    static void TearDownTestSuite() {
        json_release(language);
        language = nullptr;
    }
    static json_value* language;
};
json_value* AceTexts::language = nullptr;

struct DisplayCase {
    AceKind kind;
    int32_t code;
    const char* expected;
};

TEST_F(AceTexts, DisplayStringIsTheTitleOrEmpty) {
    const DisplayCase cases[] = {
        {AceKind::action, 0, "Set text to %0"},  // placeholders handed over unchanged
        {AceKind::action, 1, ""},                // a title that is not a string
        {AceKind::action, 2, ""},                // no title
        {AceKind::action, 3, ""},                // beyond the array
        {AceKind::action, -1, ""},
        {AceKind::action, INT16_MIN, ""},
        {AceKind::condition, 0, "%0 equals %1"},
        {AceKind::condition, 1, ""},
        {AceKind::expression, 0, "Add("},
        {AceKind::expression, 1, "Hello"},
    };
    for (const DisplayCase& c : cases)
        EXPECT_STREQ(Kvor::AceDisplayString(*language, c.kind, c.code), c.expected)
            << Kvor::AceKindKey(c.kind) << " " << c.code;
}

struct PromptCase {
    AceKind kind;
    int32_t code;
    int32_t parameter;
    const char* expected;
};

TEST_F(AceTexts, PromptIsTheSecondElementOfTheParameterOrEmpty) {
    const PromptCase cases[] = {
        {AceKind::action, 0, 0, "New text"},
        {AceKind::action, 0, 1, ""},  // a one-element parameter array
        {AceKind::action, 0, 2, ""},  // beyond the parameters
        {AceKind::action, 0, -1, ""},
        {AceKind::action, 1, 0, ""},  // "Parameters" not an array
        {AceKind::action, 2, 0, ""},  // no "Parameters"
        {AceKind::action, -1, 0, ""},
        {AceKind::condition, 0, 0, "First"},
        {AceKind::condition, 0, 1, "Second"},
        {AceKind::condition, 1, 0, ""},
        {AceKind::expression, 0, 1, "Right"},
        {AceKind::expression, 1, 0, ""},
    };
    for (const PromptCase& c : cases)
        EXPECT_STREQ(Kvor::AceParameterPrompt(*language, c.kind, c.code, c.parameter), c.expected)
            << Kvor::AceKindKey(c.kind) << " " << c.code << " " << c.parameter;
}

TEST_F(AceTexts, ExpressionTitleEndsInOneOpeningParenthesis) {
    const std::pair<int32_t, const char*> cases[] = {
        {0, "Add("},                   // already ends with one
        {1, "Hello("}, {2, "("},       // empty title
        {3, "("},                      // no title
        {4, "(("},     {5, "Sum( ("},  // only the very last byte counts
        {6, "("},                      // beyond the array
        {-1, "("},
    };
    for (const auto& [code, expected] : cases)
        EXPECT_EQ(Kvor::ExpressionTitle(*language, code), expected) << code;
}

TEST_F(AceTexts, FamiliesReadTheirOwnArrays) {
    EXPECT_STREQ(Kvor::AceKindKey(AceKind::action), "Actions");
    EXPECT_STREQ(Kvor::AceKindKey(AceKind::condition), "Conditions");
    EXPECT_STREQ(Kvor::AceKindKey(AceKind::expression), "Expressions");
}

TEST(AceTextsWithoutDescription, EverythingIsEmpty) {
    EXPECT_STREQ(Kvor::AceDisplayString(json_none, AceKind::action, 0), "");
    EXPECT_STREQ(Kvor::AceParameterPrompt(json_none, AceKind::condition, 0, 0), "");
    EXPECT_EQ(Kvor::ExpressionTitle(json_none, 0), "(");
}

}  // namespace
