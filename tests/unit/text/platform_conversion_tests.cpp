// The platform's code-page conversions with flags 0. The same table runs in
// both builds: under Wine it pins what Windows' conversions give, natively it
// holds the stand-in to exactly the same units.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "text_test_units.h"

namespace {

using Kvor::WideChar;
using Kvor::WideString;
using TextTests::Units;
namespace Platform = Kvor::Platform;

// Converts with an explicit source length (or -1) after asking for the size.
WideString ToWide(uint32_t code_page, const std::string& bytes, bool terminated = false) {
    const int source_length = terminated ? -1 : int(bytes.size());
    const int needed =
        Platform::MultiByteToWide(code_page, bytes.c_str(), source_length, nullptr, 0);
    WideString converted(needed, 0x7777);
    const int written = Platform::MultiByteToWide(code_page, bytes.c_str(), source_length,
                                                  converted.data(), needed);
    EXPECT_EQ(written, needed);
    return converted;
}

std::string ToMultiByte(uint32_t code_page, const WideString& units) {
    const int needed =
        Platform::WideToMultiByte(code_page, units.data(), int(units.size()), nullptr, 0);
    std::string converted(needed, '\x77');
    const int written = Platform::WideToMultiByte(code_page, units.data(), int(units.size()),
                                                  converted.data(), needed);
    EXPECT_EQ(written, needed);
    return converted;
}

struct UTF8Case {
    const char* name;
    std::string bytes;
    WideString expected;
};

class UTF8ToUTF16 : public testing::TestWithParam<UTF8Case> {};

TEST_P(UTF8ToUTF16, GivesTheUnitsOfWindows) {
    EXPECT_EQ(ToWide(Platform::code_page_utf8, GetParam().bytes), GetParam().expected);
}

constexpr unsigned bad = 0xFFFD;

INSTANTIATE_TEST_SUITE_P(
    Table, UTF8ToUTF16,
    testing::Values(
        UTF8Case{"TwoBytes", "\xC3\xA9", Units({0xE9})},
        UTF8Case{"FourBytesMakeAPair", "\xF0\x9F\x98\x80", Units({0xD83D, 0xDE00})},
        UTF8Case{"HighestCodePoint", "\xF4\x8F\xBF\xBF", Units({0xDBFF, 0xDFFF})},
        UTF8Case{"ByteOrderMarkKept",
                 "\xEF\xBB\xBF"
                 "a",
                 Units({0xFEFF, 'a'})},
        UTF8Case{"StrayContinuation", "a\x80z", Units({'a', bad, 'z'})},
        UTF8Case{"EachStrayContinuation", "\x80\x80\x80", Units({bad, bad, bad})},
        UTF8Case{"InvalidByte", "\xFF", Units({bad})},
        UTF8Case{"InvalidLeads", "\xFE\xFF", Units({bad, bad})},
        UTF8Case{"BrokenBeforeAnAsciiByte", "\xC3z", Units({bad, 'z'})},
        UTF8Case{"ThreeBytesBrokenAtTheLast", "\xE2\x82z", Units({bad, 'z'})},
        UTF8Case{"FourBytesBrokenAtTheLast", "\xF0\x9F\x98z", Units({bad, 'z'})},
        UTF8Case{"BrokenAtTheFirstContinuation", "\xE2\x28\xA1", Units({bad, '(', bad})},
        UTF8Case{"TwoByteOverlong", "\xC0\xAF", Units({bad, bad})},
        UTF8Case{"ThreeByteOverlong", "\xE0\x80\xAF", Units({bad, bad})},
        UTF8Case{"ThreeByteOverlongHighest", "\xE0\x9F\xBF", Units({bad, bad})},
        UTF8Case{"FourByteOverlong", "\xF0\x80\x80\x80", Units({bad, bad, bad})},
        UTF8Case{"EncodedSurrogate", "\xED\xA0\x80", Units({bad, bad})},
        UTF8Case{"EncodedSurrogatePair", "\xED\xA0\xBD\xED\xB8\x80", Units({bad, bad, bad, bad})},
        UTF8Case{"BeyondTheLastCodePoint", "\xF4\x90\x80\x80", Units({bad, bad, bad})},
        UTF8Case{"LeadBeyondF4", "\xF5\x80\x80\x80", Units({bad, bad, bad, bad})},
        UTF8Case{"FiveByteForm", "\xF8\x88\x80\x80\x80", Units({bad, bad, bad, bad, bad})},
        UTF8Case{"CutAtTheEnd", "\xC3\xA9\xC3", Units({0xE9, bad})},
        UTF8Case{"CutFourBytesAtTheEnd", "\xF0\x9F\x98", Units({bad})},
        // A sequence whose length runs past the end takes the rest with it.
        UTF8Case{"CutSequenceSwallowsTheRest", "\xE2z", Units({bad})},
        UTF8Case{"CutFourByteSwallowsTheRest", "\xF0zz", Units({bad})},
        UTF8Case{"EmbeddedNul", std::string("a\0b", 3), Units({'a', 0, 'b'})},
        UTF8Case{"NulEndsABrokenSequence", std::string("\xF0\x9F\x98\0A", 5),
                 Units({bad, 0, 'A'})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UTF8ToUTF16Terminated, CountsTheTerminator) {
    EXPECT_EQ(ToWide(Platform::code_page_utf8, "a\xC3\xA9", true), Units({'a', 0xE9, 0}));
    EXPECT_EQ(ToWide(Platform::code_page_utf8, "a\xC3", true), Units({'a', bad, 0}));
}

TEST(UTF8ToUTF16Terminated, ACutSequenceSwallowsTheTerminator) {
    EXPECT_EQ(ToWide(Platform::code_page_utf8, "\xE2", true), Units({bad}));
    EXPECT_EQ(ToWide(Platform::code_page_utf8, "\xF0\x9F", true), Units({bad}));
}

TEST(UTF8ToUTF16Destination, TooSmallWritesWhatFitsAndFails) {
    WideString buffer(8, 0x7777);
    EXPECT_EQ(Platform::MultiByteToWide(Platform::code_page_utf8, "abcdef", -1, buffer.data(), 3),
              0);
    EXPECT_EQ(buffer, Units({'a', 'b', 'c', 0x7777, 0x7777, 0x7777, 0x7777, 0x7777}));
}

TEST(UTF8ToUTF16Destination, TooSmallCanSplitAPair) {
    WideString buffer(4, 0x7777);
    EXPECT_EQ(Platform::MultiByteToWide(Platform::code_page_utf8, "a\xF0\x9F\x98\x80z", -1,
                                        buffer.data(), 2),
              0);
    EXPECT_EQ(buffer, Units({'a', 0xD83D, 0x7777, 0x7777}));
}

TEST(UTF8ToUTF16Arguments, InvalidOnesFail) {
    WideChar buffer[4];
    EXPECT_EQ(Platform::MultiByteToWide(Platform::code_page_utf8, "", 0, buffer, 4), 0);
    EXPECT_EQ(Platform::MultiByteToWide(Platform::code_page_utf8, nullptr, 2, nullptr, 0), 0);
    EXPECT_EQ(Platform::MultiByteToWide(Platform::code_page_utf8, "ab", 2, nullptr, 5), 0);
    EXPECT_EQ(Platform::MultiByteToWide(Platform::code_page_utf8, "ab", 2, buffer, -1), 0);
}

struct UTF16Case {
    const char* name;
    WideString units;
    std::string expected;
};

class UTF16ToUTF8 : public testing::TestWithParam<UTF16Case> {};

TEST_P(UTF16ToUTF8, GivesTheBytesOfWindows) {
    EXPECT_EQ(ToMultiByte(Platform::code_page_utf8, GetParam().units), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UTF16ToUTF8,
    testing::Values(UTF16Case{"Ascii", Units({'a', 'b'}), "ab"},
                    UTF16Case{"TwoBytes", Units({0xE9}), "\xC3\xA9"},
                    UTF16Case{"ThreeBytes", Units({0x20AC}), "\xE2\x82\xAC"},
                    UTF16Case{"Pair", Units({0xD83D, 0xDE00}), "\xF0\x9F\x98\x80"},
                    UTF16Case{"LoneHigh", Units({0xD800}), "\xEF\xBF\xBD"},
                    UTF16Case{"LoneLow", Units({0xDC00}), "\xEF\xBF\xBD"},
                    UTF16Case{"HighBeforeAscii", Units({0xD800, 'a'}),
                              "\xEF\xBF\xBD"
                              "a"},
                    UTF16Case{"LowBeforeHigh", Units({0xDC00, 0xD800}), "\xEF\xBF\xBD\xEF\xBF\xBD"},
                    UTF16Case{"HighAtTheEnd", Units({'a', 0xD83D}), "a\xEF\xBF\xBD"},
                    UTF16Case{"NoncharactersKept", Units({0xFFFF, 0xFFFE, 0xFDD0}),
                              "\xEF\xBF\xBF\xEF\xBF\xBE\xEF\xB7\x90"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UTF16ToUTF8Destination, TooSmallWritesWholeCharactersOnly) {
    const WideString text = Units({'a', 0xE9, 'b', 0});
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), '\x77');
    EXPECT_EQ(Platform::WideToMultiByte(Platform::code_page_utf8, text.c_str(), -1, buffer, 2), 0);
    EXPECT_EQ(std::string(buffer, 3), "a\x77\x77");
}

TEST(ANSICodePage, IsWindows1252) {
    EXPECT_EQ(ToWide(Platform::code_page_ansi, "\x80\x81\x8D\x8F\x90\x9D\x9F\xA0\xE9\xFF"),
              Units({0x20AC, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x178, 0xA0, 0xE9, 0xFF}));
    EXPECT_EQ(ToWide(Platform::code_page_ansi, "\x82\x8A\x8C\x99\x9C"),
              Units({0x201A, 0x160, 0x152, 0x2122, 0x153}));
}

TEST(ANSICodePage, BackFromWideAndUnmappableToQuestionMark) {
    EXPECT_EQ(ToMultiByte(Platform::code_page_ansi, Units({0x20AC, 0x81, 0xE9, 0x178})),
              "\x80\x81\xE9\x9F");
    EXPECT_EQ(ToMultiByte(Platform::code_page_ansi, Units({0xD800, 0x4E2D})), "??");
}

}  // namespace
