// plenar-host check DESCRIPTION.json [--plugin PLUGIN]: loads the plug-in
// with the description beside it, takes it through the steps that read the
// description (Initialize, run-object information, the property sheet of a
// new block, a run object, which links the object type's members) and prints
// every message box it raised as a compiler-style diagnostic, placed in the
// description where that can be known. Silent for a description without
// problems checked against its object type. Without --plugin the plug-in is
// Unlinked.pvx, an object type with no member linked, loaded under the
// description's own name: everything but the linking is checked, and a note
// says that the linking was not.
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include "checks/message_places.h"
#include "checks/plugin_session.h"
#include "command.h"
#include "compat/compare.h"
#include "diagnostics.h"
#include "json_places.h"
#include "output.h"
#include "paths.h"
#include "plenar_sim/sim.h"

namespace plenar::cli {
namespace {

const char* const usage = "DESCRIPTION.json [--plugin PLUGIN] [--json] [--warnings-as-errors]";

bool ends_with(const std::string& text, std::string_view end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

Severity severity_of(const sim::MessageBoxCall& box) {
    const uint32_t icon = box.style & 0xF0;
    if (icon == 0x10) return Severity::error;
    if (icon == 0x30) return Severity::warning;
    if (box.text.rfind("Warning", 0) == 0) return Severity::warning;
    if (box.caption.find("Error parsing JSON") != std::string::npos ||
        ends_with(box.caption, "Error") || ends_with(box.caption, "error") ||
        ends_with(box.caption, "JSON Property parser"))
        return Severity::error;
    return Severity::note;
}

std::string read_file(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + sim::utf8_from_wide(path));
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The steps of the host that read the description.
void exercise(PluginSession& session) {
    if (session.initialize() != 0) return;
    RunObjectInfo info;
    if (!session.run_object_info(info)) return;
    void* block = session.new_block();
    session.call_on_block(block, "GetProperties", session.host().services(), block, 0);
    session.create_and_destroy_run_object(block);
}

int run_check(const std::vector<std::wstring>& arguments) {
    std::optional<std::wstring> description, plugin;
    bool understood = true, as_json = false, warnings_as_errors = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == L"--plugin" && i + 1 < arguments.size())
            plugin = arguments[++i];
        else if (arguments[i] == L"--json")
            as_json = true;
        else if (arguments[i] == L"--warnings-as-errors")
            warnings_as_errors = true;
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
    std::unique_ptr<PluginSession> session;
    try {
        text = read_file(description_path);
        session = std::make_unique<PluginSession>(plugin_path, description_path, name);
    } catch (const std::runtime_error& error) {
        print_line(std::string("plenar-host: ") + error.what());
        return 1;
    }
    sim::Interception::instance().clear();
    exercise(*session);

    const JsonScan scan = scan_json(text);
    MessagePlaces places(text, scan.root ? &*scan.root : nullptr);
    Diagnostics found(shown);
    for (const sim::MessageBoxCall& box : sim::Interception::instance().message_boxes()) {
        Diagnostic d{severity_of(box), 0, 0, box.caption, one_line(box.text)};
        if (const std::optional<DescriptionPlace> place = places.find(box)) {
            d.line = place->line;
            d.column = place->line ? place->column : 0;
            d.path = place->path;
        }
        found.add(std::move(d));
    }
    if (scan.root) compat::compare_sections(*scan.root, found);
    for (const std::string& fault : session->stack_faults())
        found.add({Severity::error, 0, 0, "stack", fault});
    if (!plugin)
        found.add({Severity::note, 0, 0, "linking not checked",
                   "no object type's members were linked; "
                   "--plugin NAME.pvx checks the members NAME links against this description"});
    if (as_json)
        found.print_json();
    else
        found.print_lines();
    return found.exit_status(warnings_as_errors);
}

}  // namespace

extern const Command check_command;
const Command check_command = {
    "check", usage,
    "loads the object type PLUGIN (without it, one with no member linked) with a "
    "description and reports each of its messages as "
    "FILE:LINE:COLUMN: error|warning|note: CAPTION: TEXT [path] (--json: as JSON); exits 1 on "
    "an error (--warnings-as-errors: or a warning)",
    &run_check};

}  // namespace plenar::cli
