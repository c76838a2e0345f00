// The plain converters that fill the host's buffers: always terminated, cut
// at a whole code point, never writing outside the buffer, no trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform_spy.h"
#include "text/converters.h"
#include "text_test_units.h"

namespace {

using Kvor::WideChar;
using Kvor::WideString;
using TextTests::Units;

constexpr WideChar untouched = 0x7777;
constexpr int guard_units = 2;

// The buffer of `length` units and the guard units after it, once the text
// has been copied into it.
WideString CopyInto(const char* text, int length) {
    WideString buffer(std::max(length, 0) + guard_units, untouched);
    WideChar* returned = Kvor::CopyUTF8ToWide(buffer.data(), text, length);
    EXPECT_EQ(returned, buffer.data());
    return buffer;
}

struct CopyCase {
    const char* name;
    const char* text;
    int length;
    WideString expected;  // the text left in the buffer, up to its terminator
};

class CopyUTF8ToWide : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyUTF8ToWide, LeavesATerminatedTextInsideTheBuffer) {
    ASSERT_TRUE(TextTests::StartWatching());
    const int length = GetParam().length;
    const WideString buffer = CopyInto(GetParam().text, length);
    const WideString inside = buffer.substr(0, length);
    ASSERT_NE(inside.find(WideChar(0)), WideString::npos) << "no terminator inside the buffer";
    EXPECT_EQ(WideString(inside.c_str()), GetParam().expected);
    EXPECT_EQ(buffer.substr(length), WideString(guard_units, untouched));
    EXPECT_TRUE(TextTests::SeenDebugPieces().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CopyUTF8ToWide,
    testing::Values(CopyCase{"Empty", "", 3, WideString()},
                    CopyCase{"ExactFit", "abc", 4, Units({'a', 'b', 'c'})},
                    CopyCase{"OneTooSmall", "abc", 3, Units({'a', 'b'})},
                    CopyCase{"MultiByteFits", "\xC3\xA9", 2, Units({0xE9})},
                    CopyCase{"CutBeforeAPair", "a\xF0\x9F\x98\x80", 3, Units({'a'})},
                    CopyCase{"CutAfterAPair", "a\xF0\x9F\x98\x80z", 4,
                             Units({'a', 0xD83D, 0xDE00})},
                    CopyCase{"PairFits", "a\xF0\x9F\x98\x80", 4, Units({'a', 0xD83D, 0xDE00})},
                    CopyCase{"LengthOne", "abc", 1, WideString()},
                    CopyCase{"NullTextIsEmpty", nullptr, 2, WideString()},
                    // The platform drops the terminator after a cut sequence.
                    CopyCase{"CutSequenceStillTerminated", "\xE2", 3, Units({0xFFFD})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CopyUTF8ToWideArguments, NoRoomOrNoDestinationWritesNothing) {
    EXPECT_EQ(CopyInto("abc", 0), WideString(guard_units, untouched));
    EXPECT_EQ(CopyInto("abc", -1), WideString(guard_units, untouched));
    EXPECT_EQ(Kvor::CopyUTF8ToWide(nullptr, "abc", 4), nullptr);
}

TEST(CopyUTF8ToWideArguments, EmptyTextWritesASingleTerminator) {
    EXPECT_EQ(CopyInto("", 3), Units({0, untouched, untouched, untouched, untouched}));
}

WideString NewWide(const char* text) {
    WideChar* converted = Kvor::UTF8ToNewWide(text);
    EXPECT_NE(converted, nullptr);
    WideString copy = converted ? WideString(converted) : WideString();
    std::free(converted);
    return copy;
}

TEST(UTF8ToNewWide, EmptyTextGivesOneTerminatorUnit) {
    WideChar* converted = Kvor::UTF8ToNewWide("");
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(converted[0], 0);
    std::free(converted);
}

TEST(UTF8ToNewWide, ConvertsTheWholeText) {
    EXPECT_EQ(NewWide("d\xC3\xA9p"), Units({'d', 0xE9, 'p'}));
    EXPECT_EQ(NewWide("\xF0\x9F\x98\x80"), Units({0xD83D, 0xDE00}));
}

TEST(UTF8ToNewWide, NullTextIsEmpty) { EXPECT_EQ(NewWide(nullptr), WideString()); }

TEST(UTF8ToNewWide, CutSequenceStillTerminated) {
    EXPECT_EQ(NewWide("a\xF0\x9F"), Units({'a', 0xFFFD}));
}

}  // namespace
