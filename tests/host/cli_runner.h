// plenar-host.exe run as a user runs it, from the tests: its exit status and
// everything it printed.
#pragma once

#include <windows.h>

#include <string>

namespace cli_test {

struct CliRun {
    DWORD status;
    std::string output;
};

// Runs plenar-host.exe (beside the test program) with `arguments`.
CliRun run_cli(const std::wstring& arguments);

inline bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace cli_test
