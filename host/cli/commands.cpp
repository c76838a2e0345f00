#include "command.h"

namespace plenar::cli {

extern const Command check_command, compat_command, validate_command, list_command,
    run_check_command;

const std::vector<const Command*>& all_commands() {
    static const std::vector<const Command*> commands = {&show_command,   &check_command,
                                                         &compat_command, &validate_command,
                                                         &list_command,   &run_check_command};
    return commands;
}

}  // namespace plenar::cli
