// This program run again as a child process, so that a crash in the child is
// an exit code here and a hang is ended after a time limit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plenar::cli {

struct ChildEnd {
    bool started = false;
    bool timed_out = false;  // still running at the time limit, and ended
    uint32_t exit_code = 0;  // an exception code (0xC0000005 ...) when it crashed
};

struct ChildPlaces {
    std::wstring output;  // the file that takes its standard output and error
    std::wstring temp;    // its TEMP and TMP: what a killed child leaves is there
};

// Runs this program's executable with `arguments` and waits at most
// `time_limit_seconds`; then ends it and every process it started.
ChildEnd run_self(const std::vector<std::wstring>& arguments, const ChildPlaces& places, int time_limit_seconds);

// Whether an exit code is the code of an exception that ended the process.
bool is_exception_code(uint32_t exit_code);

// "access violation (0xC0000005)", "exception (0xC0000135)".
std::string describe_exception(uint32_t exception_code);

}  // namespace plenar::cli
