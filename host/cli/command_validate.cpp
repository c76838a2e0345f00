// plenar-host validate PLUGIN [--only-failed] [--description FILE]
// [--filter REGEX] [--in-process] [--memory-cycles N] [--trace FILE]: runs
// the named checks, each in a process of its own (run-check) so that a crash
// fails the check instead of ending the validator. One line a check; a
// non-zero exit when any fails. --trace: each check's process writes its own
// trace, FILE with the check's name before the extension (t.json gives
// t.exports.json ...); with --in-process one trace, FILE, holds them all.
#include <windows.h>
#include <memory>
#include <optional>
#include <regex>
#include <stdexcept>
#include "checks/check.h"
#include "checks/child_process.h"
#include "command.h"
#include "output.h"
#include "paths.h"
#include "plenar_sim/text.h"
#include "plenar_sim/trace.h"

namespace plenar::cli {
namespace {

struct Options {
    CheckContext context;
    bool only_failed = false;
    bool in_process = false;
    std::optional<std::string> filter;
    std::optional<std::string> check_name;  // run-check
    std::optional<std::wstring> trace;
};

// Reads the arguments both commands share; false on anything not understood.
bool parse(const std::vector<std::wstring>& arguments, bool run_check, Options& options) {
    std::vector<std::wstring> positional;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        const bool has_value = i + 1 < arguments.size();
        if (argument == L"--description" && has_value) options.context.description = windows_path(arguments[++i]);
        else if (argument == L"--memory-cycles" && has_value) options.context.memory_cycles = std::stoi(arguments[++i]);
        else if (!run_check && argument == L"--only-failed") options.only_failed = true;
        else if (!run_check && argument == L"--in-process") options.in_process = true;
        else if (!run_check && argument == L"--filter" && has_value) options.filter = sim::utf8_from_wide(arguments[++i]);
        else if (argument == L"--trace" && has_value) options.trace = windows_path(arguments[++i]);
        else if (run_check && argument == L"--read-back" && has_value) options.context.read_back_folder = arguments[++i];
        else if (argument.rfind(L"--", 0) == 0) return false;
        else positional.push_back(argument);
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
    const bool has_extension = dot != std::wstring::npos && (folder == std::wstring::npos || dot > folder);
    const std::wstring name = L"." + sim::wide_from_utf8(check.name);
    return has_extension ? path.substr(0, dot) + name + path.substr(dot) : path + name + L".json";
}

CheckOutcome run_apart(const Check& check, const CheckContext& context,
                       const std::optional<std::wstring>& trace) {
    std::vector<std::wstring> arguments = run_check_arguments(check, context);
    if (trace) arguments.insert(arguments.end(), {L"--trace", check_trace_path(*trace, check)});
    const ChildResult child = run_self(arguments);
    if (!child.started) return fail("its process did not start");
    std::string reason = child.output;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    if (child.exit_code == 0) return pass(reason);
    if (child.exit_code == 1 && !reason.empty()) return fail(reason);
    return fail(describe_exit(child.exit_code) + (reason.empty() ? "" : ": " + reason));
}

bool write_trace(const std::wstring& path) {
    if (sim::trace::write(path)) return true;
    print_line("plenar-host: cannot write the trace " + sim::utf8_from_wide(path));
    return false;
}

int run_validate(const std::vector<std::wstring>& arguments) {
    Options options;
    bool understood = false;
    try {
        understood = parse(arguments, false, options);
    } catch (const std::exception&) {
    }
    std::unique_ptr<std::regex> filter;
    try {
        if (options.filter) filter = std::make_unique<std::regex>(*options.filter);
    } catch (const std::regex_error&) {
        print_line("plenar-host: --filter " + quoted(*options.filter) + " is not a regular expression");
        return 2;
    }
    if (!understood) {
        print_line("usage: plenar-host validate PLUGIN [--only-failed] [--description FILE] [--filter REGEX] "
                   "[--in-process] [--memory-cycles N] [--trace FILE]");
        return 2;
    }
    if (options.trace && options.in_process) sim::trace::start();
    int run = 0, failed = 0;
    for (const Check& check : all_checks()) {
        if (filter && !std::regex_search(check.name, *filter)) continue;
        ++run;
        const CheckOutcome outcome = options.in_process ? run_here(check, options.context)
                                                        : run_apart(check, options.context, options.trace);
        if (!outcome.passed) ++failed;
        if (outcome.passed && !options.only_failed)
            print_line(std::string("pass  ") + check.name + (outcome.reason.empty() ? "" : " (" + outcome.reason + ")"));
        if (!outcome.passed) print_line(std::string("FAIL  ") + check.name + ": " + outcome.reason);
    }
    print_line(std::to_string(run) + " checks, " + std::to_string(failed) + " failed");
    if (sim::trace::recording() && !write_trace(*options.trace)) return 1;
    return failed || !run ? 1 : 0;
}

// A crash ends the check's process at once with the exception's code, which
// the validator reports, instead of starting a debugger.
LONG WINAPI end_with_exception_code(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// One check in this process: prints the reason of a failure; exit 0 or 1.
int run_one_check(const std::vector<std::wstring>& arguments) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&end_with_exception_code);
    Options options;
    bool understood = false;
    try {
        understood = parse(arguments, true, options);
    } catch (const std::exception&) {
    }
    const Check* check = understood ? find_check(*options.check_name) : nullptr;
    if (!check) {
        print_line("usage: plenar-host run-check NAME PLUGIN [--description FILE] [--memory-cycles N] [--trace FILE]");
        return 2;
    }
    if (options.trace) sim::trace::start();
    const CheckOutcome outcome = run_here(*check, options.context);
    if (!outcome.reason.empty()) print_line(outcome.reason);
    if (options.trace && !write_trace(*options.trace)) return 1;
    return outcome.passed ? 0 : 1;
}

}  // namespace

extern const Command validate_command, run_check_command;
const Command validate_command = {"validate", "PLUGIN [--only-failed] [--description FILE] [--filter REGEX] [--in-process] [--trace FILE]",
                                  "runs the named checks (see list), each in its own process; a line each, "
                                  "non-zero exit when one fails",
                                  &run_validate};
const Command run_check_command = {"run-check", "NAME PLUGIN [--description FILE] [--trace FILE]",
                                   "runs one check in this process (validate starts it)", &run_one_check};

}  // namespace plenar::cli
