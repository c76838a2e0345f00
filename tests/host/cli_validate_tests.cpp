// plenar-host.exe validate and list, run as a description author runs them,
// on the built plug-in with and without a description beside it.
#include <windows.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>
#include "kvor/messages.h"
#include "plenar_sim/host_values.h"
#include "cli_runner.h"
#include "plenar_sim/checked_call.h"
#include "plenar_sim/temp_folder.h"
#include "plenar_sim/utf8.h"

using plenar::sim::program_folder;

namespace cli_test {

std::wstring quoted(const std::wstring& path) { return L"\"" + path + L"\""; }
std::wstring lumbra() { return quoted(program_folder() + L"\\Lumbra.pvx"); }
std::wstring description(const char* name) {
    const std::string path = std::string(LUMBRA_TEST_DESCRIPTIONS) + "/" + name;
    return quoted(plenar::sim::wide_from_utf8(path));
}

}  // namespace cli_test

namespace {

using namespace cli_test;

const char* const check_names[] = {
    "exports",       "initialize",     "menus",  "record-counts", "linking",   "state-round-trip",
    "state-damaged", "state-released", "memory", "ids",           "fuzz-calls"};

size_t lines(const std::string& text) {
    size_t count = 0;
    for (char c : text) count += c == '\n';
    return count;
}

class EveryCheck : public testing::TestWithParam<const wchar_t*> {};

TEST_P(EveryCheck, Passes) {
    const CliRun run = run_cli(L"validate " + quoted(program_folder() + L"\\" + GetParam()) +
                               L" --memory-cycles 40 --seed 5");
    EXPECT_EQ(run.status, 0u) << run.output;
    // Where no stack balance can be measured, the exports check says so; the
    // calls' fuzzing names the seed it drew from; without a released
    // description there is nothing to read under it.
    for (const std::string name : check_names) {
        const std::string note =
            name == "exports" && !plenar::sim::stack_measured
                ? std::string(" (stack balance ") + plenar::sim::stack_not_measured_reason + ")\n"
            : name == "fuzz-calls"     ? " (seed 5, "
            : name == "state-released" ? " (no --released description given)\n"
                                       : "\n";
        EXPECT_TRUE(has(run.output, "pass  " + name + note)) << name << "\n" << run.output;
    }
    EXPECT_TRUE(has(run.output, "11 checks, 0 failed\n")) << run.output;
    EXPECT_FALSE(has(run.output, "FAIL")) << run.output;
}

INSTANTIATE_TEST_SUITE_P(OnLumbraAndTheExample, EveryCheck,
                         testing::Values(L"Lumbra.pvx", L"Gauge.pvx"));

TEST(CliValidate, TheRoundTripOfEveryKindOfPropertyPasses) {
    const CliRun run = run_cli(L"validate " + lumbra() + L" --description " +
                               description("every-property.json") + L" --filter round-trip");
    EXPECT_EQ(run.status, 0u) << run.output;
    EXPECT_EQ(run.output, "pass  state-round-trip\n1 checks, 0 failed\n");
}

TEST(CliValidate, AConditionDeclaringOneIntegerFailsTheLinkingCheckOnly) {
    const CliRun run =
        run_cli(L"validate " + lumbra() + L" --description " +
                description("condition-one-integer.json") + L" --memory-cycles 20 --only-failed");
    EXPECT_EQ(run.status, 1u) << run.output;
    const std::string caption =
        Kvor::MessageCaption(Kvor::message::link_mismatch, "Lumbra", "condition");
    std::string text =
        Kvor::MessageText(Kvor::message::link_mismatch, "condition", 0, "Same?",
                          "(integer) giving an integer", "(integer, integer) giving an integer");
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "  ");  // one line a check
    EXPECT_TRUE(has(run.output, "FAIL  linking: CreateRunObject showed message box \"" + caption +
                                    "\": " + text))
        << run.output;
    EXPECT_FALSE(has(run.output, "pass  ")) << run.output;  // --only-failed
    EXPECT_TRUE(has(run.output, "11 checks, 1 failed\n")) << run.output;
    EXPECT_EQ(lines(run.output), 2u) << run.output;
}

