// plenar-host.exe show, run as a user runs it, on the test plug-in.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "plenar_sim/temp_folder.h"
#include "plenar_sim/text.h"

using namespace plenar::sim;

namespace {

struct CliRun { DWORD status; std::string output; };

// Runs plenar-host.exe with `arguments` and collects what it prints.
CliRun run_cli(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read_end, write_end;
    EXPECT_TRUE(CreatePipe(&read_end, &write_end, &inherit, 0));
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + program_folder() + L"\\plenar-host.exe\" " + arguments;
    EXPECT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               nullptr, &startup, &process));
    CloseHandle(write_end);
    CliRun run{1, {}};
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got) run.output.append(buffer, got);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(read_end);
    return run;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CliShow, ReportsExportsImportsAndInitialize) {
    const CliRun run = run_cli(L"show \"" + program_folder() + L"\\fake_plugin.pvx\"");
    EXPECT_EQ(run.status, 0u) << run.output;
    EXPECT_TRUE(has(run.output, "3 of the host's 45 exports found; 42 missing.")) << run.output;
    EXPECT_TRUE(has(run.output, "    Initialize, Free, GetRunObjectDataSize\n")) << run.output;
    EXPECT_TRUE(has(run.output, "FakeMessageBoxA")) << run.output;
    EXPECT_TRUE(has(run.output, "plenarcore.dll: 6 by ordinal, 0 by name")) << run.output;
    EXPECT_TRUE(has(run.output, "no \"KVOR\" 101 resource")) << run.output;
    EXPECT_TRUE(has(run.output, "balanced (stdcall, 8 bytes)")) << run.output;
    EXPECT_TRUE(has(run.output, "\"fake plug-in initialised\"")) << run.output;
    EXPECT_FALSE(has(run.output, "\r\n"));
}

TEST(CliShow, ReportsAPluginThatDoesNotLoad) {
    TempFolder folder;
    const std::wstring path = folder.write_file(L"Broken.pvx", "not a library");
    const CliRun run = run_cli(L"show \"" + path + L"\"");
    EXPECT_EQ(run.status, 1u);
    EXPECT_TRUE(has(run.output, "cannot load")) << run.output;
}

TEST(Cli, UnknownCommandOrMissingArgumentGivesUsage) {
    const CliRun unknown = run_cli(L"frobnicate");
    EXPECT_EQ(unknown.status, 2u);
    EXPECT_TRUE(has(unknown.output, "unknown command \"frobnicate\"")) << unknown.output;
    EXPECT_TRUE(has(unknown.output, "show PLUGIN")) << unknown.output;
    EXPECT_EQ(run_cli(L"show").status, 2u);
}

}  // namespace
