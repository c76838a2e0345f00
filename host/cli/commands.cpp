#include "command.h"

namespace plenar::cli {

const std::vector<const Command*>& all_commands() {
    static const std::vector<const Command*> commands = {&show_command};
    return commands;
}

}  // namespace plenar::cli
