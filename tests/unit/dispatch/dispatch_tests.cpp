// Dispatch of actions, conditions and expressions to typed members, natively
// under the sanitizers: a host-shaped run header whose callbacks hand out
// queued values, and an extension whose members record their arguments.
#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "runtime/dispatch.h"
#include "records/ace_records.h"
#include "kvor/messages.h"
#include "platform/platform_recorder.h"
#include "sdk.h"

namespace {

// The host side of one test: queued parameter words and every fetch seen.
struct FakeHost {
    std::deque<plenar::Word> parameters;
    std::vector<std::pair<char, int32_t>> fetches;  // callback ('p', 'f', 'n') and type
    std::vector<std::u16string> strings;
};
FakeHost* fake = nullptr;

plenar::Word Next(char callback, int32_t type) {
    fake->fetches.emplace_back(callback, type);
    if (fake->parameters.empty()) return 0;
    plenar::Word word = fake->parameters.front();
    fake->parameters.pop_front();
    return word;
}
plenar::Word PLENAR_STDCALL GetParameter(plenar::RunObjectHeader* run, int32_t type, int32_t) {
    ++run->parameter_cursor;
    return Next('p', type);
}
plenar::Word PLENAR_STDCALL First(plenar::RunObjectHeader*, int32_t type, plenar::Word) { return Next('f', type); }
plenar::Word PLENAR_STDCALL NextExpression(plenar::RunObjectHeader*, int32_t type, plenar::Word) {
    return Next('n', type);
}
void* PLENAR_STDCALL AllocateString(plenar::RunObjectHeader*, int32_t, uint32_t bytes) {
    fake->strings.emplace_back(bytes / 2, u'\0');
    return fake->strings.back().data();
}

struct Recorder {
    std::vector<std::string> calls;
};

class TestExtension {
public:
    explicit TestExtension(plenar::RunObjectHeader* run) : Runtime(run) {}
    Kvor::Runtime Runtime;
    Recorder record;

    void Scale(float factor) { record.calls.push_back("Scale " + std::to_string(factor)); }
    void Nothing() { record.calls.push_back("Nothing"); }
    void Named(const Kvor::WideChar* name, int32_t count) {
        std::string text;
        for (; *name; ++name) text += static_cast<char>(*name);
        record.calls.push_back("Named " + text + " " + std::to_string(count));
    }
    int32_t Returns256() { return 256; }
    int32_t Returns255() { return 255; }
    float Half(float value) { return value / 2; }
    const Kvor::WideChar* Echo(const Kvor::WideChar* text) { return Runtime.CopyString(text); }
    int32_t Mixed(int32_t a, float b) { return a + static_cast<int32_t>(b); }

    void UnlinkedAction(int32_t id, plenar::RunObjectHeader*, plenar::Word, plenar::Word) {
        record.calls.push_back("unlinked action " + std::to_string(id));
    }
    bool UnlinkedCondition(int32_t id, plenar::RunObjectHeader*, plenar::Word, plenar::Word) {
        record.calls.push_back("unlinked condition " + std::to_string(id));
        return true;
    }
    plenar::Word UnlinkedExpression(int32_t id, plenar::RunObjectHeader*, plenar::Word) {
        record.calls.push_back("unlinked expression " + std::to_string(id));
        return 77;
    }
};

const char* const description = R"({"Identifier": "TEST", "Dependencies": [], "L": {
  "Actions": [
    {"Title": "Scale", "Parameters": [["Float", "factor"]]},
    {"Title": "Nothing", "NumAutoProps": 0, "Parameters": [["Integer", "a"], ["Integer", "b"]]},
    {"Title": "Named", "Parameters": [["Text", "name"], ["Integer", "count"]]},
    {"Title": "Unlinked"}],
  "Conditions": [{"Title": "256"}, {"Title": "255"}],
  "Expressions": [
    {"Title": "Half(", "Returns": "Float", "Parameters": [["Float", "v"]]},
    {"Title": "Echo$(", "Returns": "String", "Parameters": [["String", "t"]]},
    {"Title": "Mixed(", "Returns": "Integer", "Parameters": [["Integer", "a"], ["Float", "b"]]}]
}})";

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        fake = &host;
        Kvor::Platform::ClearRecords();
        size_t length = strlen(description);
        char* text = static_cast<char*>(malloc(length + 1));
        memcpy(text, description, length + 1);
        json_reader_settings settings = {};
        json_value* root = json_read(&settings, text, length, nullptr, 0);
        ASSERT_NE(root, nullptr);
        sdk = new Kvor::SDK(nullptr, root);

        header.get_parameter = &GetParameter;
        header.first_expression_parameter = &First;
        header.next_expression_parameter = &NextExpression;
        header.allocate_string = &AllocateString;
        memset(run_data, 0, sizeof run_data);
        run()->run_header = &header;
        extension = new TestExtension(run());
        Kvor::ExtensionOf(run()) = extension;
        Kvor::UseExtension<TestExtension>();
        EXPECT_TRUE(Kvor::LinkAction<&TestExtension::Scale>(0));
        EXPECT_TRUE(Kvor::LinkAction<&TestExtension::Nothing>(1));
        EXPECT_TRUE(Kvor::LinkAction<&TestExtension::Named>(2));
        EXPECT_TRUE(Kvor::LinkCondition<&TestExtension::Returns256>(0));
        EXPECT_TRUE(Kvor::LinkCondition<&TestExtension::Returns255>(1));
        EXPECT_TRUE(Kvor::LinkExpression<&TestExtension::Half>(0));
        EXPECT_TRUE(Kvor::LinkExpression<&TestExtension::Echo>(1));
        EXPECT_TRUE(Kvor::LinkExpression<&TestExtension::Mixed>(2));
    }
    void TearDown() override {
        delete extension;
        delete sdk;
        ::SDK = nullptr;
        fake = nullptr;
    }
    plenar::RunObjectHeader* run() { return reinterpret_cast<plenar::RunObjectHeader*>(run_data); }
    uint32_t Act(int32_t id) {
        run()->current_id = id;
        return static_cast<uint32_t>(sdk->ActionRoutines[0](run(), 1, 2));
    }
    int32_t Test(int32_t id) {
        run()->current_id = id;
        return sdk->ConditionRoutines[0](run(), 1, 2);
    }
    plenar::Word Evaluate(int32_t id) {
        run()->current_id = id;
        return sdk->ExpressionRoutines[0](run(), 9);
    }
    const std::vector<std::string>& Calls() { return extension->record.calls; }

    FakeHost host;
    plenar::RunHeader header{};
    alignas(8) uint8_t run_data[sizeof(plenar::RunObjectHeader) + sizeof(void*)];
    Kvor::SDK* sdk = nullptr;
    TestExtension* extension = nullptr;
};

