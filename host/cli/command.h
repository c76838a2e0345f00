// A command of plenar-host: one per file, listed in commands.cpp.
#pragma once

#include <string>
#include <vector>

namespace plenar::cli {

struct Command {
    const char* name;
    const char* arguments;  // for the usage line, e.g. "PLUGIN"
    const char* summary;
    // The arguments after the command's name; returns the exit status.
    int (*run)(const std::vector<std::wstring>& arguments);
};

extern const Command show_command;

// Every command, in the order the usage text lists them.
const std::vector<const Command*>& all_commands();

}  // namespace plenar::cli
