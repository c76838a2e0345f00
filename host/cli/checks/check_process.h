// A check in a process of its own (plenar-host run-check): the child writes
// its verdict into a result file the parent names with --result, since its
// standard output belongs to the plug-in, which may print anything there.
// The parent waits for the child within the time limit and tells a pass or
// failure (from the result file) from a crash (the exit code of an
// exception, or an end without a result) and a hang (ended at the limit).
#pragma once

#include <string>
#include <vector>
#include "check.h"

namespace plenar::cli {

// Runs `check` in a child process with `context` and `extra_arguments`
// (--trace FILE ...), waiting at most context.time_limit_seconds. The
// outcome's output is what the child printed.
CheckOutcome run_check_apart(const Check& check, const CheckContext& context,
                             const std::vector<std::wstring>& extra_arguments = {});

// In the child: the outcome where the parent looks for it; false when the
// file cannot be written.
bool write_result(const std::wstring& path, const CheckOutcome& outcome);

// In the child, from its crash handlers: the step the check was at (see
// current_step), for the parent to name beside the crash.
bool write_crash_step(const std::wstring& path, const std::string& step);

// The exit status of run-check that goes with `outcome`: 0 for a pass, 1
// otherwise. The parent believes a result only beside its status.
int result_exit_status(const CheckOutcome& outcome);

}  // namespace plenar::cli
