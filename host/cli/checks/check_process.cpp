#include "check_process.h"

#include <windows.h>
#include <fstream>
#include <optional>
#include "plenar_sim/process.h"
#include "plenar_sim/temp_folder.h"

namespace plenar::cli {
namespace {

// The result file: the verdict's word, a line break, then the reason (or a
// pass's note) as UTF-8 up to the end of the file.

std::optional<CheckOutcome> read_result(const std::string& text) {
    const size_t end_of_word = text.find('\n');
    if (end_of_word == std::string::npos) return std::nullopt;
    for (const Verdict verdict : all_verdicts)
        if (text.compare(0, end_of_word, verdict_word(verdict)) == 0)
            return CheckOutcome{verdict, text.substr(end_of_word + 1), {}};
    return std::nullopt;
}

// What the check was doing when its process ended without a verdict, as
// its crash handlers left it in the result file ("crash", then the step).
std::string step_told(const std::string& result) {
    const std::optional<CheckOutcome> told = read_result(result);
    return told && told->verdict == Verdict::crashed && !told->reason.empty()
               ? " while " + told->reason
               : "";
}

CheckOutcome crashed(std::string reason) { return {Verdict::crashed, std::move(reason), {}}; }

CheckOutcome outcome_of(const sim::ProcessRun& end, const std::string& result,
                        int time_limit_seconds) {
    if (!end.started) return fail("its process did not start");
    if (end.timed_out)
        return {
            Verdict::timed_out,
            "no answer after " + std::to_string(time_limit_seconds) + " s; its process was ended",
            {}};
    if (sim::is_exception_code(end.exit_code))
        return crashed(sim::describe_exception(end.exit_code) + step_told(result));
    const std::optional<CheckOutcome> told = read_result(result);
    if (told && static_cast<uint32_t>(result_exit_status(*told)) == end.exit_code) return *told;
    // A plug-in that ends the process itself (ExitProcess, abort) leaves no
    // result, whatever the exit code says.
    return crashed("its process ended with exit code " + std::to_string(end.exit_code) +
                   " before giving a result" + step_told(result));
}

}  // namespace

CheckOutcome run_check_apart(const Check& check, const CheckContext& context,
                             const std::vector<std::wstring>& extra_arguments) {
    // Removed with all in it when the check is over, whatever the child left.
    const sim::TempFolder folder;
    const std::wstring result_path = folder.file(L"result.txt");
    const std::wstring temp = folder.file(L"temp");
    CreateDirectoryW(temp.c_str(), nullptr);
    // What a killed child leaves in its temporary folder goes with this one.
    const sim::ProcessOptions options{
        folder.file(L"output.txt"), {{L"TEMP", temp}, {L"TMP", temp}}, context.time_limit_seconds};
    std::vector<std::wstring> arguments = run_check_arguments(check, context);
    arguments.insert(arguments.end(), {L"--result", result_path});
    arguments.insert(arguments.end(), extra_arguments.begin(), extra_arguments.end());
    const sim::ProcessRun end = sim::run_process(sim::own_program(), arguments, options);
    CheckOutcome outcome = outcome_of(end, sim::read_file(result_path), context.time_limit_seconds);
    outcome.output = sim::read_file(options.output_file);
    return outcome;
}

bool write_result(const std::wstring& path, const CheckOutcome& outcome) {
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file << verdict_word(outcome.verdict) << '\n' << outcome.reason;
    file.close();
    return !file.fail();
}

bool write_crash_step(const std::wstring& path, const std::string& step) {
    return write_result(path, {Verdict::crashed, step, {}});
}

int result_exit_status(const CheckOutcome& outcome) { return outcome.passed() ? 0 : 1; }

}  // namespace plenar::cli
