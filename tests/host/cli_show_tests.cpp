// plenar-host.exe show, run as a user runs it, on the test plug-in.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "cli_runner.h"
#include "plenar_sim/checked_call.h"
#include "plenar_sim/temp_folder.h"
#include "plenar_sim/utf8.h"

using namespace plenar::sim;
using namespace cli_test;

namespace {

TEST(CliShow, ReportsExportsImportsAndInitialize) {
    const CliRun run = run_cli(L"show \"" + program_folder() + L"\\fake_plugin.pvx\"");
    EXPECT_EQ(run.status, 0u) << run.output;
    EXPECT_TRUE(has(run.output, "3 of the host's 45 exports found; 42 missing.")) << run.output;
    EXPECT_TRUE(has(run.output, "    Initialize, Free, GetRunObjectDataSize\n")) << run.output;
    EXPECT_TRUE(has(run.output, "FakeMessageBoxA")) << run.output;
    EXPECT_TRUE(has(run.output, "plenarcore.dll: 6 by ordinal, 0 by name")) << run.output;
    EXPECT_TRUE(has(run.output, "no \"KVOR\" 101 resource")) << run.output;
    EXPECT_TRUE(has(run.output, plenar::sim::stack_measured
                                    ? "balanced (stdcall, 8 bytes)"
                                    : plenar::sim::stack_not_measured_reason))
        << run.output;
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
