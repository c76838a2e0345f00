#include "child_process.h"

#include <windows.h>
#include <cstdio>

namespace plenar::cli {
namespace {

// One argument quoted for CommandLineToArgvW's rules.
std::wstring quoted_argument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring result = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(2 * backslashes, L'\\');
    return result + L"\"";
}

std::wstring own_path() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

}  // namespace

ChildResult run_self(const std::vector<std::wstring>& arguments) {
    ChildResult result;
    const std::wstring program = own_path();
    std::wstring command_line = quoted_argument(program);
    for (const std::wstring& argument : arguments) command_line += L" " + quoted_argument(argument);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return result;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(write_end);
    if (!started) {
        CloseHandle(read_end);
        return result;
    }
    result.started = true;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(read_end, buffer, sizeof buffer, &read, nullptr) && read) result.output.append(buffer, read);
    CloseHandle(read_end);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exit_code = code;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

std::string describe_exit(uint32_t exit_code) {
    char text[64];
    if ((exit_code & 0xF0000000u) == 0xC0000000u) {
        const char* name = exit_code == 0xC0000005u   ? "access violation"
                           : exit_code == 0xC00000FDu ? "stack overflow"
                           : exit_code == 0xC0000409u ? "stack buffer overrun"
                           : exit_code == 0xC000001Du ? "illegal instruction"
                           : exit_code == 0xC0000094u ? "integer division by zero"
                                                      : "exception";
        std::snprintf(text, sizeof text, "crashed: %s (0x%08X)", name, exit_code);
    } else {
        std::snprintf(text, sizeof text, "exit code %u", exit_code);
    }
    return text;
}

}  // namespace plenar::cli
