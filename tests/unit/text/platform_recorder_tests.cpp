// The native platform stand-in's own records: what tests of every other
// module rely on when they read boxes, debugger output and the clock.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/platform_recorder.h"

namespace {

namespace Platform = Kvor::Platform;

TEST(PlatformRecorder, KeepsBoxesInOrderWithWideTextsInUTF8) {
    Platform::ClearRecords();
    EXPECT_EQ(Platform::MessageBoxNarrow("caf\xE9", "Tovrandi error", 16), -1);
    Platform::MessageBoxWide(u"caf\u00E9 \U0001F600", u"Lumbra - Error", 48);
    Platform::MessageBoxNarrow(nullptr, nullptr, 0);
    const auto& boxes = Platform::RecordedBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_FALSE(boxes[0].wide);
    EXPECT_EQ(boxes[0].text, "caf\xE9");
    EXPECT_EQ(boxes[0].style, 16u);
    EXPECT_TRUE(boxes[1].wide);
    EXPECT_EQ(boxes[1].text, "caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(boxes[1].caption, "Lumbra - Error");
    EXPECT_EQ(boxes[1].style, 48u);
    EXPECT_EQ(boxes[2].text, "");
    EXPECT_EQ(boxes[2].caption, "");
}

TEST(PlatformRecorder, JoinsDebugOutputAndKeepsItsPieces) {
    Platform::ClearRecords();
    Platform::DebugOutputWide(u"[");
    Platform::DebugOutputNarrow("\xC3\xA9");
    Platform::DebugOutputWide(u"]\n");
    EXPECT_EQ(Platform::RecordedDebugOutput(), "[\xC3\xA9]\n");
    ASSERT_EQ(Platform::RecordedDebugPieces().size(), 3u);
    EXPECT_TRUE(Platform::RecordedDebugPieces()[0].wide);
    EXPECT_FALSE(Platform::RecordedDebugPieces()[1].wide);

    Platform::ClearRecords();
    EXPECT_TRUE(Platform::RecordedBoxes().empty());
    EXPECT_EQ(Platform::RecordedDebugOutput(), "");
    EXPECT_TRUE(Platform::RecordedDebugPieces().empty());
}

TEST(PlatformRecorder, ClockReadsWhatWasSet) {
    Platform::SetTickCount(1234);
    EXPECT_EQ(Platform::TickCount(), 1234u);
    Platform::SetTickCount(0xFFFFFFFFu);
    EXPECT_EQ(Platform::TickCount(), 0xFFFFFFFFu);
    Platform::ClearRecords();
    EXPECT_EQ(Platform::TickCount(), 0xFFFFFFFFu);
}

}  // namespace
