// Dispatch of actions, conditions and expressions to typed members, natively
// under the sanitizers: a host-shaped run header whose callbacks hand out
// queued values, and an extension whose members record their arguments.
// Calls go through the table entry of their id, as the host makes them:
// the linked members' own routines, and the generic routines beside them.
#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <new>
#include <string>
#include <vector>

#include "../support/description_support.h"
#include "runtime/linking.h"
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
plenar::Word PLENAR_STDCALL First(plenar::RunObjectHeader*, int32_t type, plenar::Word) {
    return Next('f', type);
}
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

// What the members that can fail let out when asked to.
enum class Failure { none, standard, foreign };

class TestExtension {
public:
    explicit TestExtension(plenar::RunObjectHeader* run) : Runtime(run) {}
    Kvor::Runtime Runtime;
    Recorder record;
    Failure failure = Failure::none;

    void MayFail() const {
        if (failure == Failure::standard) throw std::bad_alloc();
        if (failure == Failure::foreign) throw 42;
    }

    void Scale(float factor) { record.calls.push_back("Scale " + std::to_string(factor)); }
    void Nothing() {
        MayFail();
        record.calls.push_back("Nothing");
    }
    void Named(const Kvor::WideChar* name, int32_t count) {
        std::string text;
        for (; *name; ++name) text += static_cast<char>(*name);
        record.calls.push_back("Named " + text + " " + std::to_string(count));
    }
    int32_t Returns256() {
        MayFail();
        return 256;
    }
    int32_t Returns255() { return 255; }
    int32_t HostValue(int32_t value) { return value == 5; }
    float Half(float value) {
        MayFail();
        return value / 2;
    }
    const Kvor::WideChar* Echo(const Kvor::WideChar* text) {
        MayFail();
        return Runtime.CopyString(text);
    }
    int32_t Mixed(int32_t a, float b) { return a + static_cast<int32_t>(b); }