TEST_F(Dispatch, AFloatIsFetchedAsAFloatAndPassedUnchanged) {
    host.parameters.push_back(std::bit_cast<uint32_t>(2.5f));
    EXPECT_EQ(Act(0), 0u);
    ASSERT_EQ(host.fetches.size(), 1u);
    EXPECT_EQ(host.fetches[0].second, 2);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0], "Scale 2.500000");
}

TEST_F(Dispatch, NumAutoPropsZeroFetchesNothing) {
    run()->parameter_cursor = 3;
    EXPECT_EQ(Act(1), 0u);
    EXPECT_TRUE(host.fetches.empty());
    EXPECT_EQ(Calls(), std::vector<std::string>{"Nothing"});
}

TEST_F(Dispatch, TextAndIntegerInOrderWithTheCursorRestored) {
    std::u16string name = u"box";
    host.parameters = {reinterpret_cast<plenar::Word>(name.c_str()), 4};
    run()->parameter_cursor = 10;
    Act(2);
    EXPECT_EQ(run()->parameter_cursor, 10u);
    ASSERT_EQ(host.fetches.size(), 2u);
    EXPECT_EQ(host.fetches[0].second, -1);
    EXPECT_EQ(host.fetches[1].second, 0);
    EXPECT_EQ(Calls(), std::vector<std::string>{"Named box 4"});
    // The routine's words are kept for the extension's own use.
    EXPECT_EQ(extension->Runtime.FirstParameter, 1u);
    EXPECT_EQ(extension->Runtime.SecondParameter, 2u);
}

TEST_F(Dispatch, ANullTextSkipsTheMemberAndLeavesTheCursorAsFetched) {
    host.parameters = {0, 4};
    run()->parameter_cursor = 10;
    Act(2);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(run()->parameter_cursor, 11u);
    ASSERT_EQ(Kvor::Platform::RecordedBoxes().size(), 1u);
    EXPECT_EQ(Kvor::Platform::RecordedBoxes()[0].caption, Kvor::message::null_text_parameter.caption);
}

TEST_F(Dispatch, OnlyTheConditionsLowByteCountsSigned) {
    EXPECT_EQ(Test(0), 0);   // 256
    EXPECT_EQ(Test(1), -1);  // 255
}

TEST_F(Dispatch, FloatExpressionsMarkTheFlagsAndReturnTheBits) {
    host.parameters.push_back(std::bit_cast<uint32_t>(3.0f));
    run()->flags = 0;
    EXPECT_EQ(Evaluate(0), std::bit_cast<uint32_t>(1.5f));
    EXPECT_EQ(run()->flags, plenar::expression_float_result);
    ASSERT_EQ(host.fetches.size(), 1u);
    EXPECT_EQ(host.fetches[0], std::make_pair('f', 2));
}

