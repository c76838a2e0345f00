// The plug-in's message boxes, debugger output and clock go to the simulator
// through its patched import table.
#include "fake_plugin_fixture.h"

using namespace plenar::sim;

namespace {

using InterceptionTest = FakePluginTest;

TEST_F(InterceptionTest, PatchesEveryInterceptedImport) {
    // MessageBoxA/W, OutputDebugStringA/W and GetTickCount.
    EXPECT_EQ(plugin->patched_imports(), 5);
    EXPECT_EQ(intercepted.patch(plugin->module()), 0);  // already done
}

TEST_F(InterceptionTest, TheHeapIsCountedAndRefusedOnlyWhenAsked) {
    EXPECT_GT(intercepted.patch_heap(plugin->module()), 0);
    EXPECT_EQ(intercepted.patch_heap(plugin->module()), 0);  // already done
    const size_t before = intercepted.heap_requests();
    intercepted.refuse_heap_request(2);
    EXPECT_EQ(plugin->call("FakeAllocate", 16).value, 1u);
    EXPECT_EQ(plugin->call("FakeAllocate", 16).value, 0u);
    EXPECT_EQ(plugin->call("FakeAllocate", 16).value, 1u);  // only that one
    EXPECT_EQ(intercepted.heap_requests(), before + 3);
    intercepted.refuse_heap_request(1);
    intercepted.refuse_heap_request(0);
    EXPECT_EQ(plugin->call("FakeAllocate", 16).value, 1u);
    intercepted.refuse_heap_request(1);
    intercepted.clear();  // refuses none again
    EXPECT_EQ(plugin->call("FakeAllocate", 16).value, 1u);
}

TEST_F(InterceptionTest, RecordsMessageBoxAWithoutShowingIt) {
    const CallResult result =
        plugin->call("FakeMessageBoxA", 0x1234, "Hello there", "Caption A", 48);
    EXPECT_EQ(result.value, 1u);  // IDOK
    ASSERT_EQ(intercepted.message_boxes().size(), 1u);
    const MessageBoxCall& box = intercepted.message_boxes()[0];
    EXPECT_EQ(box.text, "Hello there");
    EXPECT_EQ(box.caption, "Caption A");
    EXPECT_EQ(box.style, 48u);
    EXPECT_EQ(box.owner, 0x1234u);
    EXPECT_FALSE(box.wide);
}

TEST_F(InterceptionTest, RecordsMessageBoxWAsUtf8) {
    plugin->call("FakeMessageBoxW", nullptr, L"Gr\u00fc\u00dfe \u65e5\u672c", L"Tovrandi - Error",
                 16);
    ASSERT_EQ(intercepted.message_boxes().size(), 1u);
    const MessageBoxCall& box = intercepted.message_boxes()[0];
    EXPECT_EQ(box.text,
              "Gr\xc3\xbc\xc3\x9f"
              "e \xe6\x97\xa5\xe6\x9c\xac");
    EXPECT_EQ(box.caption, "Tovrandi - Error");
    EXPECT_EQ(box.style, 16u);
    EXPECT_EQ(box.owner, 0u);
    EXPECT_TRUE(box.wide);
}

TEST_F(InterceptionTest, NullCaptionAndChosenAnswer) {
    intercepted.set_message_box_answer(7);  // IDNO
    EXPECT_EQ(plugin->call("FakeMessageBoxW", nullptr, L"text", nullptr, 4).value, 7u);
    EXPECT_EQ(intercepted.message_boxes().at(0).caption, "");
}

TEST_F(InterceptionTest, RecordsDebuggerOutputInOrder) {
    plugin->call("FakeDebugA", "narrow line");
    plugin->call("FakeDebugW", L"wide line \u00e9");
    ASSERT_EQ(intercepted.debug_output().size(), 2u);
    EXPECT_EQ(intercepted.debug_output()[0].text, "narrow line");
    EXPECT_FALSE(intercepted.debug_output()[0].wide);
    EXPECT_EQ(intercepted.debug_output()[1].text, "wide line \xc3\xa9");
    EXPECT_TRUE(intercepted.debug_output()[1].wide);
}

TEST_F(InterceptionTest, ControlsTheClock) {
    EXPECT_EQ(plugin->call("FakeTickCount").value, Interception::clock_start);
    intercepted.set_tick_count(5000);
    EXPECT_EQ(plugin->call("FakeTickCount").value, 5000u);
    intercepted.advance_clock(250);
    EXPECT_EQ(plugin->call("FakeTickCount").value, 5250u);
    intercepted.set_clock_step(10);
    EXPECT_EQ(plugin->call("FakeTickCount").value, 5250u);
    EXPECT_EQ(plugin->call("FakeTickCount").value, 5260u);
    EXPECT_EQ(intercepted.tick_count_calls(), 5u);
}

TEST_F(InterceptionTest, ClearForgetsCallsAndResetsTheClock) {
    plugin->call("FakeDebugA", "x");
    plugin->call("FakeMessageBoxA", 0, "x", "y", 0);
    intercepted.set_tick_count(1);
    intercepted.clear();
    EXPECT_TRUE(intercepted.debug_output().empty());
    EXPECT_TRUE(intercepted.message_boxes().empty());
    EXPECT_EQ(intercepted.tick_count(), Interception::clock_start);
}

}  // namespace
