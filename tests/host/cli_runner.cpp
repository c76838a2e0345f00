#include "cli_runner.h"

#include "plenar_sim/process.h"
#include "plenar_sim/temp_folder.h"

namespace cli_test {

CliRun run_cli(const std::wstring& arguments) {
    const std::wstring program = plenar::sim::program_folder() + L"\\plenar-host.exe";
    const plenar::sim::ProcessRun run =
        plenar::sim::run_command_line(program, L"\"" + program + L"\" " + arguments);
    return {run.exit_code, run.output};
}

}  // namespace cli_test
