// Errors out of the debugger exports become error boxes, never exceptions.
#include "debugger_fixture.h"

namespace debugger_test {
namespace {

class ReportDebuggerErrorsTest : public DebuggerTest {
protected:
    void SetUp() override {
        DebuggerTest::SetUp();
        Kvor::Platform::ClearRecords();
    }
    void ExpectOneErrorBox(const std::string& text) {
        const auto& boxes = Kvor::Platform::RecordedBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, Kvor::message::debugger_error.caption);
        EXPECT_EQ(boxes[0].style, Kvor::message::debugger_error.style);
    }
};

TEST_F(ReportDebuggerErrorsTest, RunsTheCallWithoutABoxWhenAllIsWell) {
    debugger.AddTextItem(Read, nullptr, 0);
    owner.next_text = u"ok";
    WideChar buffer[Kvor::Debugger::text_buffer_size];
    Kvor::ReportDebuggerErrors([&] { debugger.GetItem(buffer, 0); });
    EXPECT_EQ(WideString(buffer), u"ok");
    EXPECT_TRUE(Kvor::Platform::RecordedBoxes().empty());
}

TEST_F(ReportDebuggerErrorsTest, DebuggerErrorIsShown) {
    WideChar buffer[Kvor::Debugger::text_buffer_size];
    EXPECT_NO_THROW(Kvor::ReportDebuggerErrors([&] { debugger.GetItem(buffer, 0); }));
    ExpectOneErrorBox(Kvor::message::debugger_unknown_item);
}

TEST_F(ReportDebuggerErrorsTest, OtherStandardErrorsAreShownToo) {
    EXPECT_NO_THROW(Kvor::ReportDebuggerErrors([] { throw std::logic_error("reader broke"); }));
    ExpectOneErrorBox("reader broke");
}

TEST_F(ReportDebuggerErrorsTest, AnythingElseIsStoppedWithAGeneralMessage) {
    EXPECT_NO_THROW(Kvor::ReportDebuggerErrors([] { throw 42; }));
    ExpectOneErrorBox(Kvor::message::debugger_unknown_error);
}

}  // namespace
}  // namespace debugger_test
