// plenar-host compat OLD.json NEW.json [--plugin PLUGIN] [--json]
// [--warnings-as-errors]: judges a description against a released one by
// what users saved with the released one (events naming ids and holding
// parameter values, instances holding property values) and prints each
// finding at its place in NEW, compiler-style with its rule's name, then a
// summary line (--json: the same findings as JSON). With --plugin, the real
// plug-in also lays out a block under OLD with random values and reads it
// under NEW. Exits 0 when nothing is an error, 1 otherwise, 2 on bad usage
// or a file that cannot be read as JSON.
#include <fstream>
#include <iterator>
#include <optional>
#include "checks/released_values.h"
#include "command.h"
#include "compat/compare.h"
#include "diagnostics.h"
#include "json_places.h"
#include "output.h"
#include "paths.h"
#include "plenar_sim/utf8.h"

namespace plenar::cli {
namespace {

const char* const usage = "OLD.json NEW.json [--plugin PLUGIN] [--json] [--warnings-as-errors]";

// The description at `path`, or none after saying why.
std::optional<JsonNode> read_description(const std::wstring& path) {
    const std::string shown = sim::utf8_from_wide(path);
    std::ifstream file(windows_path(path).c_str(), std::ios::binary);
    if (!file) {
        print_line("plenar-host: cannot read " + shown);
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    JsonScan scan = scan_json(text);
    if (!scan.root) print_line("plenar-host: " + shown + ":" + scan.error);
    return std::move(scan.root);
}

int run_compat(const std::vector<std::wstring>& arguments) {
    std::vector<std::wstring> files;
    std::optional<std::wstring> plugin;
    bool understood = true;
    ReportOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == L"--plugin" && i + 1 < arguments.size())
            plugin = arguments[++i];
        else if (options.take(arguments[i]))
            continue;
        else if (arguments[i].rfind(L"--", 0) != 0)
            files.push_back(arguments[i]);
        else
            understood = false;
    }
    if (files.size() != 2 || !understood) {
        print_line(std::string("usage: plenar-host compat ") + usage);
        return 2;
    }
    const std::optional<JsonNode> released = read_description(files[0]);
    const std::optional<JsonNode> current = read_description(files[1]);
    if (!released || !current) return 2;
    Diagnostics found(sim::utf8_from_wide(files[1]));
    compat::compare_releases(*released, *current, found);
    if (plugin)
        check_released_values(windows_path(*plugin), windows_path(files[0]), windows_path(files[1]),
                              *current, found);
    return found.report(options, true);
}

}  // namespace

extern const Command compat_command;
const Command compat_command = {
    "compat", usage,
    "judges NEW against the released description OLD by what saved projects hold, a line "
    "FILE:LINE:COLUMN: error|warning|note: RULE: TEXT [path] each, then a summary (--json: as "
    "JSON); --plugin also reads a block saved under OLD under NEW; exits 1 on an error",
    &run_compat};

}  // namespace plenar::cli
