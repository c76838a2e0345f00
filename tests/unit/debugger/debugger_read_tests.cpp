// Reading an item: the refresh period, the length limit, the host's buffer.
#include <climits>
#include <memory>

#include "debugger_fixture.h"

namespace debugger_test {
namespace {

const char* const not_found = Kvor::message::debugger_unknown_item;

TEST_F(DebuggerTest, FirstReadWaitsForThePeriodThenCachesWithinIt) {
    debugger.AddTextItem(Read, Write, 500);
    owner.next_text = u"first";
    At(start + 499);
    EXPECT_EQ(Shown(debugger, 0), u"");
    EXPECT_EQ(owner.reads, 0);

    At(start + 500);
    EXPECT_EQ(Shown(debugger, 0), u"first");
    EXPECT_EQ(owner.reads, 1);

    owner.next_text = u"second";
    At(start + 999);
    EXPECT_EQ(Shown(debugger, 0), u"first");
    EXPECT_EQ(owner.reads, 1);

    At(start + 1000);
    EXPECT_EQ(Shown(debugger, 0), u"second");
    EXPECT_EQ(owner.reads, 2);
}

TEST_F(DebuggerTest, PeriodZeroReadsAtEveryRequest) {
    debugger.AddTextItem(Read, nullptr, 0);
    for (int i = 1; i <= 3; ++i) {
        owner.next_text = WideString(i, u'x');
        EXPECT_EQ(Shown(debugger, 0), owner.next_text);
        EXPECT_EQ(owner.reads, i);
    }
}

TEST_F(DebuggerTest, ItemWithoutReaderKeepsItsText) {
    debugger.AddTextItem(nullptr, nullptr, 0);
    At(start + 100000);
    EXPECT_EQ(Shown(debugger, 0), u"");
}

TEST_F(DebuggerTest, PeriodRunsAcrossTheTickCountWrapping) {
    At(0xFFFFFF00);
    debugger.AddTextItem(Read, nullptr, 0x100 + 0x50);  // due at tick 0x50, after the wrap
    owner.next_text = u"due";
    At(0xFFFFFFFF);
    EXPECT_EQ(Shown(debugger, 0), u"");
    At(0x4F);
    EXPECT_EQ(Shown(debugger, 0), u"");
    At(0x50);
    EXPECT_EQ(Shown(debugger, 0), u"due");
}

TEST_F(DebuggerTest, RefreshTimeLongPassedStillReadsAfterTheWrap) {
    // Read at 0xFFFFFE00, due at 0xFFFFFF00; nobody asks until the clock has
    // wrapped to 0x10. The text is stale and must be read again.
    At(0xFFFFFE00 - 0x100);
    debugger.AddTextItem(Read, nullptr, 0x100);
    owner.next_text = u"old";
    At(0xFFFFFE00);
    ASSERT_EQ(Shown(debugger, 0), u"old");
    owner.next_text = u"new";
    At(0x10);
    EXPECT_EQ(Shown(debugger, 0), u"new");
    EXPECT_EQ(owner.reads, 2);
}

struct LengthCase {
    size_t produced;
    size_t kept;  // characters of the produced text kept
    bool ellipsis;
};

class DebuggerLengthTest : public DebuggerTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(DebuggerLengthTest, LongTextsEndInAnEllipsis) {
    const LengthCase c = GetParam();
    debugger.AddTextItem(Read, nullptr, 0);
    for (size_t i = 0; i < c.produced; ++i) owner.next_text.push_back(u'a' + i % 26);
    WideString expected = owner.next_text.substr(0, c.kept);
    if (c.ellipsis) expected.push_back(u'\u2026');
    EXPECT_EQ(Shown(debugger, 0), expected);
    EXPECT_EQ(debugger.Items()[0].text, expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, DebuggerLengthTest,
                         ::testing::Values(LengthCase{0, 0, false}, LengthCase{254, 254, false},
                                           LengthCase{255, 255, false}, LengthCase{256, 254, true},
                                           LengthCase{300, 254, true},
                                           LengthCase{5000, 254, true}));

TEST_F(DebuggerTest, ReaderTextIsKeptUpToItsFirstNul) {
    debugger.AddTextItem(Read, nullptr, 0);
    owner.next_text = u"visible";
    owner.next_text.push_back(0);
    owner.next_text += WideString(400, u'h');
    EXPECT_EQ(Shown(debugger, 0), u"visible");
    EXPECT_EQ(debugger.Items()[0].text, u"visible");
}

TEST_F(DebuggerTest, CopyNeverPassesTheHostBuffer) {
    // An accepted edit may leave 256 characters; the host's 256-character
    // buffer still gets 255 of them and the terminator.
    struct Host {
        static int32_t FillAll(void*, plenar::EditRecord* record) {
            auto* text = static_cast<WideChar*>(record->text);
            std::fill_n(text, 256, u'w');
            text[256] = 0;
            return 1;
        }
    };
    debugger.AddTextItem(nullptr, Write, 0);
    debugger.EditItem(0, {Host::FillAll, nullptr});
    ASSERT_EQ(debugger.Items()[0].text.size(), 256u);
    auto buffer = std::make_unique<WideChar[]>(Kvor::Debugger::text_buffer_size);
    debugger.GetItem(buffer.get(), 0);
    EXPECT_EQ(WideString(buffer.get()), WideString(255, u'w'));
}

TEST_F(DebuggerTest, IdsOutsideTheListAreNotFound) {
    debugger.AddTextItem(Read, Write, 0);
    for (int32_t id : {-1, 1, 2, 127, INT32_MAX, INT32_MIN}) {
        WideChar buffer[Kvor::Debugger::text_buffer_size] = {u'k', 0};
        try {
            debugger.GetItem(buffer, id);
            ADD_FAILURE() << "GetItem found id " << id;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), not_found) << "id " << id;
        }
        EXPECT_EQ(buffer[0], u'k') << "buffer written for id " << id;
        try {
            debugger.EditItem(id, {nullptr, nullptr});
            ADD_FAILURE() << "EditItem found id " << id;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), not_found) << "id " << id;
        }
    }
    EXPECT_EQ(owner.reads, 0);
}

}  // namespace
}  // namespace debugger_test