// A block saved under Gauge's release reads under its description; with a
// property inserted before the others, the entries read the wrong values.
TEST(CliValidate, ABlockSavedUnderTheReleaseReadsUnderTheCurrentDescription) {
    const std::string gauge = std::string(LUMBRA_TEST_DESCRIPTIONS) + "/../../examples/Gauge/";
    const std::wstring released =
        quoted(plenar::sim::wide_from_utf8(gauge + "released/1.0.0.0.json"));
    const std::wstring validate = L"validate " + quoted(program_folder() + L"\\Gauge.pvx") +
                                  L" --filter ^state-released$ --released " + released;
    const CliRun kept = run_cli(validate);
    EXPECT_EQ(kept.status, 0u) << kept.output;
    EXPECT_EQ(kept.output, "pass  state-released\n1 checks, 0 failed\n");
    plenar::sim::TempFolder folder;
    const std::wstring inserted = folder.write_file(
        L"Gauge.json",
        R"({"Identifier": "GAUG", "Dependencies": [], "L": {"About": {"Name": "Gauge"},
            "LayoutRecord": true, "Properties": [
            {"Title": "Minimum", "Type": "Editbox Number", "DefaultState": 0},
            {"Title": "Maximum", "Type": "Editbox Number", "DefaultState": 100}]}})");
    const CliRun moved = run_cli(validate + L" --description " + quoted(inserted));
    EXPECT_EQ(moved.status, 1u) << moved.output;
    EXPECT_TRUE(has(moved.output, "FAIL  state-released: property 0 reads ")) << moved.output;
    EXPECT_TRUE(has(moved.output, " instead of its default, 0, box unticked (and "))
        << moved.output;
}

TEST(CliValidate, AMenuEntryWithoutARecordFailsTheMenusCheck) {
    const CliRun run =
        run_cli(L"validate " + lumbra() + L" --description " + description("menu-to-nowhere.json") +
                L" --filter ^(menus|record-counts)$");
    EXPECT_EQ(run.status, 1u) << run.output;
    EXPECT_TRUE(
        has(run.output, "FAIL  menus: Action menu entry 25007 gives code 7, which has no record\n"))
        << run.output;
    EXPECT_TRUE(has(run.output, "pass  record-counts\n")) << run.output;
}

TEST(CliValidate, InProcessGivesTheSameVerdicts) {
    const CliRun run = run_cli(L"validate " + lumbra() + L" --description " +
                               description("invalid/five-mistakes.json") +
                               L" --in-process --filter ^(initialize|menus)$");
    EXPECT_EQ(run.status, 1u) << run.output;
    const Kvor::Message& unknown = Kvor::message::unknown_parameter_type;
    EXPECT_TRUE(has(run.output, std::string("FAIL  initialize: Initialize showed message box \"") +
                                    unknown.caption +
                                    "\": " + Kvor::MessageText(unknown, "Vector")))
        << run.output;
    EXPECT_TRUE(has(run.output, "pass  menus\n")) << run.output;
    EXPECT_TRUE(has(run.output, "2 checks, 1 failed\n")) << run.output;
}

TEST(CliValidate, AMissingPluginFailsEveryCheckWithTheReason) {
    const CliRun run = run_cli(L"validate C:\\no\\such\\plugin.pvx --filter ^exports$");
    EXPECT_EQ(run.status, 1u) << run.output;
    EXPECT_TRUE(has(run.output, "FAIL  exports: ")) << run.output;
    EXPECT_TRUE(has(run.output, "plugin.pvx")) << run.output;
}

// The misbehaving plug-in, copied into `folder` with its orders beside it:
// "EXPORT ACTION" lines (print, crash, hang, exit).
std::wstring misbehaving_plugin(plenar::sim::TempFolder& folder, const char* orders) {
    folder.write_file(L"misbehaviour.txt", orders);
    return quoted(folder.place_copy(program_folder() + L"\\misbehaving_plugin.pvx"));
}

bool is_verdict_line(const std::string& line) {
    for (const char* tag : {"pass  ", "FAIL  ", "CRASH ", "TIMEOUT "})
        if (line.rfind(tag, 0) == 0) return true;
    return false;
}

