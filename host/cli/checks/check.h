// The named checks of plenar-host validate, in the manner of plug-in
// validators: each takes a plug-in (and optionally a description to load
// beside it) and passes or fails with a reason. Run in a process of its own,
// a check may also crash or time out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plenar::cli {

struct CheckContext {
    std::wstring plugin;                      // Windows path
    std::optional<std::wstring> description;  // Windows path
    int memory_cycles = 200;
    // How long a check run in a process of its own may take before that
    // process is ended.
    int time_limit_seconds = 30;
    // Set in the second process of a check that reads back what the first
    // saved: the folder holding it.
    std::optional<std::wstring> read_back_folder;
    // Where the checks that draw random values start from; validate chooses
    // one when --seed does not, and prints it, so a run can be repeated.
    std::optional<uint32_t> seed;
    // A released description whose saved blocks the current one must read.
    std::optional<std::wstring> released;
};

enum class Verdict { passed, failed, crashed, timed_out };

struct CheckOutcome {
    Verdict verdict = Verdict::passed;
    // Why it did not pass; for a pass, what it could not look at.
    std::string reason;
    // What its process printed, when it ran in one of its own: the plug-in's
    // words, never the verdict.
    std::string output;

    bool passed() const { return verdict == Verdict::passed; }
};

// The verdict's word in the result file and in the machine-readable reports.
inline constexpr Verdict all_verdicts[] = {Verdict::passed, Verdict::failed, Verdict::crashed,
                                           Verdict::timed_out};
inline const char* verdict_word(Verdict verdict) {
    static constexpr const char* words[] = {"pass", "fail", "crash", "timeout"};  // in its order
    return words[static_cast<int>(verdict)];
}

inline CheckOutcome pass(std::string note = {}) { return {Verdict::passed, std::move(note), {}}; }
inline CheckOutcome fail(std::string reason) { return {Verdict::failed, std::move(reason), {}}; }

struct Check {
    const char* name;
    const char* summary;
    CheckOutcome (*run)(const CheckContext&);
};

// Every check, in the order validate runs them.
const std::vector<Check>& all_checks();
const Check* find_check(const std::string& name);

// plenar-host run-check NAME PLUGIN ... with the context's options, as
// arguments for this program.
std::vector<std::wstring> run_check_arguments(const Check& check, const CheckContext& context);

}  // namespace plenar::cli
