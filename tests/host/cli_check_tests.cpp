// plenar-host.exe check: a description's messages as placed diagnostics,
// checked against the object type given or against none, the lint pass's
// findings, and the scanner that finds the places.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include "../../host/cli/checks/message_match.h"
#include "../../host/cli/checks/message_places.h"
#include "../../host/cli/json_places.h"
#include "../../host/cli/lint/lint.h"
#include "../../host/cli/paths.h"
#include "kvor/messages.h"
#include "plenar_sim/temp_folder.h"

#include "cli_runner.h"

namespace cli_test {
std::wstring description(const char* name);  // cli_validate_tests.cpp
std::wstring lumbra();
std::wstring quoted(const std::wstring& path);
}  // namespace cli_test

namespace {

using namespace cli_test;
using plenar::cli::JsonNode;
using plenar::cli::MessagePlaces;
using plenar::cli::scan_json;
namespace message = Kvor::message;

// A catalogued message as check prints it, "CAPTION: TEXT", raised by the
// library named `library`: without --plugin, the description's own name.
template <typename... A>
std::string diagnostic(const char* library, const Kvor::Message& m, const char* kind,
                       A... arguments) {
    return Kvor::MessageCaption(m, library, kind ? kind : "") + ": " +
           Kvor::MessageText(m, arguments...);
}

std::string shown(const char* name) { return std::string(LUMBRA_TEST_DESCRIPTIONS) + "/" + name; }

const char* const not_linked = ": note: linking not checked";

// A description is checked against the object type given, whose members are
// linked against it; without one nothing is linked, and a note says so once.
struct LinkingCase {
    const char* description;
    const wchar_t* plugin;  // null: no --plugin
    bool linking_errors;
};

class CheckedAgainst : public testing::TestWithParam<LinkingCase> {};

TEST_P(CheckedAgainst, LinksTheMembersOfThatObjectTypeOnly) {
    const LinkingCase& c = GetParam();
    std::wstring arguments = L"check " + description(c.description);
    if (c.plugin)
        arguments += L" --plugin " + quoted(plenar::sim::program_folder() + L"\\" + c.plugin);
    const CliRun run = run_cli(arguments);
    EXPECT_EQ(run.status, c.linking_errors ? 1u : 0u) << run.output;
    EXPECT_EQ(has(run.output, "Error linking"), c.linking_errors) << run.output;
    EXPECT_EQ(has(run.output, shown(c.description) + not_linked), !c.plugin) << run.output;
    if (!c.linking_errors) {
        EXPECT_FALSE(has(run.output, ": error: ") || has(run.output, ": warning: ")) << run.output;
    }
}

INSTANTIATE_TEST_SUITE_P(
    ObjectTypes, CheckedAgainst,
    testing::Values(LinkingCase{"../../res/Lumbra.json", L"Lumbra.pvx", false},
                    LinkingCase{"../../res/Lumbra.json", nullptr, false},
                    LinkingCase{"../../examples/Gauge/Gauge.json", L"Gauge.pvx", false},
                    LinkingCase{"../../examples/Gauge/Gauge.json", nullptr, false},
                    LinkingCase{"../../examples/Gauge/Gauge.json", L"Lumbra.pvx", true}));

TEST(CliCheck, TheTestDescriptionsWithoutMistakesPrintNothing) {
    const CliRun run =
        run_cli(L"check " + description("every-property.json") + L" --plugin " + lumbra());
    EXPECT_EQ(run.status, 0u) << run.output;
    EXPECT_EQ(run.output, "");
}

TEST(CliCheck, AllFivePlantedMistakesAreReportedWithTheirPlaces) {
    const CliRun run = run_cli(L"check " + description("invalid/five-mistakes.json"));
    EXPECT_EQ(run.status, 1u) << run.output;
    const std::string file = shown("invalid/five-mistakes.json");
    for (const std::string& planted : {
             ":11:55: error: " +
                 diagnostic("five-mistakes", message::unknown_parameter_type, nullptr, "Vector") +
                 " [Actions[2].Parameters[1]]\n",
             ":14:19: error: " +
                 diagnostic("five-mistakes", message::too_many_parameters, "action", "action") +
                 " [Actions[3].Parameters]\n",
             ":29:35: error: " +
                 diagnostic("five-mistakes", message::unknown_return_type, nullptr, "Boolean") +
                 " [Expressions[2].Returns]\n",
             ":34:4: warning: " +
                 diagnostic("five-mistakes", message::combo_without_items, nullptr) +
                 " [Properties[2]]\n",
             ":35:32: error: " +
                 diagnostic("five-mistakes", message::unknown_property_type, nullptr,
                            "Editbox Strnig") +
                 " [Properties[3].Type]\n",
         })
        EXPECT_TRUE(has(run.output, file + planted)) << planted << "\n" << run.output;
    // Nothing was linked, which the note says once; every other line carries a place.
    EXPECT_FALSE(has(run.output, "Error linking")) << run.output;
    EXPECT_EQ(run.output.find(not_linked), run.output.rfind(not_linked)) << run.output;
    size_t start = 0;
    for (size_t end; (end = run.output.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = run.output.substr(start, end - start);
        if (!has(line, not_linked)) {
            EXPECT_EQ(line.back(), ']') << "no path: " << line;
        }
    }
}

// Mistakes the SDK reads past in silence or names badly, kept as fixture
// descriptions with the lines check prints for each beside them
// (tests/descriptions/fixtures.jsonc): each at what it names. Other language
// sections' own messages name their section; one every load shows is said once.
TEST(CliCheck, EveryFixtureGetsTheLinesItsDataNames) {
    const std::string data = plenar::sim::read_file(plenar::cli::windows_path(
        plenar::sim::wide_from_utf8(std::string(LUMBRA_TEST_DESCRIPTIONS) + "/fixtures.jsonc")));
    const auto scan = scan_json(data);
    ASSERT_TRUE(scan.root) << scan.error;
    size_t checked = 0;
    for (const JsonNode& fixture : scan.root->items) {
        const JsonNode& lines = fixture["lines"];
        if (!lines.is(JsonNode::Kind::array)) continue;
        const std::string name = fixture["file"].text;
        const CliRun run = run_cli(L"check " + description(name.c_str()));
        bool errors = false;
        for (const JsonNode& line : lines.items) {
            errors |= has(line.text, ": error: ");
            EXPECT_TRUE(has(run.output, shown(name.c_str()) + ":" + line.text + "\n"))
                << line.text << "\n"
                << run.output;
            ++checked;
        }
        EXPECT_EQ(run.status, errors ? 1u : 0u) << name << "\n" << run.output;
        if (name == "invalid/second-section.json") {
            EXPECT_EQ(run.output.find("setup warning"), run.output.rfind("setup warning"))
                << run.output;
        }
    }
    EXPECT_GE(checked, 10u);
}

// A warning fails the check only when asked to; --json carries the same findings.
TEST(CliCheck, WarningsFailOnlyWhenAskedAndJsonCarriesTheSameFindings) {
    const std::wstring checked = L"check " + description("invalid/combo-without-items.json");
    const CliRun lines = run_cli(checked);
    EXPECT_EQ(lines.status, 0u) << lines.output;
    EXPECT_TRUE(has(lines.output, ": warning: ")) << lines.output;
    EXPECT_EQ(run_cli(checked + L" --warnings-as-errors").status, 1u);
    const CliRun json = run_cli(checked + L" --json");
    EXPECT_EQ(json.status, 0u) << json.output;
    EXPECT_TRUE(has(json.output, "\"errors\": 0, \"warnings\": 2, \"notes\": 1,")) << json.output;
    EXPECT_TRUE(has(json.output, "{\"severity\": \"warning\", \"line\": ")) << json.output;
    EXPECT_TRUE(has(json.output, "\"rule\": \"linking not checked\"")) << json.output;
}

TEST(CliCheck, AReaderErrorIsPlacedByItsLineAndColumn) {
    plenar::sim::TempFolder folder;
    const std::wstring path = folder.write_file(
        L"broken.json",
        "{\"Identifier\": \"LMBR\",\n  \"L\": {\n    \"Actions\": [ 1 2 ]\n  }\n}\n");
    const CliRun run = run_cli(L"check \"" + path + L"\"");
    EXPECT_EQ(run.status, 1u) << run.output;
    EXPECT_TRUE(
        has(run.output, "broken.json:3:20: error: " +
                            diagnostic("broken", message::description_not_json, nullptr, "3:20: ")))
        << run.output;
}

TEST(CliCheck, AnUnclosedCommentIsPlacedWhereItOpens) {
    plenar::sim::TempFolder folder;
    const std::wstring path =
        folder.write_file(L"open.json", "{\"Identifier\": \"LMBR\",\n \"L\": {}} /* open\n");
    const CliRun run = run_cli(L"check \"" + path + L"\"");
    EXPECT_EQ(run.status, 1u) << run.output;
    EXPECT_TRUE(
        has(run.output, "open.json:2:11: error: " +
                            diagnostic("open", message::description_not_json, nullptr, "Line ")))
        << run.output;
}

TEST(CliCheck, AMissingDescriptionOrPluginIsReported) {
    EXPECT_EQ(run_cli(L"check C:\\no\\such.json").status, 1u);
    EXPECT_EQ(
        run_cli(L"check " + description("every-property.json") + L" --plugin C:\\no\\such.pvx")
            .status,
        1u);
    EXPECT_EQ(run_cli(L"check").status, 2u);
}

// The lint pass on its own: each finding as "LINE:COLUMN RULE: TEXT [PATH]".
std::string linted(const std::string& text) {
    plenar::cli::Diagnostics found("d.json");
    plenar::cli::lint_description(text, scan_json(text), found);
    std::string lines;
    for (const plenar::cli::Diagnostic& d : found.list())
        lines += std::to_string(d.line) + ":" + std::to_string(d.column) + " " + d.rule + ": " +
                 d.text + " [" + d.path + "]\n";
    return lines;
}

struct LintCase {
    std::string description;
    const char* expected;  // null: no finding at all
};

TEST(Lint, EachRuleFindsItsMistakeAtWhatItNames) {
    std::string thousand_and_one = R"({"L": {"Properties": [)";
    for (int i = 0; i < 1001; ++i) thousand_and_one += "\n{\"Type\": \"Checkbox\"},";
    thousand_and_one.back() = ']';
    thousand_and_one += "}}";
    const LintCase cases[] = {
        {R"({"Identifer": "LMBR", "L": {}})",
         "1:2 unknown-key: \"Identifer\" is not a key of the root; did you mean \"Identifier\"?"},
        {R"({"$schema": "x", "Dependencies": "", "L": {"About": {"Name": "n"}}})", nullptr},
        {R"({"L": {"Properties": [{"type": "Checkbox"}]}})",
         "1:24 unknown-key: \"type\" is not a key of a property; did you mean \"Type\"? "
         "[Properties[0].type]"},
        {R"({"L": {"About": {"Nmae": "n"}}})",
         "1:18 unknown-key: \"Nmae\" is not a key of About; did you mean \"Name\"?"},
        {R"({"L": {"About": {"Help": 3}}})",
         "1:26 wrong-kind: \"Help\" should be a string, not a whole number [About.Help]"},
        {R"({"L": {"ActionMenu": [[0, "a"]], "Actions": [{"Triggered": true}]}})",
         "1:47 unknown-key: \"Triggered\" is not a key of an action; it is read in conditions "
         "only"},
        {R"({"L": {"Expressions": [{"Returns": "Text", "NumAutoProps": 1.5}]}})",
         "1:60 wrong-kind: \"NumAutoProps\" should be a whole number, not a number with a "
         "fraction"},
        {R"({"L": {"Actions": [{"NumAutoProps": 99999999999999999999}]}})",
         "wrong-kind: \"NumAutoProps\" should be a whole number, not a number with a fraction"},
        {R"({"L": {"Actions": [{}], "ActionMenu": [["Sub", [3, "x"]]]}})",
         "1:49 menu-to-nowhere: this item offers action 3, but Actions has 1 entry "
         "[ActionMenu[0][1]]"},
        {R"({"L": {"Actions": [{}], "ActionMenu": [[0, "a"], [-1, "b"], 5, "separator"]}})",
         "1:51 menu-to-nowhere: this item has no action id (a whole number from 0 to 32767)"},
        {R"({"L": {"Actions": [{}], "ActionMenu": [[0, "a"], 5]}})",
         "1:50 menu-to-nowhere: a menu element is [id, text], [title, [...]] or \"Separator\""},
        {R"({"L": {"Conditions": [{"Title": "Same"}]}})",
         "1:23 not-in-a-menu: condition 0 \"Same\" is in no ConditionMenu, so the editor never "
         "offers it [Conditions[0]]"},
        {R"({"L": {"ActionMenu": [[0, "a"]], "Actions": [{"Title": "100% of %0"}]}})",
         "1:56 placeholder-beyond-parameters: \"%0\" names parameter 0, but this action has 0 "
         "parameters [Actions[0].Title]"},
        {R"({"L": {"ActionMenu": [[0, "a"]], "Actions": [{"Title": "%10 %1",)"
         R"( "Parameters": [[], [], [], [], [], [], [], [], [], [], []]}]}})",
         nullptr},
        {thousand_and_one,
         "1002:1 too-many-properties: the sheet has 1001 properties but tells apart only 1000"},
        {"\xEF\xBB\xBF{}", "1:1 byte-order-mark: the file begins with a UTF-8 byte-order mark"},
        {R"({"A": {"Actions": [{"Title": "x", "Paramters": []}]}, "B": {}})",
         "unknown-key: \"Paramters\" is not a key of an action; did you mean \"Parameters\"? "
         "[Actions[0].Paramters]"},
    };
    for (const LintCase& c : cases) {
        const std::string found = linted(c.description);
        if (!c.expected)
            EXPECT_EQ(found, "") << c.description;
        else
            EXPECT_TRUE(has(found, c.expected)) << c.expected << "\n" << found;
    }
}

// With more than one section, each finding inside one is named by it.
TEST(Lint, FindingsInASectionNameItWhenThereAreSeveral) {
    plenar::cli::Diagnostics found("d.json");
    const std::string text = R"({"Identifier": "X", "A": {"Titel": 1}, "B": {"Titel": 1}})";
    plenar::cli::lint_description(text, scan_json(text), found);
    ASSERT_EQ(found.list().size(), 2u);
    EXPECT_EQ(found.list()[0].section, "A");
    EXPECT_EQ(found.list()[1].section, "B");
}

// The scanner itself.

TEST(JsonPlaces, ValuesKeepTheirLineAndColumnThroughComments) {
    const auto scan =
        scan_json("// heading\n{\"a\": [1, /* two */ \"x\\ty\"],\n \"b\": {\"c\": true}}");
    ASSERT_TRUE(scan.root) << scan.error;
    const JsonNode& root = *scan.root;
    EXPECT_EQ(root.line, 2);
    EXPECT_EQ(root.column, 1);
    EXPECT_EQ(root["a"][size_t{1}].text, "x\ty");
    EXPECT_EQ(root["a"][size_t{1}].column, 21);
    EXPECT_EQ(root["b"]["c"].line, 3);
    EXPECT_EQ(root["b"]["c"].column, 13);
    EXPECT_TRUE(root["b"]["c"].boolean);
    EXPECT_TRUE(root["missing"][size_t{3}]["deeper"].is(JsonNode::Kind::none));
    EXPECT_EQ(root.members[1].value.name_line, 3);  // the name "b"
    EXPECT_EQ(root.members[1].value.name_column, 2);
    EXPECT_TRUE(
        scan_json("[1, 1.0, 18446744073709551616]").root->items[2].is(JsonNode::Kind::real));
    EXPECT_TRUE(scan_json("[-9223372036854775808]").root->items[0].is(JsonNode::Kind::integer));
}

TEST(JsonPlaces, SyntaxErrorsNameTheirPlace) {
    EXPECT_EQ(scan_json("{\"a\": [1 2]}").error, "1:10: expected , or ]");
    EXPECT_EQ(scan_json("{\n\"a\": 1} x").error, "2:9: trailing text");
    EXPECT_FALSE(scan_json("[1, /* open").root);
}

// A catalogued message as the plug-in named Lumbra shows it.
template <typename... A>
plenar::sim::MessageBoxCall box(const Kvor::Message& m, const char* kind, A... arguments) {
    plenar::sim::MessageBoxCall call;
    call.caption = Kvor::MessageCaption(m, "Lumbra", kind ? kind : "");
    call.text = Kvor::MessageText(m, arguments...);
    return call;
}

// Boxes are recognised through the catalogue: placeholders and arguments
// match any text, the rest only itself.
TEST(MessageMatch, RecognisesACataloguedBoxAndItsArguments) {
    using plenar::cli::match_message;
    const auto type =
        match_message(message::unknown_parameter_type, "Tovrandi - Error",
                      "Error reading Parameter type \"a\"; b\"; text did not match anything.");
    ASSERT_TRUE(type);
    EXPECT_EQ(type->arguments, std::vector<std::string>{"a\"; b"});
    const auto linked = match_message(
        message::link_beyond_declared, "Tovrandi - Error linking condition",
        "The extension links condition 4, but the description declares only 2 conditions.");
    ASSERT_TRUE(linked);
    EXPECT_EQ(linked->kind, "condition");
    EXPECT_EQ(linked->arguments, (std::vector<std::string>{"condition", "4", "2", "condition"}));
    EXPECT_TRUE(match_message(message::description_not_found, "Other - Error",
                              message::description_not_found.text));
    EXPECT_FALSE(match_message(message::description_not_found, "Other - Warning",
                               message::description_not_found.text));
    EXPECT_FALSE(match_message(message::settings_unreadable, "Tovrandi SDK - Error",
                               "Error opening Tovrandi.ini"));
    EXPECT_FALSE(match_message(message::unknown_return_type, "Tovrandi - Error",
                               "Error reading expression return"));
}

TEST(MessagePlaces, RepeatedMessagesTakeTheMatchingEntriesInOrder) {
    const std::string text = R"({"Identifier": "TEST", "Dependencies": [], "L": {
      "Actions": [{"Parameters": [["Foo", "a"]]}, {"Parameters": [["Text", "a"], ["Foo", "b"]]}],
      "Properties": [{"Type": "Checkbox"}, {"Type": "Checkbox", "DefaultState": 1}]}})";
    const auto scan = scan_json(text);
    ASSERT_TRUE(scan.root);
    MessagePlaces places(text, &*scan.root);
    const auto type = box(message::unknown_parameter_type, nullptr, "Foo");
    EXPECT_EQ(places.find(type)->path, "Actions[0].Parameters[0]");
    EXPECT_EQ(places.find(type)->path, "Actions[1].Parameters[1]");
    const auto checkbox = box(message::default_check_invalid, nullptr);
    EXPECT_EQ(places.find(checkbox)->path, "Properties[0]");
    const auto second = places.find(checkbox);
    EXPECT_EQ(second->path, "Properties[1].DefaultState");
    EXPECT_EQ(second->line, 3);
    plenar::sim::MessageBoxCall other = type;
    other.text = "Something else entirely.";
    EXPECT_FALSE(places.find(other));
}