TEST_F(Dispatch, TextExpressionsReturnHostMemory) {
    std::u16string text = u"hi";
    host.parameters.push_back(reinterpret_cast<plenar::Word>(text.c_str()));
    auto result = reinterpret_cast<const char16_t*>(Evaluate(1));
    ASSERT_EQ(host.strings.size(), 1u);
    EXPECT_EQ(result, host.strings[0].data());
    EXPECT_EQ(std::u16string(result), u"hi");
    EXPECT_EQ(run()->flags & plenar::expression_string_result, plenar::expression_string_result);
    EXPECT_EQ(host.fetches[0], std::make_pair('f', 1));
}

TEST_F(Dispatch, ANullTextInATextExpressionGivesAnEmptyHostString) {
    host.parameters.push_back(0);
    auto result = reinterpret_cast<const char16_t*>(Evaluate(1));
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result[0], u'\0');
    ASSERT_EQ(Kvor::Platform::RecordedBoxes().size(), 1u);
    EXPECT_EQ(Kvor::Platform::RecordedBoxes()[0].text, Kvor::message::null_text_expression_parameter.text);
    EXPECT_EQ(Kvor::Platform::RecordedBoxes()[0].caption, Kvor::message::null_text_expression_parameter.caption);
}

TEST_F(Dispatch, LaterExpressionParametersUseTheNextCallback) {
    host.parameters = {40, std::bit_cast<uint32_t>(2.0f)};
    EXPECT_EQ(Evaluate(2), 42u);
    ASSERT_EQ(host.fetches.size(), 2u);
    EXPECT_EQ(host.fetches[0], std::make_pair('f', 0));
    EXPECT_EQ(host.fetches[1], std::make_pair('n', 2));
}

TEST_F(Dispatch, UnlinkedAndOutOfRangeIdsReachTheFallbacks) {
    EXPECT_EQ(Act(3), 0u);
    EXPECT_EQ(Act(100), 0u);
    EXPECT_EQ(Act(-1), 0u);
    EXPECT_EQ(Test(2), 1);
    EXPECT_EQ(Evaluate(3), 77u);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"unlinked action 3", "unlinked action 100",
                                                 "unlinked action -1", "unlinked condition 2",
                                                 "unlinked expression 3"}));
    EXPECT_TRUE(host.fetches.empty());
}

TEST_F(Dispatch, ALinkBeyondTheDescriptionIsRefusedAndReported) {
    EXPECT_FALSE(Kvor::LinkAction<&TestExtension::Nothing>(4));
    ASSERT_EQ(Kvor::Platform::RecordedBoxes().size(), 1u);
    EXPECT_EQ(Kvor::Platform::RecordedBoxes()[0].text,
              "The extension links action 4, but the description declares only 4 actions.");
    EXPECT_EQ(Act(4), 0u);
}

TEST_F(Dispatch, AMismatchedLinkLeavesTheIdUnlinked) {
    // Scale declares one float; Named takes a text and an integer.
    EXPECT_FALSE(Kvor::LinkAction<&TestExtension::Named>(0));
    EXPECT_EQ(Kvor::Platform::RecordedBoxes().size(), 1u);
    host.parameters.push_back(1);
    Act(0);
    EXPECT_EQ(Calls(), std::vector<std::string>{"unlinked action 0"});
    EXPECT_TRUE(host.fetches.empty());
}

TEST_F(Dispatch, WithoutAnExtensionNothingIsCalled) {
    Kvor::ExtensionOf(run()) = nullptr;
    EXPECT_EQ(Act(0), 0u);
    EXPECT_EQ(Test(0), 0);
    EXPECT_EQ(Evaluate(0), 0u);
    EXPECT_TRUE(host.fetches.empty());
}

TEST(FetchPlans, AreResolvedOnceFromRecordAndDescription) {
    Kvor::ACEInfo* record = Kvor::ACEInfo::Allocate(3);
    record->NumOfParams = 3;
    record->Parameter[0] = 22;
    record->Parameter[1] = 40;
    record->Parameter[2] = 9;
    record->FloatFlags = 1;
    Kvor::FetchPlan plan = Kvor::MakeFetchPlan(Kvor::AceKind::action, record, json_none);
    EXPECT_EQ(plan.Count, 3);
    EXPECT_EQ(plan.Kinds[0], Kvor::ArgumentKind::floating);
    EXPECT_EQ(plan.FetchTypes[0], 2);
    EXPECT_EQ(plan.Kinds[1], Kvor::ArgumentKind::text);
    EXPECT_EQ(plan.FetchTypes[1], -1);
    EXPECT_EQ(plan.Kinds[2], Kvor::ArgumentKind::generic);
    EXPECT_EQ(plan.FetchTypes[2], -1);
    EXPECT_EQ(Kvor::MakeFetchPlan(Kvor::AceKind::action, nullptr, json_none).Count, 0);
    Kvor::ACEInfo::Free(record);
}

}  // namespace
