// plenar-host list: the checks validate runs, a line each.
#include <algorithm>
#include <cstring>
#include "checks/check.h"
#include "command.h"
#include "output.h"

namespace plenar::cli {
namespace {

int run_list(const std::vector<std::wstring>& arguments) {
    if (!arguments.empty()) {
        print_line("usage: plenar-host list");
        return 2;
    }
    size_t width = 0;
    for (const Check& check : all_checks()) width = std::max(width, std::strlen(check.name));
    for (const Check& check : all_checks()) {
        std::string name = check.name;
        name.resize(width + 2, ' ');
        print_line(name + check.summary);
    }
    return 0;
}

}  // namespace

extern const Command list_command;
const Command list_command = {"list", "", "the checks of validate, each with what it checks",
                              &run_list};

}  // namespace plenar::cli
