// plenar-host check DESCRIPTION.json [--plugin PLUGIN]: loads the plug-in
// with the description beside it, takes it through the steps that read the
// description (Initialize, run-object information, the property sheet of a
// new block, a run object, which links the object type's members), once per
// language section, and prints every message box it raised as a
// compiler-style diagnostic, placed in the description where that can be
// known; then the lint pass's findings, the mistakes the SDK reads past in
// silence. No error or warning for a description without problems checked
// against its object type. Without --plugin the plug-in is Unlinked.pvx, an object type
// with no member linked, loaded under the description's own name:
// everything but the linking is checked, and a note says that the linking
// was not.
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include "checks/plugin_session.h"
#include "checks/sdk_messages.h"
#include "command.h"
#include "compat/compare.h"
#include "diagnostics.h"
#include "json_places.h"
#include "lint/lint.h"
#include "output.h"
#include "paths.h"
#include "plenar_sim/sim.h"

namespace plenar::cli {
namespace {

const char* const usage = "DESCRIPTION.json [--plugin PLUGIN] [--json] [--warnings-as-errors]";

std::string read_file(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + sim::utf8_from_wide(path));
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int run_check(const std::vector<std::wstring>& arguments) {
    std::optional<std::wstring> description, plugin;
    bool understood = true;
    ReportOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == L"--plugin" && i + 1 < arguments.size())
            plugin = arguments[++i];
        else if (options.take(arguments[i]))
            continue;
        else if (!description && arguments[i].rfind(L"--", 0) != 0)
            description = arguments[i];
        else
            understood = false;
    }
    if (!description || !understood) {
        print_line(std::string("usage: plenar-host check ") + usage);
        return 2;
    }
    const std::string shown = sim::utf8_from_wide(*description);
    const std::wstring description_path = windows_path(*description);
    const std::wstring plugin_path =
        plugin ? windows_path(*plugin) : sim::program_folder() + L"\\Unlinked.pvx";
    std::optional<std::wstring> name;
    if (!plugin) name = plugin_base_name(description_path);
    std::string text;
    JsonScan scan;
    Diagnostics found(shown);
    try {
        text = read_file(description_path);
        scan = scan_json(text);
        report_sdk_messages({plugin_path, description_path, name}, text, scan, found);
    } catch (const std::runtime_error& error) {
        print_line(std::string("plenar-host: ") + error.what());
        return 1;
    }
    if (scan.root) compat::compare_sections(*scan.root, found);
    lint_description(text, scan, found);
    if (!plugin)
        found.add({Severity::note,
                   0,
                   0,
                   "linking not checked",
                   "no object type's members were linked; "
                   "--plugin NAME.pvx checks the members NAME links against this description",
                   {},
                   {}});
    return found.report(options, false);
}

}  // namespace

extern const Command check_command;
const Command check_command = {
    "check", usage,
    "loads the object type PLUGIN (without it, one with no member linked) with a "
    "description, once per language section, and reports each of its messages, then each "
    "mistake the lint pass finds, as "
    "FILE:LINE:COLUMN: error|warning|note: CAPTION: TEXT [path] (--json: as JSON); exits 1 on "
    "an error (--warnings-as-errors: or a warning)",
    &run_check};

}  // namespace plenar::cli
