// The editor's texts read from a language object: display strings, parameter
// prompts and expression titles, for present, missing and odd entries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/ace_texts.h"

namespace {

using Kvor::AceFamily;

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

struct DisplayCase { AceFamily family; int32_t code; const char* expected; };

TEST_F(AceTexts, DisplayStringIsTheTitleOrEmpty) {
    const DisplayCase cases[] = {
        {AceFamily::action, 0, "Set text to %0"},      // placeholders handed over unchanged
        {AceFamily::action, 1, ""},                    // a title that is not a string
        {AceFamily::action, 2, ""},                    // no title
        {AceFamily::action, 3, ""},                    // beyond the array
        {AceFamily::action, -1, ""},
        {AceFamily::action, INT16_MIN, ""},
        {AceFamily::condition, 0, "%0 equals %1"},
        {AceFamily::condition, 1, ""},
        {AceFamily::expression, 0, "Add("},
        {AceFamily::expression, 1, "Hello"},
    };
    for (const DisplayCase& c : cases)
        EXPECT_STREQ(Kvor::AceDisplayString(*language, c.family, c.code), c.expected)
            << Kvor::AceFamilyKey(c.family) << " " << c.code;
}

struct PromptCase { AceFamily family; int32_t code; int32_t parameter; const char* expected; };

TEST_F(AceTexts, PromptIsTheSecondElementOfTheParameterOrEmpty) {
    const PromptCase cases[] = {
        {AceFamily::action, 0, 0, "New text"},
        {AceFamily::action, 0, 1, ""},   // a one-element parameter array
        {AceFamily::action, 0, 2, ""},   // beyond the parameters
        {AceFamily::action, 0, -1, ""},
        {AceFamily::action, 1, 0, ""},   // "Parameters" not an array
        {AceFamily::action, 2, 0, ""},   // no "Parameters"
        {AceFamily::action, -1, 0, ""},
        {AceFamily::condition, 0, 0, "First"},
        {AceFamily::condition, 0, 1, "Second"},
        {AceFamily::condition, 1, 0, ""},
        {AceFamily::expression, 0, 1, "Right"},
        {AceFamily::expression, 1, 0, ""},
    };
    for (const PromptCase& c : cases)
        EXPECT_STREQ(Kvor::AceParameterPrompt(*language, c.family, c.code, c.parameter),
                     c.expected)
            << Kvor::AceFamilyKey(c.family) << " " << c.code << " " << c.parameter;
}

TEST_F(AceTexts, ExpressionTitleEndsInOneOpeningParenthesis) {
    const std::pair<int32_t, const char*> cases[] = {
        {0, "Add("},     // already ends with one
        {1, "Hello("},
        {2, "("},        // empty title
        {3, "("},        // no title
        {4, "(("},
        {5, "Sum( ("},   // only the very last byte counts
        {6, "("},        // beyond the array
        {-1, "("},
    };
    for (const auto& [code, expected] : cases)
        EXPECT_EQ(Kvor::ExpressionTitle(*language, code), expected) << code;
}

TEST_F(AceTexts, FamiliesReadTheirOwnArrays) {
    EXPECT_STREQ(Kvor::AceFamilyKey(AceFamily::action), "Actions");
    EXPECT_STREQ(Kvor::AceFamilyKey(AceFamily::condition), "Conditions");
    EXPECT_STREQ(Kvor::AceFamilyKey(AceFamily::expression), "Expressions");
}

TEST(AceTextsWithoutDescription, EverythingIsEmpty) {
    EXPECT_STREQ(Kvor::AceDisplayString(json_none, AceFamily::action, 0), "");
    EXPECT_STREQ(Kvor::AceParameterPrompt(json_none, AceFamily::condition, 0, 0), "");
    EXPECT_EQ(Kvor::ExpressionTitle(json_none, 0), "(");
}

}  // namespace
