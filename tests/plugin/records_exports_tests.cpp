// The records of actions, conditions and expressions as the host reads them:
// Lumbra's own, type names to codes, and the parameter limit.
#include "editor_fixture.h"

using namespace lumbra_test;

namespace {

// --- records ----------------------------------------------------------------

// A record as the host reads it: id, flags, count, codes, then zero words.
void ExpectRecord(const plenar::AceRecord* record, int16_t id, uint16_t flags,
                  const std::vector<uint16_t>& codes) {
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->id, id);
    EXPECT_EQ(record->flags, flags);
    ASSERT_EQ(record->parameter_count, static_cast<int16_t>(codes.size()));
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(record->code(int(i)), codes[i]) << "parameter " << i;
        EXPECT_EQ(record->code(int(codes.size() + i)), 0) << "zero word " << i;
    }
}

TEST_F(EditorExports, LumbrasRecordsAsTheHostSeesThem) {
    Start();
    host.set_version(compatible_host);
    ExpectRecord(Record("GetActionInfos", 0), 0, 0, {45});
    ExpectRecord(Record("GetActionInfos", 1), 1, 0, {});
    ExpectRecord(Record("GetConditionInfos", 0), 0, 0x0220, {22, 22});
    ExpectRecord(Record("GetExpressionInfos", 0), 0, 0, {1, 1});
    ExpectRecord(Record("GetExpressionInfos", 1), 1, 1, {});
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(EditorExports, IdsWithoutARecordGiveNull) {
    Start();
    struct {
        const char* name;
        int32_t id;
    } rows[] = {
        {"GetActionInfos", 2},      {"GetActionInfos", -1},     {"GetActionInfos", 0xFFFF},
        {"GetConditionInfos", 1},   {"GetConditionInfos", -1},  {"GetExpressionInfos", 2},
        {"GetExpressionInfos", -1}, {"GetActionInfos", 0x7FFF},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Record(row.name, row.id), nullptr) << row.name << " " << row.id;
    // The id is a 16-bit number: what lies above it is not part of it.
    ExpectRecord(Record("GetActionInfos", 0x10001), 1, 0, {});
}

struct TypeRow {
    const char* name;
    uint16_t code;
    bool known;
};

// Parameter type names of actions and conditions, in any case.
const TypeRow parameter_types[] = {
    {"text", 45, true},
    {"STRING", 45, true},
    {"filename", 40, true},
    {"File", 40, true},
    {"float", 22, true},
    {"INTEGER", 22, true},
    {"unsigned integer", 22, true},
    {"object", 1, true},
    {"Position", 8, true},
    {"create", 9, true},
    {"SysCreate", 20, true},
    {"animation", 10, true},
    {"nop", 11, true},
    {"Player", 12, true},
    {"every", 13, true},
    {"KEY", 14, true},
    {"speed", 15, true},
    {"joydirection", 17, true},
    {"Shoot", 18, true},
    {"zone", 19, true},
    {"comparison", 23, true},
    {"stringcomparison", 46, true},
    {"colour", 24, true},
    {"COLOR", 24, true},
    {"frame", 26, true},
    {"SampleLoop", 27, true},
    {"musicloop", 28, true},
    {"NewDirection", 29, true},
    {"textnumber", 30, true},
    {"click", 31, true},
    {"program", 33, true},
    {"Custom12", 1012, true},
    {"custom", 1000, true},
    {"Customer", 1000, true},
    {"CUSTOM7x", 1007, true},
    {"Texts", 0, false},
    {"Foo", 0, false},
    {"", 0, false},
    {"Caf\xC3\xA9", 0, false},  // its accent survives the ANSI box
};

const TypeRow expression_parameter_types[] = {
    {"text", 3, true},     {"STRING", 3, true},           {"Float", 1, true},
    {"integer", 1, true},  {"Unsigned Integer", 1, true}, {"Object", 0, false},
    {"Custom3", 0, false},
};

const TypeRow return_types[] = {
    {"integer", 0, true}, {"FLOAT", 2, true}, {"text", 1, true},
    {"String", 1, true},  {"short", 0, true}, {"unsigned integer", 0, true},
    {"Bogus", 0, false},
};

std::string Entry(const std::string& extra, const char* type) {
    return "{\"Title\": \"t\"" + extra + ", \"Parameters\": [[\"" + type + "\", \"p\"]]}";
}

// Adds one element to a comma-separated list.
void Append(std::string& list, const std::string& element) {
    if (!list.empty()) list += ',';
    list += element;
}

TEST_F(EditorExports, TypeNamesThroughTheRecords) {
    std::string actions, conditions, expressions;
    using lumbra_test::Shown;
    namespace message = Kvor::message;
    std::vector<lumbra_test::ShownMessage> expected_messages;
    for (const TypeRow& row : parameter_types) {
        Append(actions, Entry("", row.name));
        if (!row.known)
            expected_messages.push_back(Shown(message::unknown_parameter_type, row.name));
    }
    for (const TypeRow& row : parameter_types) {
        Append(conditions, Entry(", \"Triggered\": true", row.name));
        if (!row.known)
            expected_messages.push_back(Shown(message::unknown_parameter_type, row.name));
    }
    for (const TypeRow& row : expression_parameter_types) {
        Append(expressions, Entry(", \"Returns\": \"Integer\"", row.name));
        if (!row.known)
            expected_messages.push_back(Shown(message::unknown_parameter_type, row.name));
    }
    for (const TypeRow& row : return_types) {
        expressions += std::string(",{\"Title\": \"r\", \"Returns\": \"") + row.name + "\"}";
        if (!row.known) expected_messages.push_back(Shown(message::unknown_return_type, row.name));
    }
    expressions += ",{\"Title\": \"no return type\"}";
    expected_messages.push_back(Shown(message::unknown_return_type, ""));

    StartWith(R"({"Identifier": "LMBR", "Dependencies": [], "UK English": {"Actions": [)" +
              actions + "], \"Conditions\": [" + conditions + "], \"Expressions\": [" +
              expressions + "]}}");

    int16_t id = 0;
    for (const TypeRow& row : parameter_types) {
        ExpectRecord(Record("GetActionInfos", id), id, 0, {row.code});
        ExpectRecord(Record("GetConditionInfos", id), id, 0, {row.code});
        ++id;
    }
    id = 0;
    for (const TypeRow& row : expression_parameter_types) {
        ExpectRecord(Record("GetExpressionInfos", id), id, 0, {row.code});
        ++id;
    }
    for (const TypeRow& row : return_types) {
        ExpectRecord(Record("GetExpressionInfos", id), id, row.code, {});
        ++id;
    }
    ExpectRecord(Record("GetExpressionInfos", id), id, 0, {});

    ASSERT_EQ(Boxes().size(), expected_messages.size());
    for (size_t i = 0; i < expected_messages.size(); ++i)
        lumbra_test::ExpectShown(Boxes()[i], expected_messages[i]);
}

struct KindRow {
    const char* name;
    const char* member;
    const char* noun;
    const char* records;
    const char* type;  // a type name of that kind
    uint16_t code;
    const char* extra;  // members every entry of the kind carries
    uint16_t flags;
};

class ParameterLimit : public EditorExports, public ::testing::WithParamInterface<KindRow> {};

TEST_P(ParameterLimit, SixteenAcceptedSeventeenRefused) {
    const KindRow& k = GetParam();
    auto entry = [&](int parameters) {
        std::string list;
        for (int i = 0; i < parameters; ++i)
            list += std::string(i ? "," : "") + "[\"" + k.type + "\", \"p\"]";
        return std::string("{\"Title\": \"t\"") + k.extra + ", \"Parameters\": [" + list + "]}";
    };
    StartWith(std::string(R"({"Identifier": "LMBR", "Dependencies": [], "UK English": {")") +
              k.member + "\": [" + entry(16) + "," + entry(17) + "," + entry(1) + "]}}");

    ExpectRecord(Record(k.records, 0), 0, k.flags, std::vector<uint16_t>(16, k.code));
    ASSERT_EQ(Boxes().size(), 1u);
    lumbra_test::ExpectShown(
        Boxes()[0], lumbra_test::ShownAbout(k.noun, Kvor::message::too_many_parameters, k.noun));
    // The refused entry keeps its place, so the next one is still at its own id.
    const plenar::AceRecord* refused = Record(k.records, 1);
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->id, 1);
    EXPECT_EQ(refused->parameter_count, 0);
    ExpectRecord(Record(k.records, 2), 2, k.flags, {k.code});
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ParameterLimit,
    ::testing::Values(KindRow{"Actions", "Actions", "action", "GetActionInfos", "Text", 45, "", 0},
                      KindRow{"Conditions", "Conditions", "condition", "GetConditionInfos",
                              "Integer", 22, "", 0x0220},
                      KindRow{"Expressions", "Expressions", "expression", "GetExpressionInfos",
                              "String", 3, ", \"Returns\": \"Float\"", 2}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
