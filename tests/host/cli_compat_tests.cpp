// plenar-host.exe compat, and check's comparison of language sections: the
// cases of tests/descriptions/compat/cases.txt, each a released description
// changed in one way and the findings it must give, every rule among them.
#include <gtest/gtest.h>
#include <windows.h>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#include "../../host/cli/compat/rules.h"
#include "../../host/cli/paths.h"
#include "cli_runner.h"
#include "plenar_sim/temp_folder.h"
#include "plenar_sim/utf8.h"

namespace cli_test {
std::wstring quoted(const std::wstring& path);  // cli_validate_tests.cpp
}

namespace {

using namespace cli_test;

const std::string cases_folder = std::string(LUMBRA_TEST_DESCRIPTIONS) + "/compat/";

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string read_text(const std::string& path) {
    std::ifstream file(plenar::cli::windows_path(plenar::sim::wide_from_utf8(path)).c_str(),
                       std::ios::binary);
    EXPECT_TRUE(file) << path;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Edits by line number of the base: "N -" drops line N, "N TEXT" replaces
// it, "N+ TEXT" adds TEXT after it (several in order).
struct Edits {
    std::map<int, std::string> replaced;
    std::set<int> dropped;
    std::multimap<int, std::string> added;

    void read(const std::string& edit) {
        const size_t blank = edit.find(' ');
        const std::string where = edit.substr(0, blank);
        const std::string text = blank == std::string::npos ? "" : edit.substr(blank + 1);
        const int line = std::stoi(where);
        if (where.back() == '+')
            added.insert({line, text});
        else if (text == "-")
            dropped.insert(line);
        else
            replaced[line] = text;
    }

    std::string applied_to(const std::string& base) const {
        std::string result;
        const std::vector<std::string> lines = lines_of(base);
        for (int n = 1; n <= int(lines.size()); ++n) {
            const auto replacement = replaced.find(n);
            if (!dropped.count(n))
                result +=
                    (replacement != replaced.end() ? replacement->second : lines[n - 1]) + "\n";
            for (auto [at, end] = added.equal_range(n); at != end; ++at)
                result += at->second + "\n";
        }
        return result;
    }
};

struct Case {
    std::string name;
    std::string base = "released.json";
    std::string command = "compat";
    std::string plugin;
    Edits old_edits, new_edits;
    std::multiset<std::string> expected;  // "LINE:COLUMN: SEVERITY: RULE [PATH]"
};

std::vector<Case> read_cases() {
    std::vector<Case> cases;
    for (const std::string& line : lines_of(read_text(cases_folder + "cases.txt"))) {
        if (line.empty() || line[0] == '#') continue;
        const size_t blank = line.find(' ');
        const std::string word = line.substr(0, blank), rest = line.substr(blank + 1);
        if (word == "==") {
            cases.emplace_back().name = rest;
            continue;
        }
        if (cases.empty()) {
            ADD_FAILURE() << "a line before the first case: " << line;
            continue;
        }
        Case& c = cases.back();
        if (word == "base")
            c.base = rest;
        else if (word == "run")
            c.command = rest;
        else if (word == "plugin")
            c.plugin = rest;
        else if (word == "old")
            c.old_edits.read(rest);
        else if (word == "new")
            c.new_edits.read(rest);
        else if (word == "expect")
            c.expected.insert(rest);
        else
            ADD_FAILURE() << "not understood: " << line;
    }
    return cases;
}

// A finding as the expectations write it, from a printed line; empty for
// lines that are no finding of the comparison.
std::string finding(const std::string& line) {
    const size_t file_end = line.find("new.json:");
    if (file_end == std::string::npos ||
        line.find(": note: linking not checked") != std::string::npos)
        return {};
    const std::string rest = line.substr(file_end + 9);
    size_t head_end = 0;
    for (int separator = 0; separator < 3; ++separator) head_end = rest.find(": ", head_end) + 2;
    const size_t path = rest.rfind(" [");
    return rest.substr(0, head_end - 2) + (path == std::string::npos ? "" : rest.substr(path));
}

TEST(CliCompat, EveryCaseGivesItsFindingsAtTheirPlacesAndEveryRuleHasOne) {
    std::set<std::string> rules_met;
    for (const Case& c : read_cases()) {
        SCOPED_TRACE(c.name);
        plenar::sim::TempFolder folder;
        const std::string base = read_text(cases_folder + c.base);
        const std::wstring old_path = folder.write_file(L"old.json", c.old_edits.applied_to(base));
        const std::wstring new_path = folder.write_file(L"new.json", c.new_edits.applied_to(base));
        std::wstring arguments = c.command == "check"
                                     ? L"check " + quoted(new_path)
                                     : L"compat " + quoted(old_path) + L" " + quoted(new_path);
        if (!c.plugin.empty())
            arguments += L" --plugin " + quoted(plenar::sim::program_folder() + L"\\" +
                                                plenar::sim::wide_from_utf8(c.plugin));
        const CliRun run = run_cli(arguments);
        std::multiset<std::string> found;
        bool error = false;
        for (const std::string& line : lines_of(run.output)) {
            const std::string f = finding(line);
            if (f.empty()) continue;
            found.insert(f);
            error |= f.find(": error: ") != std::string::npos;
        }
        EXPECT_EQ(found, c.expected) << run.output;
        EXPECT_EQ(run.status, error ? 1u : 0u) << run.output;
        for (const std::string& expected : c.expected) {
            const size_t rule = expected.find(": ", expected.find(": ") + 2) + 2;
            rules_met.insert(expected.substr(rule, expected.find(' ', rule) - rule));
        }
    }
    for (const plenar::cli::compat::RuleInfo& rule : plenar::cli::compat::all_rules())
        EXPECT_TRUE(rules_met.count(rule.name)) << "no case of " << rule.name;
}

TEST(CliCompat, JsonCarriesTheFindingsAndBadUseIsStatus2) {
    const std::string released_path = cases_folder + "released.json";
    const std::wstring released = quoted(plenar::sim::wide_from_utf8(released_path));
    const CliRun same = run_cli(L"compat " + released + L" " + released);
    EXPECT_EQ(same.status, 0u) << same.output;
    EXPECT_EQ(same.output, "0 errors, 0 warnings, 0 notes\n");
    plenar::sim::TempFolder folder;
    std::string text = read_text(released_path);
    text.replace(text.find("CMPT"), 4, "CMPX");
    const std::wstring changed = folder.write_file(L"new.json", text);
    const CliRun json = run_cli(L"compat " + released + L" " + quoted(changed) + L" --json");
    EXPECT_EQ(json.status, 1u) << json.output;
    EXPECT_TRUE(has(json.output, "\"errors\": 1, \"warnings\": 0, \"notes\": 0,")) << json.output;
    EXPECT_TRUE(has(json.output,
                    "{\"severity\": \"error\", \"line\": 4, \"column\": 16, "
                    "\"rule\": \"identifier-changed\""))
        << json.output;
    const std::wstring not_json = folder.write_file(L"broken.json", "{\"Identifier\": ");
    for (const std::wstring& arguments :
         {L"compat " + released, L"compat " + released + L" C:\\no\\such.json",
          L"compat " + released + L" " + quoted(not_json),
          L"compat " + released + L" " + released + L" --frobnicate"})
        EXPECT_EQ(run_cli(arguments).status, 2u) << plenar::sim::utf8_from_wide(arguments);
}

}  // namespace
