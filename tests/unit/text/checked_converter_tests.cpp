// The checked string converters: their results, their five-piece traces and
// the assertion reports that end the process when the contract is broken.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform_spy.h"
#include "text/converters.h"
#include "text_test_units.h"

namespace {

using Kvor::WideString;
using TextTests::SeenDebugPiece;
using TextTests::Units;

class CheckedConverter : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TextTests::StartWatching()); }
};

std::vector<SeenDebugPiece> Trace(const char* prefix, bool input_wide, std::string input,
                                  std::string output) {
    return {{true, prefix},
            {input_wide, input},
            {true, "] to ["},
            {!input_wide, output},
            {true, "]\n"}};
}

template <typename Piece>
std::vector<Piece> Joined(std::vector<Piece> first, const std::vector<Piece>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST_F(CheckedConverter, UTF8ToWideOfTwoBytesGivesOneUnitAndItsTrace) {
    EXPECT_EQ(Kvor::UTF8ToWide("\xC3\xA9"), Units({0xE9}));
    EXPECT_EQ(TextTests::SeenDebugPieces(),
              Trace("Converted UTF8 To Wide: [", false, "\xC3\xA9", "\xC3\xA9"));
}

TEST_F(CheckedConverter, UTF8ToWideReplacesInvalidSequences) {
    EXPECT_EQ(Kvor::UTF8ToWide("a\x80"
                               "b\xED\xA0\x80"),
              Units({'a', 0xFFFD, 'b', 0xFFFD, 0xFFFD}));
}

TEST_F(CheckedConverter, ANSIToWideReadsWindows1252AndTraces) {
    EXPECT_EQ(Kvor::ANSIToWide("\x80\xE9"), Units({0x20AC, 0xE9}));
    EXPECT_EQ(TextTests::SeenDebugPieces(),
              Trace("Converted ANSI To Wide: [", false, "\x80\xE9", "\xE2\x82\xAC\xC3\xA9"));
}

TEST_F(CheckedConverter, WideToUTF8TracesWideInputAndNarrowOutput) {
    EXPECT_EQ(Kvor::WideToUTF8(Units({'x', 0xE9})), "x\xC3\xA9");
    EXPECT_EQ(TextTests::SeenDebugPieces(),
              Trace("Converted Wide To UTF8: [", true, "x\xC3\xA9", "x\xC3\xA9"));
}

TEST_F(CheckedConverter, WideToUTF8ReplacesUnpairedSurrogates) {
    EXPECT_EQ(Kvor::WideToUTF8(Units({0xDC00, 'a', 0xD800})),
              "\xEF\xBF\xBD"
              "a\xEF\xBF\xBD");
    EXPECT_EQ(Kvor::WideToUTF8(Units({0xD83D, 0xDE00})), "\xF0\x9F\x98\x80");
}

TEST_F(CheckedConverter, EmptyInputGivesEmptyOutputAndNoTrace) {
    EXPECT_EQ(Kvor::UTF8ToWide(""), WideString());
    EXPECT_EQ(Kvor::ANSIToWide(""), WideString());
    EXPECT_EQ(Kvor::WideToUTF8(WideString()), "");
    EXPECT_TRUE(TextTests::SeenDebugPieces().empty());
}

TEST_F(CheckedConverter, ANSIToUTF8WritesBothTracesInOrder) {
    EXPECT_EQ(Kvor::ANSIToUTF8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(TextTests::SeenDebugPieces(),
              Joined(Trace("Converted ANSI To Wide: [", false, "caf\xE9", "caf\xC3\xA9"),
                     Trace("Converted Wide To UTF8: [", true, "caf\xC3\xA9", "caf\xC3\xA9")));
}

TEST_F(CheckedConverter, TextToUTF8IsWideToUTF8) {
    EXPECT_EQ(Kvor::TextToUTF8(Units({0x20AC})), "\xE2\x82\xAC");
    EXPECT_EQ(TextTests::SeenDebugPieces(),
              Trace("Converted Wide To UTF8: [", true, "\xE2\x82\xAC", "\xE2\x82\xAC"));
}

TEST_F(CheckedConverter, UTF8ToTextWithoutFlagConvertsAsUTF8ToWide) {
    EXPECT_EQ(Kvor::UTF8ToText("\xC3\xA9"), Units({0xE9}));
    EXPECT_EQ(TextTests::SeenDebugPieces(),
              Trace("Converted UTF8 To Wide: [", false, "\xC3\xA9", "\xC3\xA9"));
}

TEST_F(CheckedConverter, UTF8ToTextSetsTheFlagEvenForEmptyInput) {
    bool success = false;
    EXPECT_EQ(Kvor::UTF8ToText("", &success), WideString());
    EXPECT_TRUE(success);
    success = false;
    EXPECT_EQ(Kvor::UTF8ToText("ok", &success), Units({'o', 'k'}));
    EXPECT_TRUE(success);
}

using CheckedConverterDeathTest = CheckedConverter;

// The runtime's report names the expression, the file and the line.
auto AssertionReport(const char* expression, const char* line) {
    return testing::AllOf(testing::HasSubstr(expression),
                          testing::HasSubstr("lib\\shared\\tovrandi"), testing::HasSubstr(line));
}

TEST_F(CheckedConverterDeathTest, UTF8InputEndingInNulEndsTheProcess) {
    EXPECT_DEATH(Kvor::UTF8ToWide(std::string("a\0", 2)),
                 AssertionReport("input.back() != '\\0' && \"Input ends with null.\"", "741"));
}

TEST_F(CheckedConverterDeathTest, ANSIInputEndingInNulEndsTheProcess) {
    EXPECT_DEATH(Kvor::ANSIToWide(std::string("a\0", 2)),
                 AssertionReport("input.back() != '\\0' && \"Input ends with null.\"", "697"));
}

TEST_F(CheckedConverterDeathTest, WideInputEndingInNulEndsTheProcess) {
    EXPECT_DEATH(Kvor::WideToUTF8(Units({'a', 0})),
                 AssertionReport("input.back() != L'\\0' && \"Input ends with null.\"", "817"));
}

}  // namespace