// A check whose process crashes, hangs or ends early is reported so, the
// checks after it still run, and what the plug-in printed is shown beneath,
// never taken for a verdict.
TEST(CliValidate, ACrashAHangOrAnEarlyEndIsTheVerdictOfItsCheckOnly) {
    const struct {
        const char* orders;
        const wchar_t* options;
        std::vector<std::string> lines;
    } cases[] = {
        {"Initialize print\nGetActionMenu crash\nFree hang\n",
         L" --timeout 2 --memory-cycles 4",
         {"pass  initialize\n",
          "CRASH menus: access violation (0xC0000005)\n      | misbehaving plug-in: Initialize was "
          "called\n",
          "FAIL  record-counts: GetRunObjectInfos did not answer 1\n",
          "TIMEOUT memory: no answer after 2 s; its process was ended\n"
          "      | misbehaving plug-in: Initialize was called\n",
          "FAIL  ids: GetRunObjectInfos did not answer 1\n",
          "FAIL  fuzz-calls: GetRunObjectInfos did not answer 1\n",
          "11 checks, 9 failed (1 crashed, 1 timed out)\n"}},
        // Exit code 0 without a verdict is no pass.
        {"GetActionMenu exit\n",
         L" --filter ^menus$",
         {"CRASH menus: its process ended with exit code 0 before giving a result\n",
          "1 checks, 1 failed (1 crashed)\n"}},
    };
    for (const auto& c : cases) {
        plenar::sim::TempFolder folder;
        const CliRun run = run_cli(L"validate " + misbehaving_plugin(folder, c.orders) + c.options);
        EXPECT_EQ(run.status, 1u) << c.orders << run.output;
        for (const std::string& line : c.lines)
            EXPECT_TRUE(has(run.output, line)) << line << "\n" << run.output;
        std::istringstream report(run.output);
        for (std::string line; std::getline(report, line);) {
            if (!is_verdict_line(line)) continue;
            EXPECT_FALSE(has(line, "misbehaving plug-in")) << line;
        }
    }
}

// Calls with boundary arguments find a routine crashing on INT_MIN (named
// with the call and the seed), one letting an exception out and one showing
// a box of its own; the verdicts go to JUnit XML and JSON as well.
TEST(CliValidate, FuzzingTheCallsFindsWhatARoutineDoesNotSurvive) {
    const struct {
        const char* orders;
        const char* verdict;
    } cases[] = {
        {"Action crash-on-minimum\n",
         "CRASH fuzz-calls: access violation (0xC0000005) while calling action 0 (INT_MIN), seed "
         "3\n"},
        // Caught by the validator, or ending its process where no unwinding
        // reaches it: either way the call is named.
        {"Condition throw\n", "condition 0 (0)"},
        {"Expression box\nInitialize print\n",
         "FAIL  fuzz-calls: expression 0 (0) showed message box \"Expression\": misbehaving "
         "plug-in (seed 3)\n"},
    };
    for (const auto& c : cases) {
        plenar::sim::TempFolder folder;
        const std::string orders = std::string("GetRunObjectInfos tables\n") + c.orders;
        const std::wstring plugin = misbehaving_plugin(folder, orders.c_str());
        const std::wstring junit = folder.file(L"junit.xml");
        const CliRun run =
            run_cli(L"validate " + plugin +
                    L" --seed 3 --filter ^(initialize|fuzz-calls)$ --junit " + quoted(junit));
        EXPECT_EQ(run.status, 1u) << run.output;
        EXPECT_TRUE(has(run.output, c.verdict)) << c.verdict << "\n" << run.output;
        const std::string xml = plenar::sim::read_file(junit);
        EXPECT_TRUE(has(xml, "tests=\"11\" failures=\"1\" errors=\"0\" skipped=\"9\"")) << xml;
        EXPECT_TRUE(
            has(xml, "<skipped message=\"not selected by --filter ^(initialize|fuzz-calls)$\"/>"))
            << xml;
        EXPECT_TRUE(has(xml, "<failure type=\"")) << xml;
    }
    // The last case again as JSON: what the initialize check's process
    // printed, and the failure with its reason.
    plenar::sim::TempFolder folder;
    const CliRun run = run_cli(
        L"validate " +
        misbehaving_plugin(folder, "GetRunObjectInfos tables\nExpression box\nInitialize print\n") +
        L" --seed 3 --filter ^(initialize|fuzz-calls)$ --json");
    EXPECT_EQ(run.status, 1u) << run.output;
    EXPECT_EQ(run.output.rfind("{\n  \"plugin\": ", 0), 0u) << run.output;
    EXPECT_TRUE(has(run.output,
                    "{\"name\": \"initialize\", \"verdict\": \"pass\", \"reason\": "
                    "\"\", \"output\": \"misbehaving plug-in: Initialize was called"))
        << run.output;
    EXPECT_TRUE(has(run.output,
                    "{\"name\": \"fuzz-calls\", \"verdict\": \"fail\", \"reason\": "
                    "\"expression 0 (0) showed message box \\\"Expression\\\": "
                    "misbehaving plug-in (seed 3)\""))
        << run.output;
}

