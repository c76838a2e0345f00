#include "plenar_sim/process.h"
#include "plenar_sim/temp_folder.h"

#include <windows.h>
#include <cstdio>
#include <cwchar>

namespace plenar::sim {
namespace {

// One argument quoted for CommandLineToArgvW's rules.
std::wstring quoted_argument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
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

// No limit: as long as it takes.
DWORD milliseconds(int seconds) {
    if (seconds <= 0) return INFINITE;
    const unsigned long long total = 1000ull * static_cast<unsigned>(seconds);
    return total < INFINITE ? static_cast<DWORD>(total) : INFINITE - 1;
}

// A job that ends every process in it when its last handle closes: what a
// child started cannot outlive it.
HANDLE job_ending_all_on_close() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

// This process's environment with `changes` set, as CreateProcessW takes it:
// each entry ended by a null, then one more.
std::wstring environment_with(const std::vector<std::pair<std::wstring, std::wstring>>& changes) {
    std::wstring block;
    const auto changed = [&](const wchar_t* entry) {
        for (const auto& [name, value] : changes)
            if (_wcsnicmp(entry, (name + L"=").c_str(), name.size() + 1) == 0) return true;
        return false;
    };
    if (wchar_t* own = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = own; *entry; entry += std::wcslen(entry) + 1)
            if (!changed(entry)) block.append(entry) += L'\0';
        FreeEnvironmentStringsW(own);
    }
    for (const auto& [name, value] : changes)
        block.append(name).append(L"=").append(value) += L'\0';
    return block += L'\0';
}

// A fresh file for output that is read back, in the temporary folder.
std::wstring scratch_file() {
    wchar_t folder[MAX_PATH] = {}, file[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"out", 0, file);
    return file;
}

// How long an ended process may take to be gone before this one moves on.
constexpr DWORD ending_grace_ms = 5000;

}  // namespace

std::wstring own_program() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

ProcessRun run_process(const std::wstring& program, const std::vector<std::wstring>& arguments,
                       const ProcessOptions& options) {
    std::wstring command_line = quoted_argument(program);
    for (const std::wstring& argument : arguments) command_line += L" " + quoted_argument(argument);
    return run_command_line(program, std::move(command_line), options);
}

ProcessRun run_command_line(const std::wstring& program, std::wstring command_line,
                            const ProcessOptions& options) {
    ProcessRun run;

    const std::wstring output_file =
        options.output_file.empty() ? scratch_file() : options.output_file;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileW(output_file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) return run;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring environment = environment_with(options.environment);
    PROCESS_INFORMATION process{};
    // Suspended until it is in its job, so that nothing it starts escapes.
    const BOOL started = CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr,
                                        TRUE, CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT,
                                        environment.data(), nullptr, &startup, &process);
    CloseHandle(output);
    if (started) {
        run.started = true;
        HANDLE job = job_ending_all_on_close();
        // Where jobs cannot nest, the child stays in this program's job, and a
        // hang ends the child alone.
        const bool in_job = job && AssignProcessToJobObject(job, process.hProcess);
        ResumeThread(process.hThread);
        if (WaitForSingleObject(process.hProcess, milliseconds(options.time_limit_seconds)) ==
            WAIT_TIMEOUT) {
            run.timed_out = true;
            if (!in_job || !TerminateJobObject(job, ERROR_TIMEOUT))
                TerminateProcess(process.hProcess, ERROR_TIMEOUT);
            WaitForSingleObject(process.hProcess, ending_grace_ms);
        }
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.exit_code = code;
        if (job) CloseHandle(job);  // ends whatever the child left running
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (options.output_file.empty()) {
        run.output = read_file(output_file);
        DeleteFileW(output_file.c_str());
    }
    return run;
}

// An exception code has its severity in the top bits; the run-time ends a
// process with small numbers of its own (3 for abort).
bool is_exception_code(uint32_t exit_code) { return exit_code >= 0x80000000u; }

std::string describe_exception(uint32_t exception_code) {
    struct Named {
        uint32_t code;
        const char* name;
    };
    static const Named names[] = {
        {0xC0000005u, "access violation"},
        {0xC00000FDu, "stack overflow"},
        {0xC0000409u, "stack buffer overrun"},
        {0xC000001Du, "illegal instruction"},
        {0xC0000096u, "privileged instruction"},
        {0xC0000094u, "integer division by zero"},
        {0x80000003u, "breakpoint"},
        {0xE06D7363u, "C++ exception"},
    };
    const char* name = "exception";
    for (const Named& known : names)
        if (known.code == exception_code) name = known.name;
    char text[64];
    std::snprintf(text, sizeof text, "%s (0x%08X)", name, exception_code);
    return text;
}

}  // namespace plenar::sim
