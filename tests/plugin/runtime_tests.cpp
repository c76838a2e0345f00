// Running instances through the routine tables the host receives, with the
// simulator playing the host's parameter callbacks, and the debugger items.
#include <cstring>

#include "plugin_fixture.h"

using lumbra_test::PluginCase;
using plenar::sim::Callback;
using plenar::sim::Convention;
using plenar::sim::Interception;

namespace {

class Running : public PluginCase {
protected:
    // Loads the plug-in (with `description` beside it, when given),
    // initialises it and takes its routine tables.
    void Start(const std::string& description = std::string()) {
        if (!description.empty()) folder.write_file(L"Lumbra.json", description);
        PlaceAndLoad();
        ASSERT_EQ(Initialize(), 0);
        memset(&info, 0xAB, sizeof info);
        ASSERT_EQ(plugin->call("GetRunObjectInfos", host.services(), &info).value, 1u);
    }
    plenar::RunObjectHeader* NewInstance() {
        uint32_t size = plugin->call("GetRunObjectDataSize", nullptr, nullptr).number();
        plenar::RunObjectHeader* run = host.run_time().create_run_data(size);
        auto result = plugin->call("CreateRunObject", run, nullptr, nullptr);
        EXPECT_TRUE(result.balanced());
        EXPECT_EQ(result.value, 0u);
        EXPECT_NE(plenar::sim::RunTime::extension_of(run), nullptr);
        return run;
    }
    void Destroy(plenar::RunObjectHeader* run) {
        EXPECT_EQ(plugin->call("DestroyRunObject", run, 0).value, 0u);
        EXPECT_EQ(plenar::sim::RunTime::extension_of(run), nullptr);
    }

    // Calls the routine of `table` for `id` as the host does: the id in the
    // run data, the routine stdcall with the host words.
    plenar::Word Call(const void* const* table, plenar::RunObjectHeader* run, int32_t id,
                      std::initializer_list<plenar::Word> words) {
        run->current_id = id;
        std::vector<plenar::Word> arguments{plenar::sim::word(run)};
        arguments.insert(arguments.end(), words);
        auto result = plenar::sim::checked_call(table[0], arguments, Convention::stdcall);
        EXPECT_TRUE(result.balanced()) << "routine for id " << id;
        return result.value;
    }
    uint32_t Action(plenar::RunObjectHeader* run, int32_t id) {
        return static_cast<uint32_t>(
            Call(reinterpret_cast<const void* const*>(info.actions), run, id, {11, 22}));
    }
    int32_t Condition(plenar::RunObjectHeader* run, int32_t id) {
        return static_cast<int32_t>(
            Call(reinterpret_cast<const void* const*>(info.conditions), run, id, {11, 22}));
    }
    plenar::Word ExpressionCall(plenar::RunObjectHeader* run, int32_t id) {
        return Call(reinterpret_cast<const void* const*>(info.expressions), run, id, {33});
    }
    std::string DebugItem(plenar::RunObjectHeader* run, int32_t id) {
        plenar::wchar buffer[256] = {};
        EXPECT_TRUE(plugin->call("GetDebugItem", buffer, run, id).balanced());
        return plenar::sim::utf8_from_wide(buffer);
    }
    plenar::sim::RunTime& Host() { return host.run_time(); }

