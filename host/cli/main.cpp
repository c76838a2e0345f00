// plenar-host: the stand-in host's command line. `plenar-host COMMAND ...`
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#include <string>
#include <vector>
#include "command.h"
#include "output.h"
#include "plenar_sim/utf8.h"

using namespace plenar::cli;

namespace {

int usage() {
    print_line("usage: plenar-host COMMAND ARGUMENTS");
    print_line();
    print_line("commands:");
    for (const Command* command : all_commands())
        print_item(std::string(command->name) + " " + command->arguments + "\n      " +
                   command->summary);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // UTF-8 bytes and \n as they are
    if (argc < 2) return usage();
    const std::string name = plenar::sim::utf8_from_wide(argv[1]);
    for (const Command* command : all_commands())
        if (name == command->name)
            return command->run(std::vector<std::wstring>(argv + 2, argv + argc));
    print_line("plenar-host: unknown command " + quoted(name));
    return usage();
}
