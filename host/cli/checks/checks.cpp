#include "check.h"

namespace plenar::cli {

extern const Check exports_check, initialize_check, menus_check, counts_check, linking_check,
    properties_check, state_damaged_check, state_released_check, memory_check, ids_check,
    fuzz_calls_check;

const std::vector<Check>& all_checks() {
    static const std::vector<Check> checks = {
        exports_check, initialize_check, menus_check,         counts_check,
        linking_check, properties_check, state_damaged_check, state_released_check,
        memory_check,  ids_check,        fuzz_calls_check};
    return checks;
}

const Check* find_check(const std::string& name) {
    for (const Check& check : all_checks())
        if (name == check.name) return &check;
    return nullptr;
}

std::vector<std::wstring> run_check_arguments(const Check& check, const CheckContext& context) {
    const std::string name = check.name;
    std::vector<std::wstring> arguments = {L"run-check", std::wstring(name.begin(), name.end()),
                                           context.plugin};
    if (context.description)
        arguments.insert(arguments.end(), {L"--description", *context.description});
    arguments.insert(arguments.end(), {L"--memory-cycles", std::to_wstring(context.memory_cycles)});
    arguments.insert(arguments.end(), {L"--timeout", std::to_wstring(context.time_limit_seconds)});
    if (context.seed)
        arguments.insert(arguments.end(), {L"--seed", std::to_wstring(*context.seed)});
    if (context.released) arguments.insert(arguments.end(), {L"--released", *context.released});
    if (context.read_back_folder)
        arguments.insert(arguments.end(), {L"--read-back", *context.read_back_folder});
    return arguments;
}

}  // namespace plenar::cli