    plenar::RunObjectInfo info{};
};

TEST_F(Running, RunObjectInformationDescribesLumbra) {
    Start();
    EXPECT_EQ(info.condition_count, 1);
    EXPECT_EQ(info.action_count, 2);
    EXPECT_EQ(info.expression_count, 2);
    // Two actions, then the table's null end.
    ASSERT_NE(info.actions, nullptr);
    EXPECT_NE(info.actions[0], nullptr);
    EXPECT_EQ(info.actions[0], info.actions[1]);
    EXPECT_EQ(info.actions[2], nullptr);
    EXPECT_EQ(info.conditions[1], nullptr);
    EXPECT_EQ(info.expressions[2], nullptr);
    const std::string source = "https://video.example.org/watch/lumbra";
    EXPECT_EQ(info.edit_data_size, 28 + 1 + source.size() + 1);
    EXPECT_EQ(std::string(info.identifier, 4), "LMBR");
    EXPECT_EQ(info.flags, 0u);
    EXPECT_EQ(info.version, 100);
    EXPECT_EQ(info.reserved_25, 0xAB);  // left as the host set it
    EXPECT_EQ(info.reserved_26, 0);
    EXPECT_EQ(info.reserved_32, 1);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Running, AnActionGetsItsTextAndTheCursorIsRestored) {
    Start();
    auto* run = NewInstance();
    Host().queue_text(L"abc");
    run->parameter_cursor = 7;
    EXPECT_EQ(Action(run, 0), 0u);
    ASSERT_EQ(Host().count(Callback::get_parameter), 1u);
    EXPECT_EQ(Host().calls()[0].type, -1);  // texts are fetched as the host's own kind
    EXPECT_EQ(run->parameter_cursor, 7u);
    EXPECT_EQ(Action(run, 1), 0u);  // no parameters: nothing fetched
    EXPECT_EQ(Host().count(Callback::get_parameter), 1u);
    EXPECT_TRUE(host.faults().empty());
    Destroy(run);
}

TEST_F(Running, ANullTextIsReportedAtEveryCallAndTheMemberSkipped) {
    Start();
    auto* run = NewInstance();
    for (int call = 1; call <= 2; ++call) {
        Host().queue_null_text();
        EXPECT_EQ(Action(run, 0), 0u);
        ASSERT_EQ(Boxes().size(), static_cast<size_t>(call));
        lumbra_test::ExpectShown(Boxes().back(),
                                 lumbra_test::Shown(Kvor::message::null_text_parameter));
    }
    Destroy(run);
}

struct ConditionCase {
    int32_t a, b, expected;
};

TEST_F(Running, TheConditionComparesItsTwoIntegers) {
    Start();
    auto* run = NewInstance();
    for (ConditionCase c : {ConditionCase{5, 5, 1}, {5, 6, 0}, {-1, -1, 1}, {0, INT32_MIN, 0}}) {
        Host().clear_calls();
        Host().queue_parameter(static_cast<uint32_t>(c.a));
        Host().queue_parameter(static_cast<uint32_t>(c.b));
        EXPECT_EQ(Condition(run, 0), c.expected) << c.a << " = " << c.b;
        ASSERT_EQ(Host().count(Callback::get_parameter), 2u);
        EXPECT_EQ(Host().calls()[0].type, 0);
        EXPECT_EQ(Host().calls()[1].type, 0);
    }
    Destroy(run);
}

TEST_F(Running, ExpressionsFetchFirstThenNextAndMarkTextResults) {
    Start();
    auto* run = NewInstance();
    Host().queue_parameter(2);
    Host().queue_parameter(3);
    run->flags = 0;
    EXPECT_EQ(ExpressionCall(run, 0), 5u);
    ASSERT_EQ(Host().calls().size(), 2u);
    EXPECT_EQ(Host().calls()[0].callback, Callback::first_expression_parameter);
    EXPECT_EQ(Host().calls()[1].callback, Callback::next_expression_parameter);
    EXPECT_EQ(Host().calls()[0].argument, 33u);  // the routine's own argument is passed on
    EXPECT_EQ(run->flags, 0);

    Host().queue_parameter(0x7FFFFFFF);
    Host().queue_parameter(1);
    EXPECT_EQ(ExpressionCall(run, 0), 0x80000000u);  // wraps

    auto hello = reinterpret_cast<const plenar::wchar*>(ExpressionCall(run, 1));
    ASSERT_NE(hello, nullptr);
    EXPECT_EQ(plenar::sim::utf8_from_wide(hello), "Hello world!");
    EXPECT_EQ(run->flags & plenar::expression_string_result, plenar::expression_string_result);
    EXPECT_EQ(ExpressionCall(run, 1), reinterpret_cast<uintptr_t>(hello));  // every call
    Destroy(run);
}

TEST_F(Running, IdsWithoutAMemberReachTheFallbacks) {
    // A third action and a second condition the extension does not link.
    Start(R"({"Identifier": "LMBR", "Dependencies": [], "L": {
      "Actions": [{"Parameters": [["Text", "t"]]}, {}, {"Parameters": [["Integer", "n"]]}],
      "Conditions": [{"Parameters": [["Integer", "a"], ["Integer", "b"]]},
                     {"Parameters": [["Integer", "a"]]}],
      "Expressions": [{"Returns": "Integer", "Parameters": [["Integer", "a"], ["Integer", "b"]]},
                      {"Returns": "Text"}]}})");
    EXPECT_TRUE(Boxes().empty());
    auto* run = NewInstance();
    EXPECT_EQ(Action(run, 2), 0u);
    EXPECT_EQ(Condition(run, 1), 0);
    EXPECT_EQ(Action(run, 99), 0u);
    EXPECT_EQ(Condition(run, -1), 0);
    EXPECT_EQ(ExpressionCall(run, 2), 0u);
    EXPECT_EQ(ExpressionCall(run, 32767), 0u);
    EXPECT_EQ(Host().calls().size(), 0u);  // fallbacks fetch nothing
    EXPECT_TRUE(Boxes().empty());
    Destroy(run);
}

