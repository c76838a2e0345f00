// Another program run as a child process, as the tools and tests need it: its
// standard output and error kept (in a file, or read back whole), extra
// environment, and a time limit after which it and every process it started
// are ended. A crash in the child is an exit code here.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plenar::sim {

struct ProcessOptions {
    std::wstring output_file;  // takes its output; empty: read back into ProcessRun::output
    std::vector<std::pair<std::wstring, std::wstring>> environment;  // set or replaced
    int time_limit_seconds = 0;                                      // 0: no limit
};

struct ProcessRun {
    bool started = false;
    bool timed_out = false;  // still running at the time limit, and ended
    uint32_t exit_code = 0;  // an exception code (0xC0000005 ...) when it crashed
    std::string output;      // without an output file: what it printed
};

ProcessRun run_process(const std::wstring& program, const std::vector<std::wstring>& arguments,
                       const ProcessOptions& options = {});
// The same with the whole command line as a user types it (program first).
ProcessRun run_command_line(const std::wstring& program, std::wstring command_line,
                            const ProcessOptions& options = {});

// This process's own executable, to run it again.
std::wstring own_program();

// Whether an exit code is the code of an exception that ended the process.
bool is_exception_code(uint32_t exit_code);

// "access violation (0xC0000005)", "exception (0xC0000135)".
std::string describe_exception(uint32_t exception_code);

}  // namespace plenar::sim