TEST(CliValidate, BadArgumentsGiveUsage) {
    const std::wstring usage_errors[] = {
        L"validate", L"validate " + lumbra() + L" --frobnicate",
        L"validate " + lumbra() + L" --filter (", L"validate " + lumbra() + L" --timeout 0",
        L"validate " + lumbra() + L" --timeout 2s", L"validate " + lumbra() + L" --seed -1",
        L"validate " + lumbra() + L" --seed 4294967296", L"validate " + lumbra() + L" --junit",
        // In the validator's own process nothing can end a hang.
        L"validate " + lumbra() + L" --in-process --timeout 5",
        L"run-check no-such-check " + lumbra() + L" --result result.txt",
        L"run-check exports " + lumbra(),  // no result file
    };
    for (const std::wstring& arguments : usage_errors)
        EXPECT_EQ(run_cli(arguments).status, 2u) << plenar::sim::utf8_from_wide(arguments);
}

TEST(CliList, PrintsEveryCheckWithItsDescription) {
    const CliRun run = run_cli(L"list");
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(lines(run.output), std::size(check_names)) << run.output;
    size_t at = 0;
    for (const char* name : check_names) {
        const size_t line = run.output.find(std::string(name) + "  ", at);
        ASSERT_NE(line, std::string::npos) << name << " missing or out of order:\n" << run.output;
        const size_t end = run.output.find('\n', line);
        EXPECT_GT(end - line, std::string(name).size() + 20) << "no description for " << name;
        at = end;
    }
}

// The host's value objects, seen as the plug-in sees them: data words after
// the class pointer, slots called thiscall.
plenar::Word Slot(plenar::PropValue* value, int slot,
                  std::initializer_list<plenar::Word> arguments = {}) {
    const void* const* table = *reinterpret_cast<const void* const* const*>(value);
    std::vector<plenar::Word> words(arguments);
    auto result =
        plenar::sim::checked_call(table[slot], words, plenar::sim::Convention::thiscall, value);
    EXPECT_TRUE(result.balanced()) << "slot " << slot;
    return result.value;
}

TEST(HostValues, TextAndNumberObjectsHaveTheHostsLayoutAndSlots) {
    using plenar::sim::HostValue;
    auto* text = new HostValue(std::wstring(L"Gr\u00fc\u00dfe"));
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(
                  plenar::PropLayout<plenar::PropPointerLayout>(text).data)),
              L"Gr\u00fc\u00dfe");
    EXPECT_EQ(Slot(text, 4), uint32_t(plenar::prop_class_wstr));

    auto* number = new HostValue(0xDEADBEEFu);
    EXPECT_EQ(plenar::PropLayout<plenar::PropNumberLayout>(number).value, 0xDEADBEEFu);
    EXPECT_EQ(Slot(number, 4), uint32_t(plenar::prop_class_dword));

    auto* copy = reinterpret_cast<plenar::PropValue*>(Slot(text, 2));
    EXPECT_EQ(Slot(text, 3, {plenar::sim::word(copy)}), 1u);
    EXPECT_EQ(Slot(text, 3, {plenar::sim::word(static_cast<plenar::PropValue*>(number))}), 0u);
    HostValue other(std::wstring(L"x"));
    EXPECT_EQ(Slot(text, 5, {plenar::sim::word(static_cast<plenar::PropValue*>(&other))}), 1u);
    EXPECT_EQ(other.text(), L"Gr\u00fc\u00dfe");
    EXPECT_EQ(Slot(number, 5, {plenar::sim::word(static_cast<plenar::PropValue*>(&other))}), 0u);
    Slot(copy, 1);
    Slot(text, 0, {1});  // the destructor slot with bit 0 frees
    Slot(number, 1);
}

}  // namespace