TEST(MessagePlaces, ARefusedRecordMetAgainKeepsItsPlace) {
    const std::string text =
        R"({"Identifier": "TEST", "Dependencies": [], "L": {"Conditions": [{}, 5, {}, {}]}})";
    const auto scan = scan_json(text);
    ASSERT_TRUE(scan.root);
    MessagePlaces places(text, &*scan.root);
    const auto refused = box(message::entry_not_object, "condition");
    for (int reading = 0; reading < 3; ++reading)
        EXPECT_EQ(places.find(refused)->path, "Conditions[1]");
}

TEST(MessagePlaces, ALinkedMemberBeyondTheEntriesPointsAtTheShortArray) {
    const std::string text =
        "{\"Identifier\": \"TEST\", \"Dependencies\": [], \"L\": {\n \"Actions\": [{}]}}";
    const auto scan = scan_json(text);
    ASSERT_TRUE(scan.root);
    MessagePlaces places(text, &*scan.root);
    const auto action =
        places.find(box(message::link_beyond_declared, "action", "action", 1, 1u, "action"));
    ASSERT_TRUE(action);
    EXPECT_EQ(action->path, "Actions");
    EXPECT_EQ(action->line, 2);
    EXPECT_EQ(action->column, 13);
    const auto condition = places.find(
        box(message::link_beyond_declared, "condition", "condition", 0, 0u, "condition"));
    ASSERT_TRUE(condition);
    EXPECT_EQ(condition->path, "Conditions");
    EXPECT_EQ(condition->line, 1);  // the language section, which has none
}

}  // namespace
