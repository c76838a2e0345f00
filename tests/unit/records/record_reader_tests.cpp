// Records built from descriptions: layout as the host reads it, flags of each
// kind, the parameter limit, and refused entries that keep later ids in place.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "records_fixture.h"

namespace records_test {
namespace {

// The record from its ID on, as the host reads it: id, flags, count, the
// codes, then one zero word per parameter.
std::vector<uint16_t> HostWords(const Kvor::ACEInfo* record) {
    const plenar::AceRecord* view = record->HostView();
    std::vector<uint16_t> words(3 + 2 * size_t(view->parameter_count));
    memcpy(words.data(), view, words.size() * sizeof(uint16_t));
    return words;
}

using Words = std::vector<uint16_t>;

std::string ReadLumbraDescription() {
    std::ifstream file(LUMBRA_DESCRIPTION, std::ios::binary);
    EXPECT_TRUE(file) << LUMBRA_DESCRIPTION;
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST_F(RecordsTest, LumbrasOwnDescriptionGivesItsRecords) {
    Build(ReadLumbraDescription());
    ExpectBoxes({});
    ASSERT_EQ(sdk->Actions.Records.size(), 2u);
    ASSERT_EQ(sdk->Conditions.Records.size(), 1u);
    ASSERT_EQ(sdk->Expressions.Records.size(), 2u);
    EXPECT_EQ(HostWords(sdk->Actions.Records[0]), (Words{0, 0, 1, 45, 0}));
    EXPECT_EQ(HostWords(sdk->Actions.Records[1]), (Words{1, 0, 0}));
    EXPECT_EQ(HostWords(sdk->Conditions.Records[0]), (Words{0, 0x0220, 2, 22, 22, 0, 0}));
    EXPECT_EQ(sdk->Conditions.Records[0]->FloatFlags, 0);
    EXPECT_EQ(HostWords(sdk->Expressions.Records[0]), (Words{0, 0, 2, 1, 1, 0, 0}));
    EXPECT_EQ(HostWords(sdk->Expressions.Records[1]), (Words{1, 1, 0}));
}

TEST_F(RecordsTest, TheHostViewStartsAtTheIdAndTheFloatFlagsPrecedeIt) {
    BuildLanguage(R"("Actions": [{}, {"Parameters": [["Float", "a"], ["Text", "b"]]}])");
    const Kvor::ACEInfo* record = Kvor::ActionInfoAt(1);
    ASSERT_NE(record, nullptr);
    const auto* bytes = reinterpret_cast<const unsigned char*>(record);
    const unsigned char expected[] = {1, 0, 1, 0, 0, 0, 2, 0, 22, 0, 45, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, memcmp(bytes, expected, sizeof expected));
    const plenar::AceRecord* view = record->HostView();
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(view), bytes + 2);
    EXPECT_EQ(view->id, 1);
    EXPECT_EQ(view->parameter_count, 2);
    EXPECT_EQ(view->code(0), 22);
    EXPECT_EQ(view->code(1), 45);
}

TEST_F(RecordsTest, EachFloatParameterSetsItsBit) {
    BuildLanguage(R"(
      "Actions": [{"Parameters": [["Integer", ""], ["Float", ""], ["float", ""], ["String", ""]]}],
      "Expressions": [{"Returns": "Float",
                       "Parameters": [["FLOAT", ""], ["Integer", ""], ["Text", ""]]}])");
    ExpectBoxes({});
    EXPECT_EQ(HostWords(Kvor::ActionInfoAt(0)), (Words{0, 0, 4, 22, 22, 22, 45, 0, 0, 0, 0}));
    EXPECT_EQ(Kvor::ActionInfoAt(0)->FloatFlags, 0b0110);
    EXPECT_EQ(HostWords(Kvor::ExpressionInfoAt(0)), (Words{0, 2, 3, 1, 1, 3, 0, 0, 0}));
    EXPECT_EQ(Kvor::ExpressionInfoAt(0)->FloatFlags, 0b0001);
}

std::string Parameters(int count, const char* last_type) {
    std::string list = "[";
    for (int i = 0; i < count; ++i)
        list += std::string(i ? ", " : "") + "[\"" + (i == count - 1 ? last_type : "Integer") +
                "\", \"p\"]";
    return list + "]";
}

TEST_F(RecordsTest, SixteenParametersAreAcceptedAndTheLastCanBeAFloat) {
    BuildLanguage(R"("Conditions": [{"Triggered": true, "Parameters": )" + Parameters(16, "Float") +
                  "}]");
    ExpectBoxes({});
    const Kvor::ACEInfo* record = Kvor::ConditionInfoAt(0);
    ASSERT_NE(record, nullptr);
    Words expected = {0, 0, 16};
    expected.insert(expected.end(), 16, 22);
    expected.insert(expected.end(), 16, 0);
    EXPECT_EQ(HostWords(record), expected);
    EXPECT_EQ(record->FloatFlags, 0x8000);
}

struct KindCase {
    const char* member;
    const char* noun;
    uint16_t placeholder_flags;  // of a refused {"Triggered": true} entry
    Kvor::AceKind kind;
    const Kvor::ACEInfo* (*at)(int id);
    bool (*read)();
};

const KindCase kinds[] = {
    {"Actions", "action", 0, Kvor::AceKind::action, Kvor::ActionInfoAt, Kvor::ReadActionInfo},
    {"Conditions", "condition", 0, Kvor::AceKind::condition, Kvor::ConditionInfoAt,
     Kvor::ReadConditionInfo},
    // A refused expression is an integer one, and its "Returns" is not read.
    {"Expressions", "expression", 0, Kvor::AceKind::expression, Kvor::ExpressionInfoAt,
     Kvor::ReadExpressionInfo},
};

class EveryKind : public RecordsTest, public ::testing::WithParamInterface<KindCase> {
protected:
    void BuildEntries(const std::string& entries) {
        std::string members = "\"";
        members.append(GetParam().member).append("\": [").append(entries).append("]");
        BuildLanguage(members);
    }
    std::vector<Kvor::ACEInfo*>& Records() { return sdk->Entries(GetParam().kind).Records; }
    // A well-formed entry of this kind with one integer parameter.
    static std::string GoodEntry() {
        return R"({"Triggered": true, "Returns": "Integer", "Parameters": [["Integer", "n"]]})";
    }
    void ExpectGoodRecordAt(int id) {
        const Kvor::ACEInfo* record = GetParam().at(id);
        ASSERT_NE(record, nullptr) << id;
        EXPECT_EQ(record->ID, id);
        EXPECT_EQ(record->NumOfParams, 1);
        EXPECT_EQ(record->Parameter[0], GetParam().member[0] == 'E' ? 1 : 22);
    }
    void ExpectPlaceholderAt(int id, uint16_t flags) {
        const Kvor::ACEInfo* record = GetParam().at(id);
        ASSERT_NE(record, nullptr) << id;
        EXPECT_EQ(HostWords(record), (Words{uint16_t(id), flags, 0}));
        EXPECT_EQ(record->FloatFlags, 0);
    }
};

INSTANTIATE_TEST_SUITE_P(Kinds, EveryKind, ::testing::ValuesIn(kinds),
                         [](const auto& info) { return std::string(info.param.member); });

TEST_P(EveryKind, ARefusedEntryInTheMiddleKeepsLaterIdsInPlace) {
    BuildEntries(GoodEntry() + ", 5, " + GoodEntry() + ", \"text\", " + GoodEntry());
    const Box not_object =
        unit_support::ShownAbout(GetParam().noun, Kvor::message::entry_not_object);
    ExpectBoxes({not_object, not_object});
    ASSERT_EQ(Records().size(), 5u);
    ExpectGoodRecordAt(0);
    ExpectPlaceholderAt(1, GetParam().member[0] == 'C' ? 0x0220 : 0);
    ExpectGoodRecordAt(2);
    ExpectPlaceholderAt(3, GetParam().member[0] == 'C' ? 0x0220 : 0);
    ExpectGoodRecordAt(4);
}

TEST_P(EveryKind, SeventeenParametersAreRefusedOnceAndTheNextEntryIsRead) {
    BuildEntries(R"({"Triggered": true, "Returns": "Bogus", "Parameters": )" +
                 Parameters(17, "Integer") + "}, " + GoodEntry());
    ExpectBoxes({unit_support::ShownAbout(GetParam().noun, Kvor::message::too_many_parameters,
                                          GetParam().noun)});
    ASSERT_EQ(Records().size(), 2u);
    ExpectPlaceholderAt(0, GetParam().placeholder_flags);
    ExpectGoodRecordAt(1);
}

TEST_P(EveryKind, ARefusedAllocationLeavesAPlaceholder) {
    // Only the eight bytes of a record without parameters can be had.
    Kvor::AllocateRecordMemory = [](size_t count, size_t size) {
        return count * size > 8 ? nullptr : std::calloc(count, size);
    };
    BuildEntries(GoodEntry() + R"(, {"Triggered": true, "Returns": "Text"})");
    ExpectBoxes({unit_support::ShownAbout(GetParam().noun, Kvor::message::record_no_memory,
                                          GetParam().noun)});
    ASSERT_EQ(Records().size(), 2u);
    ExpectPlaceholderAt(0, GetParam().placeholder_flags);
    const Kvor::ACEInfo* second = GetParam().at(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(HostWords(second), (Words{1, uint16_t(GetParam().member[0] == 'E' ? 1 : 0), 0}));
}

TEST_P(EveryKind, WithNoMemoryAtAllTheIdsStillLineUp) {
    Kvor::AllocateRecordMemory = [](size_t, size_t) -> void* { return nullptr; };
    BuildEntries(GoodEntry() + ", " + GoodEntry());
    ASSERT_EQ(Records().size(), 2u);
    EXPECT_EQ(GetParam().at(0), nullptr);
    EXPECT_EQ(GetParam().at(1), nullptr);
    Kvor::AllocateRecordMemory = std::calloc;
    EXPECT_FALSE(GetParam().read());  // past the end of the entries
    ExpectPlaceholderAt(2, GetParam().member[0] == 'C' ? 0x0220 : 0);
}

TEST_P(EveryKind, ParametersThatAreNotAnArrayGiveNone) {
    BuildEntries(GoodEntry() + R"(, {"Returns": "Text", "Parameters": "abcdefgh"},
                                  {"Returns": "Text", "Parameters": {"a": ["Integer", ""]}},
                                  {"Returns": "Text", "Parameters": 7},
                                  {"Returns": "Text", "Parameters": null},
                                  {"Returns": "Text", "Parameters": []})");
    ExpectBoxes({});
    ASSERT_EQ(Records().size(), 6u);
    for (int id = 1; id < 6; ++id) {
        ASSERT_NE(GetParam().at(id), nullptr);
        EXPECT_EQ(GetParam().at(id)->NumOfParams, 0) << id;
    }
}

TEST_P(EveryKind, AParameterWithoutATypeNameGivesCodeZeroAfterAMessage) {
    BuildEntries(R"({"Triggered": true, "Returns": "Integer",
                     "Parameters": ["Integer", [], [5, "n"], ["Float", "x"], [["Text"]]]})");
    const Box empty_name = TypeBox("");
    ExpectBoxes({empty_name, empty_name, empty_name, empty_name});
    const Kvor::ACEInfo* record = GetParam().at(0);
    ASSERT_NE(record, nullptr);
    const uint16_t float_code = GetParam().member[0] == 'E' ? 1 : 22;
    EXPECT_EQ(HostWords(record), (Words{0, 0, 5, 0, 0, 0, float_code, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(record->FloatFlags, 0b01000);
}

TEST_P(EveryKind, LookupsAnswerNullOutsideTheRecords) {
    BuildEntries(GoodEntry());
    EXPECT_NE(GetParam().at(0), nullptr);
    EXPECT_EQ(GetParam().at(1), nullptr);
    EXPECT_EQ(GetParam().at(-1), nullptr);
    EXPECT_EQ(GetParam().at(0x7FFF), nullptr);
    Kvor::FreeRecords(Records());
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(GetParam().at(0), nullptr);
}

TEST_P(EveryKind, ReadersAndLookupsNeedTheSdkObject) {
    EXPECT_FALSE(GetParam().read());
    EXPECT_EQ(GetParam().at(0), nullptr);
    ExpectBoxes({});
}

struct TriggerCase {
    const char* triggered;  // the member's JSON text, or null for none
    uint16_t flags;
};

class Triggers : public RecordsTest, public ::testing::WithParamInterface<TriggerCase> {};

TEST_P(Triggers, OnlyABooleanTrueMakesATriggeredCondition) {
    const char* triggered = GetParam().triggered;
    BuildLanguage(std::string(R"("Conditions": [{"Title": "c")") +
                  (triggered ? std::string(", \"Triggered\": ") + triggered : "") + "}]");
    ExpectBoxes({});
    ASSERT_NE(Kvor::ConditionInfoAt(0), nullptr);
    EXPECT_EQ(HostWords(Kvor::ConditionInfoAt(0)), (Words{0, GetParam().flags, 0}));
}

INSTANTIATE_TEST_SUITE_P(Values, Triggers,
                         ::testing::Values(TriggerCase{"true", 0}, TriggerCase{"false", 0x0220},
                                           TriggerCase{nullptr, 0x0220}, TriggerCase{"1", 0x0220},
                                           TriggerCase{"\"true\"", 0x0220}));

TEST_F(RecordsTest, ActionsIgnoreTriggeredAndReturns) {
    BuildLanguage(R"("Actions": [{"Triggered": false, "Returns": "Text"}])");
    EXPECT_EQ(HostWords(Kvor::ActionInfoAt(0)), (Words{0, 0, 0}));
}

TEST_F(RecordsTest, AMissingOrNonTextReturnsIsAnIntegerExpressionAfterAMessage) {
    BuildLanguage(R"("Expressions": [{"Title": "e"}, {"Returns": 5}, {"Returns": "Double"},
                                     {"Returns": "String"}])");
    ExpectBoxes({ReturnBox(""), ReturnBox(""), ReturnBox("Double")});
    ASSERT_EQ(sdk->Expressions.Records.size(), 4u);
    EXPECT_EQ(HostWords(Kvor::ExpressionInfoAt(0)), (Words{0, 0, 0}));
    EXPECT_EQ(HostWords(Kvor::ExpressionInfoAt(1)), (Words{1, 0, 0}));
    EXPECT_EQ(HostWords(Kvor::ExpressionInfoAt(2)), (Words{2, 0, 0}));
    EXPECT_EQ(HostWords(Kvor::ExpressionInfoAt(3)), (Words{3, 1, 0}));
}

TEST_F(RecordsTest, TheReturnTypeIsReportedBeforeTheParameterTypes) {
    BuildLanguage(R"("Expressions": [{"Returns": "Nothing", "Parameters": [["Object", "o"]]}])");
    ExpectBoxes({ReturnBox("Nothing"), TypeBox("Object")});
    EXPECT_EQ(HostWords(Kvor::ExpressionInfoAt(0)), (Words{0, 0, 1, 0, 0}));
}

TEST_F(RecordsTest, AnActionTypeUnknownToTheTableIsBuiltWithCodeZero) {
    BuildLanguage(
        R"("Actions": [{"Parameters": [["Zone", "z"], ["Sprite", "s"], ["Custom5", "c"]]}])");
    ExpectBoxes({TypeBox("Sprite")});
    EXPECT_EQ(HostWords(Kvor::ActionInfoAt(0)), (Words{0, 0, 3, 19, 0, 1005, 0, 0, 0}));
}

}  // namespace
}  // namespace records_test