TEST_F(Running, AMemberThatDisagreesWithItsDeclarationIsReportedOnceAndLeftUnlinked) {
    // Condition 0 declares one integer; the member takes two.
    Start(R"({"Identifier": "LMBR", "Dependencies": [], "L": {
      "Actions": [{"Parameters": [["Text", "t"]]}, {}],
      "Conditions": [{"Title": "Same?", "Parameters": [["Integer", "a"]]}],
      "Expressions": [{"Returns": "Integer", "Parameters": [["Integer", "a"], ["Integer", "b"]]},
                      {"Returns": "Text"}]}})");
    auto* first = NewInstance();
    ASSERT_EQ(Boxes().size(), 1u);
    lumbra_test::ExpectShown(
        Boxes()[0], lumbra_test::ShownAbout("condition", Kvor::message::link_mismatch, "condition",
                                            0, "Same?", "(integer) giving an integer",
                                            "(integer, integer) giving an integer"));
    auto* second = NewInstance();
    EXPECT_EQ(Boxes().size(), 1u);  // once, not per instance
    Host().queue_parameter(4);
    EXPECT_EQ(Condition(first, 0), 0);  // the fallback: false, nothing fetched
    EXPECT_EQ(Host().count(Callback::get_parameter), 0u);
    Destroy(first);
    Destroy(second);
}

TEST_F(Running, AnExpressionWithTheWrongResultTypeIsNotLinked) {
    // Expression 1 declared as an integer; the member gives a text.
    Start(R"({"Identifier": "LMBR", "Dependencies": [], "L": {
      "Actions": [{"Parameters": [["Text", "t"]]}, {}],
      "Conditions": [{"Parameters": [["Integer", "a"], ["Integer", "b"]]}],
      "Expressions": [{"Returns": "Integer", "Parameters": [["Integer", "a"], ["Integer", "b"]]},
                      {"Title": "Hello(", "Returns": "Integer"}]}})");
    auto* run = NewInstance();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption,
              Kvor::MessageCaption(Kvor::message::link_mismatch, "Lumbra", "expression"));
    EXPECT_EQ(ExpressionCall(run, 1), 0u);
    Destroy(run);
}

