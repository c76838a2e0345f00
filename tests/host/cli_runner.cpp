#include "cli_runner.h"

#include <gtest/gtest.h>

#include "plenar_sim/process.h"
#include "plenar_sim/temp_folder.h"

namespace cli_test {

CliRun run_cli(const std::wstring& arguments) {
    const std::wstring program = plenar::sim::program_folder() + L"\\plenar-host.exe";
    const plenar::sim::ProcessRun run =
        plenar::sim::run_command_line(program, L"\"" + program + L"\" " + arguments);
    // A host that never ran prints nothing, which some tests expect: say so
    // and give a status no run of it gives.
    EXPECT_TRUE(run.started) << "plenar-host.exe did not start";
    EXPECT_FALSE(run.timed_out) << "plenar-host.exe ran past its time limit";
    return {run.started ? run.exit_code : 0xFFFFFFFFu, run.output};
}

}  // namespace cli_test
