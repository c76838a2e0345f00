// plenar-host validate PLUGIN [--only-failed] [--description FILE]
// [--filter REGEX] [--timeout SECONDS] [--in-process] [--memory-cycles N]
// [--trace FILE] [--seed N] [--junit FILE] [--json]: runs the named checks, each in a process of its own
// (run-check) so that a crash or a hang ends only its check. One line a
// check, its verdict first: pass, FAIL, CRASH (with the exception) or
// TIMEOUT (its process ended after the time limit); what the plug-in printed
// in a check that did not pass follows, indented. A non-zero exit unless
// every check passes. --trace: each check's process writes its own trace,
// FILE with the check's name before the extension (t.json gives
// t.exports.json ...); with --in-process one trace, FILE, holds them all.
// --seed: where the checks drawing random values start (chosen and printed
// when not given). --junit FILE writes the verdicts as JUnit XML, --json
// prints them as JSON instead of the lines (validate_report.h).
#include <windows.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <regex>
#include <stdexcept>
#include "checks/check.h"
#include "checks/check_process.h"
#include "checks/check_support.h"
#include "command.h"
#include "output.h"
#include "paths.h"
#include "plenar_sim/utf8.h"
#include "plenar_sim/trace.h"
#include "validate_report.h"

namespace plenar::cli {

extern const Command validate_command, run_check_command;

namespace {

struct Options {
    CheckContext context;
    bool only_failed = false;
    bool in_process = false;
    bool time_limit_given = false;
    std::optional<std::string> filter;
    std::optional<std::string> check_name;  // run-check
    std::optional<std::wstring> result;     // run-check
    std::optional<std::wstring> trace;
    std::optional<std::wstring> junit;
    bool json = false;
};

// A whole number of seconds, at least one.
int seconds_from(const std::wstring& text) {
    size_t used = 0;
    const int seconds = std::stoi(text, &used);
    if (used != text.size() || seconds < 1) throw std::invalid_argument("not a number of seconds");
    return seconds;
}

uint32_t seed_from(const std::wstring& text) {
    size_t used = 0;
    const unsigned long long seed = std::stoull(text, &used);
    if (used != text.size() || seed > UINT32_MAX || text[0] == L'-')
        throw std::invalid_argument("not a seed");
    return static_cast<uint32_t>(seed);
}

// Reads the arguments both commands share; false on anything not understood.
bool parse(const std::vector<std::wstring>& arguments, bool run_check, Options& options) {
    std::vector<std::wstring> positional;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        const bool has_value = i + 1 < arguments.size();
        if (argument == L"--description" && has_value)
            options.context.description = windows_path(arguments[++i]);
        else if (argument == L"--released" && has_value)
            options.context.released = windows_path(arguments[++i]);
        else if (argument == L"--memory-cycles" && has_value)
            options.context.memory_cycles = std::stoi(arguments[++i]);
        else if (argument == L"--timeout" && has_value) {
            options.context.time_limit_seconds = seconds_from(arguments[++i]);
            options.time_limit_given = true;
        } else if (!run_check && argument == L"--only-failed")
            options.only_failed = true;
        else if (!run_check && argument == L"--in-process")
            options.in_process = true;
        else if (!run_check && argument == L"--filter" && has_value)
            options.filter = sim::utf8_from_wide(arguments[++i]);
        else if (argument == L"--trace" && has_value)
            options.trace = windows_path(arguments[++i]);
        else if (argument == L"--seed" && has_value)
            options.context.seed = seed_from(arguments[++i]);
        else if (!run_check && argument == L"--junit" && has_value)
            options.junit = windows_path(arguments[++i]);
        else if (!run_check && argument == L"--json")
            options.json = true;
        else if (run_check && argument == L"--read-back" && has_value)
            options.context.read_back_folder = arguments[++i];
        else if (run_check && argument == L"--result" && has_value)
            options.result = arguments[++i];
        else if (argument.rfind(L"--", 0) == 0)
            return false;
        else
            positional.push_back(argument);
    }
    if (positional.size() != (run_check ? 2u : 1u)) return false;
    if (run_check) options.check_name = sim::utf8_from_wide(positional[0]);
    options.context.plugin = windows_path(positional.back());
    return true;
}

// The check run here, its exceptions a failure like any other.
CheckOutcome run_here(const Check& check, const CheckContext& context) {
    try {
        return check.run(context);
    } catch (const std::exception& error) {
        return fail(error.what());
    }
}

// The trace file of one check run in a process of its own.
std::wstring check_trace_path(const std::wstring& path, const Check& check) {
    const size_t dot = path.rfind(L'.');
    const size_t folder = path.find_last_of(L"\\/");
    const bool has_extension =
        dot != std::wstring::npos && (folder == std::wstring::npos || dot > folder);
    const std::wstring name = L"." + sim::wide_from_utf8(check.name);
    return has_extension ? path.substr(0, dot) + name + path.substr(dot) : path + name + L".json";
}

CheckOutcome run_apart(const Check& check, const CheckContext& context,
                       const std::optional<std::wstring>& trace) {
    try {
        if (!trace) return run_check_apart(check, context);
        return run_check_apart(check, context, {L"--trace", check_trace_path(*trace, check)});
    } catch (const std::exception& error) {  // no temporary folder for it
        return fail(error.what());
    }
}

bool write_trace(const std::wstring& path) {
    if (sim::trace::write(path)) return true;
    print_line("plenar-host: cannot write the trace " + sim::utf8_from_wide(path));
    return false;
}

// The verdict's word, padded so that the names of the usual verdicts line up.
const char* verdict_tag(Verdict verdict) {
    static const char* const tags[] = {"pass  ", "FAIL  ", "CRASH ",
                                       "TIMEOUT "};  // in Verdict's order
    return tags[static_cast<int>(verdict)];
}

// The last lines a check's process printed, indented under its verdict: a
// plug-in printing in a loop must not bury the report.
void print_output(const std::string& output) {
    constexpr size_t most_lines = 20;
    std::vector<std::string> lines;
    for (size_t start = 0; start < output.size();) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    const size_t first = lines.size() > most_lines ? lines.size() - most_lines : 0;
    if (first) print_line("      | ... " + std::to_string(first) + " earlier lines");
    for (size_t i = first; i < lines.size(); ++i) print_line("      | " + lines[i]);
}

void print_outcome(const Check& check, const CheckOutcome& outcome, bool only_failed) {
    if (outcome.passed()) {
        if (!only_failed)
            print_line(verdict_tag(outcome.verdict) + std::string(check.name) +
                       (outcome.reason.empty() ? "" : " (" + outcome.reason + ")"));
        return;
    }
    print_line(verdict_tag(outcome.verdict) + std::string(check.name) + ": " + outcome.reason);
    print_output(outcome.output);
}

bool write_junit(const std::wstring& path, const ValidateRun& report) {
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file << junit_xml(report);
    file.close();
    if (!file.fail()) return true;
    print_line("plenar-host: cannot write the JUnit report " + sim::utf8_from_wide(path));
    return false;
}

// "8 checks, 3 failed (1 crashed, 1 timed out)": every check that did not
// pass is a failure; crashes and hangs are also counted apart.
std::string summary(int run, int failed, int crashed, int timed_out) {
    std::string text = std::to_string(run) + " checks, " + std::to_string(failed) + " failed";
    std::string apart;
    if (crashed) apart = std::to_string(crashed) + " crashed";
    if (timed_out) apart += (apart.empty() ? "" : ", ") + std::to_string(timed_out) + " timed out";
    return apart.empty() ? text : text + " (" + apart + ")";
}

int run_validate(const std::vector<std::wstring>& arguments) {
    Options options;
    bool understood = false;
    try {
        understood = parse(arguments, false, options);
    } catch (const std::exception&) {}
    std::unique_ptr<std::regex> filter;
    try {
        if (options.filter) filter = std::make_unique<std::regex>(*options.filter);
    } catch (const std::regex_error&) {
        print_line("plenar-host: --filter " + quoted(*options.filter) +
                   " is not a regular expression");
        return 2;
    }
    if (!understood) {
        print_line(std::string("usage: plenar-host validate ") + validate_command.arguments);
        return 2;
    }
    if (options.in_process && options.time_limit_given) {
        print_line(
            "plenar-host: --timeout needs each check in a process of its own; --in-process has no "
            "time limit");
        return 2;
    }
    if (options.trace && options.in_process) sim::trace::start();
    if (!options.context.seed) options.context.seed = std::random_device()();
    ValidateRun report{sim::utf8_from_wide(options.context.plugin), *options.context.seed, {}};
    int run = 0, failed = 0, crashed = 0, timed_out = 0;
    for (const Check& check : all_checks()) {
        if (filter && !std::regex_search(check.name, *filter)) {
            report.checks.push_back(
                {check.name, std::nullopt, "not selected by --filter " + *options.filter, 0});
            continue;
        }
        ++run;
        const auto start = std::chrono::steady_clock::now();
        const CheckOutcome outcome = options.in_process
                                         ? run_here(check, options.context)
                                         : run_apart(check, options.context, options.trace);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        report.checks.push_back({check.name, outcome, {}, took.count()});
        failed += !outcome.passed();
        crashed += outcome.verdict == Verdict::crashed;
        timed_out += outcome.verdict == Verdict::timed_out;
        if (!options.json) print_outcome(check, outcome, options.only_failed);
    }
    if (options.json)
        print_line(json_report(report));
    else
        print_line(summary(run, failed, crashed, timed_out));
    if (options.junit && !write_junit(*options.junit, report)) return 1;
    if (sim::trace::recording() && !write_trace(*options.trace)) return 1;
    return failed || !run ? 1 : 0;
}

// run-check's result file, where the crash handlers leave the step the check
// was at for the validator to report.
std::wstring crash_result_path;

void tell_crash_step() {
    if (!crash_result_path.empty() && !current_step().empty())
        write_crash_step(crash_result_path, current_step());
}

// A crash ends the check's process at once with the exception's code, which
// the validator reports, instead of starting a debugger.
LONG WINAPI end_with_exception_code(EXCEPTION_POINTERS* exception) {
    tell_crash_step();
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// abort(), as std::terminate calls it for an exception nothing caught: the
// process ends as the run time would end it, after telling the step.
void end_on_abort(int) {
    tell_crash_step();
    TerminateProcess(GetCurrentProcess(), 3);
}

// One check in this process, its outcome written to the --result file for
// the validator; the exit status goes with it.
int run_one_check(const std::vector<std::wstring>& arguments) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&end_with_exception_code);
    Options options;
    bool understood = false;
    try {
        understood = parse(arguments, true, options);
    } catch (const std::exception&) {}
    const Check* check = understood ? find_check(*options.check_name) : nullptr;
    if (!check || !options.result) {
        print_line(std::string("usage: plenar-host run-check ") + run_check_command.arguments);
        return 2;
    }
    crash_result_path = *options.result;
    std::signal(SIGABRT, &end_on_abort);
    if (options.trace) sim::trace::start();
    CheckOutcome outcome = run_here(*check, options.context);
    if (options.trace && !sim::trace::write(*options.trace))
        outcome = fail((outcome.passed() ? "" : outcome.reason + "; ") + "cannot write the trace " +
                       sim::utf8_from_wide(*options.trace));
    if (!write_result(*options.result, outcome)) {
        print_line("plenar-host: cannot write the result " + sim::utf8_from_wide(*options.result));
        return 2;
    }
    return result_exit_status(outcome);
}

}  // namespace

const Command validate_command = {"validate",
                                  "PLUGIN [--only-failed] [--description FILE] [--filter REGEX] "
                                  "[--timeout SECONDS] [--in-process] "
                                  "[--memory-cycles N] [--trace FILE] [--seed N] [--junit FILE] "
                                  "[--json] [--released OLD.json]",
                                  "runs the named checks (see list), each in its own process, "
                                  "ended after --timeout (30 s); a line each: "
                                  "pass, FAIL, CRASH (the exception) or TIMEOUT; non-zero exit "
                                  "unless all pass. --in-process: no time "
                                  "limit, and a crash ends the validator. --seed: the random "
                                  "checks' start; --junit: JUnit XML to FILE; --json: JSON "
                                  "instead of the lines",
                                  &run_validate};
const Command run_check_command = {
    "run-check",
    "NAME PLUGIN --result FILE [--description FILE] [--memory-cycles N] "
    "[--timeout SECONDS] [--trace FILE] [--seed N] [--released OLD.json]",
    "runs one check in this process and writes its verdict to FILE (validate starts it)",
    &run_one_check};

}  // namespace plenar::cli
