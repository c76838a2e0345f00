// Editing an item through a stand-in for the host's text edit dialog.
#include "debugger_fixture.h"

namespace debugger_test {
namespace {

// Records what the debugger hands over, then types `typed` over the text in
// place (terminated) and answers `answer`.
struct FakeHost {
    int32_t answer = 1;
    WideString typed;
    int calls = 0;
    plenar::EditRecord seen{};
    WideString offered;

    static int32_t Edit(void* context, plenar::EditRecord* record) {
        auto* self = static_cast<FakeHost*>(context);
        ++self->calls;
        self->seen = *record;
        auto* text = static_cast<WideChar*>(record->text);
        self->offered.assign(text, record->length);
        std::copy(self->typed.begin(), self->typed.end(), text);
        text[self->typed.size()] = 0;
        return self->answer;
    }
    Kvor::EditText Dialog() { return {Edit, this}; }
};

class DebuggerEditTest : public DebuggerTest {
protected:
    void SetUp() override {
        DebuggerTest::SetUp();
        debugger.AddTextItem(Read, Write, 500);
        owner.next_text = u"old text";
        At(start + 500);
        ASSERT_EQ(Shown(debugger, 0), u"old text");
        owner.next_text = u"fresh read";
    }
    FakeHost host;
};

TEST_F(DebuggerEditTest, HostGetsTheTextInAZeroedRecord) {
    host.answer = 0;
    debugger.EditItem(0, host.Dialog());
    ASSERT_EQ(host.calls, 1);
    EXPECT_EQ(host.seen.reserved[0], 0u);
    EXPECT_EQ(host.seen.reserved[1], 0u);
    EXPECT_EQ(host.seen.length, 8u);
    EXPECT_EQ(host.offered, u"old text");
}

TEST_F(DebuggerEditTest, ConfirmedEditIsHandedToTheWriterAndKept) {
    host.typed = u"typed";
    debugger.EditItem(0, host.Dialog());
    EXPECT_EQ(owner.writes, 1);
    EXPECT_EQ(owner.written, u"typed");
    EXPECT_EQ(debugger.Items()[0].text, u"typed");
    // Still within the period: the edited text is shown without a read.
    EXPECT_EQ(Shown(debugger, 0), u"typed");
    EXPECT_EQ(owner.reads, 1);
}

TEST_F(DebuggerEditTest, RefusedEditRestoresTheTextAndForcesAFreshRead) {
    owner.accept = false;
    host.typed = u"rejected";
    debugger.EditItem(0, host.Dialog());
    EXPECT_EQ(owner.writes, 1);
    EXPECT_EQ(owner.written, u"rejected");
    EXPECT_EQ(debugger.Items()[0].text, u"old text");
    EXPECT_EQ(Shown(debugger, 0), u"fresh read");
    EXPECT_EQ(owner.reads, 2);
    // The fresh read starts a new period.
    owner.next_text = u"later";
    At(start + 999);
    EXPECT_EQ(Shown(debugger, 0), u"fresh read");
}

TEST_F(DebuggerEditTest, AnyAnswerButOneChangesNothing) {
    for (int32_t answer : {0, 2, -1}) {
        host.answer = answer;
        host.typed = u"cancelled";
        debugger.EditItem(0, host.Dialog());
        EXPECT_EQ(owner.writes, 0) << "answer " << answer;
        EXPECT_EQ(debugger.Items()[0].text, u"old text") << "answer " << answer;
    }
    EXPECT_EQ(Shown(debugger, 0), u"old text");
}

TEST_F(DebuggerEditTest, HostMayWriteAFullBufferOverAShortText) {
    host.typed = WideString(256, u'z');
    debugger.EditItem(0, host.Dialog());
    EXPECT_EQ(owner.written, host.typed);
}

TEST_F(DebuggerEditTest, TextIsOfferedUpToItsFirstNul) {
    // A writer that leaves a NUL inside the text it accepts.
    struct Padding {
        static bool Write(void*, WideString& text) {
            text += WideString(1, 0) + u"hidden";
            return true;
        }
    };
    debugger.AddTextItem(nullptr, Padding::Write, 0);
    host.typed = u"shown";
    debugger.EditItem(1, host.Dialog());
    host.answer = 0;
    debugger.EditItem(1, host.Dialog());
    EXPECT_EQ(host.seen.length, 5u);
    EXPECT_EQ(host.offered, u"shown");
}

TEST_F(DebuggerEditTest, HostTextIsTakenUpToItsFirstNul) {
    struct Host {
        static int32_t Edit(void*, plenar::EditRecord* record) {
            auto* text = static_cast<WideChar*>(record->text);
            const WideString typed(u"ab\0cd", 5);
            std::copy(typed.begin(), typed.end(), text);
            return 1;
        }
    };
    debugger.EditItem(0, {Host::Edit, nullptr});
    EXPECT_EQ(owner.written, u"ab");
}

TEST_F(DebuggerEditTest, ItemWithoutWriterIsNotEditable) {
    debugger.AddTextItem(Read, nullptr, 0);
    try {
        debugger.EditItem(1, host.Dialog());
        FAIL() << "edited an item without a writer";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), Kvor::message::debugger_item_not_editable);
    }
    EXPECT_EQ(host.calls, 0);
}

}  // namespace
}  // namespace debugger_test