    void UnlinkedAction(int32_t id, plenar::RunObjectHeader*, plenar::Word, plenar::Word) {
        MayFail();
        record.calls.push_back("unlinked action " + std::to_string(id));
    }
    bool UnlinkedCondition(int32_t id, plenar::RunObjectHeader*, plenar::Word, plenar::Word) {
        MayFail();
        record.calls.push_back("unlinked condition " + std::to_string(id));
        return true;
    }
    plenar::Word UnlinkedExpression(int32_t id, plenar::RunObjectHeader*, plenar::Word) {
        MayFail();
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
  "Conditions": [{"Title": "256"}, {"Title": "255"}, {"Title": "Object", "Parameters": [["Object", "o"]]}],
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
    // The entry the host calls for `id`; for an id the table lacks, the
    // first, as a host running a stray id would.
    template <class Routine>
    static Routine EntryFor(const std::vector<Routine>& table, int32_t id) {
        return id >= 0 && static_cast<size_t>(id) + 1 < table.size()
                   ? table[static_cast<size_t>(id)]
                   : table[0];
    }
    uint32_t Act(int32_t id) {
        run()->current_id = id;
        return static_cast<uint32_t>(EntryFor(sdk->Actions.Routines, id)(run(), 1, 2));
    }
    int32_t Test(int32_t id) {
        run()->current_id = id;
        return EntryFor(sdk->Conditions.Routines, id)(run(), 1, 2);
    }
    plenar::Word Evaluate(int32_t id) {
        run()->current_id = id;
        return EntryFor(sdk->Expressions.Routines, id)(run(), 9);
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
    EXPECT_EQ(Kvor::Platform::RecordedBoxes()[0].caption,
              Kvor::message::null_text_parameter.caption);
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
    EXPECT_EQ(Kvor::Platform::RecordedBoxes()[0].text,
              Kvor::message::null_text_expression_parameter.text);
    EXPECT_EQ(Kvor::Platform::RecordedBoxes()[0].caption,
              Kvor::message::null_text_expression_parameter.caption);
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

// An extension class that declares no fallbacks: the SDK's do nothing and
// answer false and 0.
struct BareExtension {
    explicit BareExtension(plenar::RunObjectHeader* run) : Runtime(run) {}
    Kvor::Runtime Runtime;
};

TEST_F(Dispatch, WithoutFallbacksOfItsOwnAnExtensionGetsNothingFalseAndZero) {
    BareExtension bare(run());
    Kvor::ExtensionOf(run()) = &bare;
    Kvor::UseExtension<BareExtension>();
    EXPECT_EQ(Act(3), 0u);
    EXPECT_EQ(Test(2), 0);
    EXPECT_EQ(Evaluate(3), 0u);
    EXPECT_TRUE(Calls().empty());
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
    EXPECT_EQ(sdk->Actions.Routines[0],
              &Kvor::ActionWrapper);  // the member's own routine is taken out
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

TEST_F(Dispatch, LinkedIdsGetTheMembersOwnRoutinesAndHostValuesKeepThePlan) {
    for (int32_t id : {0, 1, 2}) {
        EXPECT_NE(sdk->Actions.Routines[id], &Kvor::ActionWrapper) << "action " << id;
        EXPECT_NE(sdk->Expressions.Routines[id], &Kvor::ExpressionWrapper) << "expression " << id;
    }
    EXPECT_NE(sdk->Conditions.Routines[0], sdk->Conditions.Routines[1]);
    EXPECT_EQ(sdk->Actions.Routines[3], &Kvor::ActionWrapper);  // not linked
    EXPECT_EQ(sdk->Conditions.Routines[2], &Kvor::ConditionWrapper);
    EXPECT_EQ(sdk->Actions.Routines[4], nullptr);  // the table's end

    // A host value is fetched by the host's own code into an integer: the
    // member is linked, and the generic routine fetches by the plan.
    EXPECT_TRUE(Kvor::LinkCondition<&TestExtension::HostValue>(2));
    EXPECT_EQ(sdk->Conditions.Routines[2], &Kvor::ConditionWrapper);
    host.parameters = {5};
    EXPECT_EQ(Test(2), 1);
    EXPECT_EQ(host.fetches, (std::vector<std::pair<char, int32_t>>{{'p', -1}}));
}

// Everything the host sees of one call. A text result lies in host memory
// and is compared by its characters, each call having its own copy.
struct HostView {
    plenar::Word result = 0;
    std::u16string text;
    bool text_in_host_memory = false;
    std::vector<std::pair<char, int32_t>> fetches;
    std::deque<plenar::Word> unused;  // answers the call did not fetch
    uint32_t cursor = 0;
    uint16_t flags = 0;
    std::vector<std::string> boxes;
    std::vector<std::string> calls;
    plenar::Word first = 0, second = 0;  // the routine's words, as the extension sees them
    bool operator==(const HostView&) const = default;
};

std::ostream& operator<<(std::ostream& out, const HostView& view) {
    out << "result " << view.result << ", " << view.fetches.size() << " fetches, "
        << view.unused.size() << " unused, cursor " << view.cursor << ", flags " << view.flags
        << ", calls";
    for (const std::string& call : view.calls) out << " [" << call << "]";
    for (const std::string& box : view.boxes) out << ", box " << box;
    return out;
}

class OwnRoutines : public Dispatch {
protected:
    // Calls `kind`'s entry `entry` (or the generic routine) with the run
    // data's id set to `id` and the host answering `answers`.
    HostView Run(Kvor::AceKind kind, int32_t entry, bool generic, int32_t id,
                 std::deque<plenar::Word> answers) {
        host.parameters = std::move(answers);
        host.fetches.clear();
        Kvor::Platform::ClearRecords();
        extension->record.calls.clear();
        extension->Runtime.FirstParameter = extension->Runtime.SecondParameter = 0xDEAD;
        run()->current_id = id;
        run()->parameter_cursor = 10;
        run()->flags = 0;
        HostView view;
        switch (kind) {
            case Kvor::AceKind::action:
                view.result = static_cast<uint32_t>(
                    (generic ? &Kvor::ActionWrapper : sdk->Actions.Routines[entry])(run(), 1, 2));
                break;
            case Kvor::AceKind::condition:
                view.result =
                    static_cast<uint32_t>((generic ? &Kvor::ConditionWrapper
                                                   : sdk->Conditions.Routines[entry])(run(), 1, 2));
                break;
            case Kvor::AceKind::expression:
                view.result = (generic ? &Kvor::ExpressionWrapper
                                       : sdk->Expressions.Routines[entry])(run(), 9);
                break;
        }
        if (run()->flags & plenar::expression_string_result) {
            for (const std::u16string& block : host.strings)
                view.text_in_host_memory |=
                    reinterpret_cast<plenar::Word>(block.data()) == view.result;
            if (view.result) view.text = reinterpret_cast<const char16_t*>(view.result);
            view.result = 0;
        }
        view.fetches = host.fetches;
        view.unused = host.parameters;
        view.cursor = run()->parameter_cursor;
        view.flags = run()->flags;
        for (const auto& box : Kvor::Platform::RecordedBoxes())
            view.boxes.push_back(box.caption + ": " + box.text);
        view.calls = extension->record.calls;
        view.first = extension->Runtime.FirstParameter;
        view.second = extension->Runtime.SecondParameter;
        return view;
    }
};

plenar::Word Bits(float value) { return std::bit_cast<uint32_t>(value); }

TEST_F(OwnRoutines, AnswerAsTheGenericRoutinesDo) {
    static const char16_t box[] = u"box";
    const plenar::Word text = reinterpret_cast<plenar::Word>(box);
    using Kvor::AceKind;
    struct Case {
        const char* name;
        AceKind kind;
        int32_t entry, id;
        std::deque<plenar::Word> answers;
    } cases[] = {
        {"a float", AceKind::action, 0, 0, {Bits(2.5f)}},
        {"no arguments", AceKind::action, 1, 1, {7}},
        {"a text and an integer", AceKind::action, 2, 2, {text, 4}},
        {"a null text", AceKind::action, 2, 2, {0, 4}},
        {"a condition giving 256", AceKind::condition, 0, 0, {}},
        {"a condition giving 255", AceKind::condition, 1, 1, {}},
        {"a float expression", AceKind::expression, 0, 0, {Bits(3.0f)}},
        {"a text expression", AceKind::expression, 1, 1, {text}},
        {"a null text in a text expression", AceKind::expression, 1, 1, {0}},
        {"an integer and a float", AceKind::expression, 2, 2, {40, Bits(2.0f)}},
        // An entry run for another id answers as that id's routine.
        {"action 0's entry for action 2", AceKind::action, 0, 2, {text, 4}},
        {"action 2's entry for an unlinked id", AceKind::action, 2, 3, {text, 4}},
        {"condition 0's entry for an id beyond the table", AceKind::condition, 0, 7, {}},
        {"expression 1's entry for expression 2", AceKind::expression, 1, 2, {40, Bits(2.0f)}},
        {"expression 0's entry for a negative id", AceKind::expression, 0, -1, {}},
    };
    for (const Case& c : cases) {
        const HostView own = Run(c.kind, c.entry, false, c.id, c.answers);
        const HostView generic = Run(c.kind, c.entry, true, c.id, c.answers);
        EXPECT_EQ(own, generic) << c.name;
        EXPECT_EQ(own.first, c.kind == AceKind::expression ? 9u : 1u) << c.name;
        if (own.flags & plenar::expression_string_result) {
            EXPECT_TRUE(own.text_in_host_memory) << c.name;
        }
    }
}

TEST_F(OwnRoutines, AnEntryKeptFromBeforeAnswersAsTheGenericRoutine) {
    const plenar::ActionRoutine kept = sdk->Actions.Routines[0];  // Scale's
    host.parameters = {1};
    // Its id linked anew, to a member that does not fit: unlinked.
    EXPECT_FALSE(Kvor::LinkAction<&TestExtension::Named>(0));
    run()->current_id = 0;
    kept(run(), 1, 2);
    // The SDK object built anew, nothing linked yet.
    EXPECT_TRUE(Kvor::LinkAction<&TestExtension::Scale>(0));
    delete sdk;
    ::SDK = nullptr;
    sdk = new Kvor::SDK(nullptr, unit_support::ParseDescription(description));
    kept(run(), 1, 2);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"unlinked action 0", "unlinked action 0"}));
    EXPECT_TRUE(host.fetches.empty());
}

TEST_F(OwnRoutines, AMemberThatThrowsIsReportedAndTheHostGetsTheFailureValue) {
    using Kvor::AceKind;
    struct Case {
        AceKind kind;
        int32_t entry, id;
        std::deque<plenar::Word> answers;
        bool empty_text;  // the failure value is an empty host string, else 0
    } cases[] = {
        {AceKind::action, 1, 1, {}, false},
        {AceKind::action, 3, 3, {}, false},  // the fallback
        {AceKind::condition, 0, 0, {}, false},
        {AceKind::condition, 2, 2, {}, false},  // the fallback
        {AceKind::expression, 0, 0, {Bits(1.0f)}, false},
        {AceKind::expression, 1, 1, {reinterpret_cast<plenar::Word>(u"x")}, true},
        {AceKind::expression, 0, 3, {}, false},  // the fallback, of an id the table lacks
    };
    for (Failure failure : {Failure::standard, Failure::foreign}) {
        extension->failure = failure;
        const char* what = failure == Failure::standard ? std::bad_alloc().what()
                                                        : Kvor::message::call_failed_unknown;
        for (const Case& c : cases) {
            const char* kind = Kvor::AceKindName(c.kind);
            for (bool generic : {false, true}) {
                const HostView view = Run(c.kind, c.entry, generic, c.id, c.answers);
                SCOPED_TRACE(std::string(kind) + " " + std::to_string(c.id) +
                             (generic ? ", generic" : ", own"));
                EXPECT_EQ(view.result, 0u);
                EXPECT_EQ(view.text_in_host_memory, c.empty_text);
                EXPECT_EQ(view.text, u"");
                EXPECT_TRUE(view.calls.empty());
                unit_support::ExpectRecordedBoxes(
                    {unit_support::ShownAbout(kind, Kvor::message::call_failed, kind, c.id, what)});
            }
        }
    }
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
