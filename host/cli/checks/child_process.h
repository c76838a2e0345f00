// This program run again as a child process, its output captured, so that a
// crash in the child is an exit code here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plenar::cli {

struct ChildResult {
    bool started = false;
    uint32_t exit_code = 0;  // an exception code (0xC0000005 ...) when it crashed
    std::string output;      // its standard output
};

// Runs this program's executable with `arguments` and waits for it.
ChildResult run_self(const std::vector<std::wstring>& arguments);

// "exit code 3", or "crashed: access violation (0xC0000005)".
std::string describe_exit(uint32_t exit_code);

}  // namespace plenar::cli