TEST_F(Running, NumAutoPropsBeyondTheParametersIsClamped) {
    Start(R"({"Identifier": "LMBR", "Dependencies": [], "L": {
      "Actions": [{"NumAutoProps": 40, "Parameters": [["Text", "t"]]}, {"NumAutoProps": -3}],
      "Conditions": [{"NumAutoProps": 2, "Parameters": [["Integer", "a"], ["Integer", "b"]]}],
      "Expressions": [{"Returns": "Integer", "Parameters": [["Integer", "a"], ["Integer", "b"]]},
                      {"Returns": "Text"}]}})");
    EXPECT_TRUE(Boxes().empty());  // 40 is read as 1, -3 as 0: both agree with the members
    auto* run = NewInstance();
    Host().queue_text(L"x");
    EXPECT_EQ(Action(run, 0), 0u);
    EXPECT_EQ(Host().count(Callback::get_parameter), 1u);
    EXPECT_EQ(Action(run, 1), 0u);
    EXPECT_TRUE(host.faults().empty());
    Destroy(run);
}

TEST_F(Running, TwoInstancesKeepTheirOwnDebugText) {
    Start();
    auto* first = NewInstance();
    auto* second = NewInstance();
    auto tree = reinterpret_cast<const uint16_t*>(plugin->call("GetDebugTree", first).value);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree[0], 0x0080);
    EXPECT_EQ(tree[1], 0xFFFF);
    EXPECT_NE(plugin->call("GetDebugTree", second).value, reinterpret_cast<uintptr_t>(tree));

    // Within the first 500 ms the item has not been read yet.
    EXPECT_EQ(DebugItem(first, 0), "");
    Interception::instance().advance_clock(500);
    EXPECT_EQ(DebugItem(first, 0), "My text is: ");

    Host().queue_edit_answer(1, L"abc");
    EXPECT_TRUE(plugin->call("EditDebugItem", first, 0).balanced());
    EXPECT_EQ(Host().count(Callback::edit_text), 1u);
    Interception::instance().advance_clock(500);
    EXPECT_EQ(DebugItem(first, 0), "My text is: abc");
    EXPECT_EQ(DebugItem(second, 0), "My text is: ");

    Destroy(second);
    Interception::instance().advance_clock(500);
    EXPECT_EQ(DebugItem(first, 0), "My text is: abc");
    Host().queue_parameter(1);
    Host().queue_parameter(1);
    EXPECT_EQ(Condition(first, 0), 1);
    Destroy(first);
}

TEST_F(Running, ACancelledEditChangesNothing) {
    Start();
    auto* run = NewInstance();
    Host().queue_edit_answer(0, L"ignored");
    plugin->call("EditDebugItem", run, 0);
    Interception::instance().advance_clock(500);
    EXPECT_EQ(DebugItem(run, 0), "My text is: ");
    Destroy(run);
}

TEST_F(Running, DebuggerErrorsAreReportedNotThrown) {
    Start();
    auto* run = NewInstance();
    EXPECT_EQ(DebugItem(run, 1), "");
    EXPECT_TRUE(plugin->call("EditDebugItem", run, -1).balanced());
    ASSERT_EQ(Boxes().size(), 2u);
    for (const auto& box : Boxes())
        lumbra_test::ExpectShown(box, lumbra_test::Shown(Kvor::message::debugger_error,
                                                         Kvor::message::debugger_unknown_item));
    Destroy(run);
}

TEST_F(Running, PerFrameCallsAnswerAsTheHostExpects) {
    Start();
    auto* run = NewInstance();
    EXPECT_EQ(plugin->call("HandleRunObject", run).value, 1u);
    EXPECT_EQ(plugin->call("PauseRunObject", run).value, 0u);
    EXPECT_EQ(plugin->call("ContinueRunObject", run).value, 0u);
    EXPECT_EQ(plugin->address("PauseRunObject"), plugin->address("ContinueRunObject"));
    Destroy(run);
    // After destruction nothing is left to call.
    EXPECT_EQ(plugin->call("HandleRunObject", run).value, 0u);
    EXPECT_EQ(plugin->call("GetDebugTree", run).value, 0u);
    EXPECT_EQ(Action(run, 0), 0u);
}

}  // namespace
