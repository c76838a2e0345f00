// plenar-host.exe show and validate with --trace: a Trace Event file that a
// viewer opens, every export the host called with the callbacks the plug-in
// made during it.
#include <windows.h>
#include <gtest/gtest.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "plenar_sim/sim.h"
#include "plenar_sim/trace.h"
#include "cli_runner.h"

using namespace plenar::sim;

namespace {

struct Event {
    std::string name, category;
    double start = 0, duration = 0;
    std::string line;
};

std::string read_text(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string text_field(const std::string& line, const std::string& key) {
    const size_t at = line.find("\"" + key + "\":\"");
    if (at == std::string::npos) return {};
    const size_t start = at + key.size() + 4;
    return line.substr(start, line.find('"', start) - start);
}

double number_field(const std::string& line, const std::string& key) {
    const size_t at = line.find("\"" + key + "\":");
    return at == std::string::npos ? -1 : std::stod(line.substr(at + key.size() + 3));
}

// The events of a trace as the host writes it, one to a line between the
// opening and the closing of the list.
std::vector<Event> events_of(const std::string& trace) {
    std::vector<Event> events;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("{\"name\":", 0) != 0) continue;
        events.push_back({text_field(line, "name"), text_field(line, "cat"),
                          number_field(line, "ts"), number_field(line, "dur"), line});
    }
    return events;
}

const Event* find_event(const std::vector<Event>& events, const std::string& category,
                        const std::string& name_start) {
    for (const Event& event : events)
        if (event.category == category && event.name.rfind(name_start, 0) == 0) return &event;
    return nullptr;
}

// The export whose time span holds `callback` (the times are printed to
// thousandths of a microsecond).
const Event* enclosing_export(const std::vector<Event>& events, const Event& callback) {
    for (const Event& event : events)
        if (event.category == "export" && event.start <= callback.start + 0.002 &&
            callback.start + callback.duration <= event.start + event.duration + 0.002)
            return &event;
    return nullptr;
}

std::wstring lumbra() { return program_folder() + L"\\Lumbra.pvx"; }

// One traced show of Lumbra for the cases that only read the trace.
const std::string& lumbra_trace() {
    static const std::string trace = [] {
        TempFolder folder;
        const std::wstring file = folder.file(L"show.json");
        EXPECT_EQ(cli_test::run_cli(L"show \"" + lumbra() + L"\" --trace \"" + file + L"\"").status,
                  0u);
        return read_text(file);
    }();
    return trace;
}

TEST(ShowTrace, IsOneTraceEventList) {
    const std::string& trace = lumbra_trace();
    ASSERT_EQ(trace.rfind("{\"traceEvents\":[", 0), 0u) << trace.substr(0, 200);
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace.substr(trace.size() - 2), "]}");
    const std::vector<Event> events = events_of(trace);
    ASSERT_FALSE(events.empty());
    for (const Event& event : events) {
        EXPECT_NE(event.line.find("\"ph\":\"X\""), std::string::npos) << event.line;
        EXPECT_TRUE(event.category == "export" || event.category == "callback") << event.line;
        EXPECT_GE(event.start, 0) << event.line;
        EXPECT_GE(event.duration, 0) << event.line;
    }
}

TEST(ShowTrace, HoldsInitializeWithItsArgumentsAndResult) {
    const std::vector<Event> events = events_of(lumbra_trace());
    const Event* initialize = find_event(events, "export", "Initialize");
    ASSERT_NE(initialize, nullptr) << lumbra_trace();
    EXPECT_NE(initialize->line.find("\"arguments\":[\"0x"), std::string::npos) << initialize->line;
    const std::string zero_word = "\"result\":\"0x" + std::string(2 * sizeof(void*), '0') + "\"";
    EXPECT_NE(initialize->line.find(zero_word), std::string::npos) << initialize->line;
}

TEST(ShowTrace, HoldsTheRunHeaderCallbacksOfTheRun) {
    const std::vector<Event> events = events_of(lumbra_trace());
    for (const char* name :
         {"get_parameter", "first_expression_parameter", "next_expression_parameter"})
        EXPECT_NE(find_event(events, "callback", name), nullptr) << name << "\n" << lumbra_trace();
}

// The routines of a run are called through the routine tables, not by export
// name; the services and the version routine answer during exports.
TEST(ShowTrace, ServiceCallbacksLieInsideAnExport) {
    const std::vector<Event> events = events_of(lumbra_trace());
    ASSERT_NE(find_event(events, "callback", "service "), nullptr) << lumbra_trace();
    ASSERT_NE(find_event(events, "callback", "version"), nullptr) << lumbra_trace();
    for (const Event& event : events)
        if (event.name == "version" || event.name.rfind("service ", 0) == 0) {
            EXPECT_NE(enclosing_export(events, event), nullptr) << event.line;
        }
}

TEST(ShowTrace, MessageBoxIsACallbackOfTheExportThatRaisedIt) {
    TempFolder folder;
    const std::wstring copy = folder.place_copy(lumbra());
    folder.write_file(L"Lumbra.json", "{ not a description");
    const std::wstring file = folder.file(L"show.json");
    ASSERT_EQ(cli_test::run_cli(L"show \"" + copy + L"\" --trace \"" + file + L"\"").status, 0u);
    const std::string trace = read_text(file);
    const std::vector<Event> events = events_of(trace);
    const Event* box = find_event(events, "callback", "MessageBox");
    ASSERT_NE(box, nullptr) << trace;
    EXPECT_NE(text_field(box->line, "caption").find("Error"), std::string::npos) << box->line;
    EXPECT_FALSE(text_field(box->line, "text").empty()) << box->line;
    const Event* during = enclosing_export(events, *box);
    ASSERT_NE(during, nullptr) << box->line;
    EXPECT_EQ(during->name, "Initialize");
}

TEST(ValidateTrace, EachCheckWritesItsOwnFile) {
    TempFolder folder;
    const std::wstring file = folder.file(L"checks.json");
    cli_test::run_cli(L"validate \"" + lumbra() + L"\" --filter ^initialize$ --trace \"" + file +
                      L"\"");
    const std::string trace = read_text(folder.file(L"checks.initialize.json"));
    ASSERT_EQ(trace.rfind("{\"traceEvents\":[", 0), 0u) << trace;
    EXPECT_NE(find_event(events_of(trace), "export", "Initialize"), nullptr) << trace;
    EXPECT_TRUE(read_text(file).empty()) << "apart, the checks write only their own files";
}

TEST(Trace, IsOffUntilStarted) {
    EXPECT_FALSE(trace::recording());
    trace::start();
    EXPECT_TRUE(trace::recording());
    trace::stop();
    EXPECT_FALSE(trace::recording());
    EXPECT_EQ(trace::json(), "{\"traceEvents\":[\n]}");
}

}  // namespace
