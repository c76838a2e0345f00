// plenar-host show PLUGIN [--png FILE] [--trace FILE]: everything the host
// sees of a plug-in: the library (exports, imports, resources, version strings, icon
// resource), Initialize, then the object as the editor and a run see it
// (show_*.cpp), and with --png a picture of the icon and the drawing.
#include <windows.h>
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include "command.h"
#include "output.h"
#include "paths.h"
#include "show_sections.h"
#include "plenar/exports.h"
#include "plenar_sim/sim.h"
#include "plenar_sim/trace.h"

namespace plenar::cli {
namespace {

// A list of words wrapped to the report's width.
void print_wrapped(const std::vector<std::string>& words, int depth = 2) {
    std::string line;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string word = words[i] + (i + 1 < words.size() ? "," : "");
        if (!line.empty() && line.size() + 1 + word.size() > static_cast<size_t>(76 - 2 * depth)) {
            print_item(line, depth);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) print_item(line, depth);
}

void show_exports(const sim::Plugin& plugin) {
    print_section("Exports");
    std::vector<std::string> found;
    for (const ExportEntry& entry : export_table)
        if (plugin.address(entry.name)) found.emplace_back(entry.name);
    const std::vector<std::string> missing = plugin.missing_exports();
    print_item(std::to_string(found.size()) + " of the host's 45 exports found" +
               (missing.empty() ? "." : "; " + std::to_string(missing.size()) + " missing."));
    if (!found.empty()) {
        print_item("found:");
        print_wrapped(found);
    }
    if (!missing.empty()) {
        print_item("missing:");
        print_wrapped(missing);
    }
    std::vector<std::string> others;
    for (const std::string& name : sim::read_exports(plugin.module()).names)
        if (std::none_of(std::begin(export_table), std::end(export_table),
                         [&](const ExportEntry& e) { return name == e.name; }))
            others.push_back(name);
    if (!others.empty()) {
        print_item("not the host's:");
        print_wrapped(others);
    }
}

void show_imports(const sim::Plugin& plugin) {
    print_section("Imports");
    std::map<std::string, std::vector<sim::ImportEntry>> by_library;
    for (const sim::ImportEntry& entry : sim::read_imports(plugin.module()))
        by_library[entry.library].push_back(entry);
    for (const auto& [library, entries] : by_library) {
        std::vector<std::string> ordinals, names;
        for (const sim::ImportEntry& entry : entries)
            (entry.by_ordinal ? ordinals : names)
                .push_back(entry.by_ordinal ? std::to_string(entry.ordinal) : entry.name);
        if (_stricmp(library.c_str(), "plenarcore.dll") != 0) {
            print_item(library + ": " + std::to_string(entries.size()) + " functions");
            continue;
        }
        print_item(library + ": " + std::to_string(ordinals.size()) + " by ordinal, " +
                   std::to_string(names.size()) + " by name");
        if (!ordinals.empty()) print_wrapped(ordinals);
        if (!names.empty()) print_wrapped(names);
    }
    print_item(std::to_string(plugin.patched_imports()) +
               " imports intercepted (message boxes, debugger output, tick count)");
}

// Bytes up to the end of a PNG's end chunk, or 0 when they are not a PNG.
size_t png_length(const std::vector<uint8_t>& bytes) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0) return 0;
    const uint8_t end[4] = {'I', 'E', 'N', 'D'};
    auto at = std::search(bytes.begin() + 8, bytes.end(), end, end + 4);
    return at == bytes.end() ? 0 : std::min<size_t>(bytes.size(), (at - bytes.begin()) + 8);
}

std::string describe(const sim::ResourceEntry& entry) {
    if (entry.type_id == 6) {  // a string table block
        std::string text;
        const std::vector<std::string> strings = sim::string_table_block(entry.bytes);
        for (size_t i = 0; i < strings.size(); ++i)
            if (!strings[i].empty())
                text += (text.empty() ? "" : ", ") + std::to_string((entry.id - 1) * 16 + i) + " " +
                        quoted(strings[i]);
        return text.empty() ? "no strings" : "strings " + text;
    }
    if (entry.type_id == 16) return "version information (below)";
    if (const size_t png = png_length(entry.bytes))
        return "PNG image of " + std::to_string(png) + " bytes" +
               (png < entry.bytes.size() ? ", then " + std::to_string(entry.bytes.size() - png) +
                                               " bytes after its end chunk"
                                         : "");
    if (!entry.bytes.empty() && (entry.bytes[0] == '{' || entry.bytes[0] == '/' ||
                                 (entry.bytes.size() > 3 && entry.bytes[0] == 0xEF))) {
        const size_t start = entry.bytes[0] == 0xEF ? 3 : 0;
        // The start of the text, its runs of white space made one space.
        std::string text;
        size_t at = start;
        for (; at < entry.bytes.size() && text.size() < 40; ++at) {
            const char c = static_cast<char>(entry.bytes[at]);
            const bool space = c == ' ' || c == '\r' || c == '\n' || c == '\t';
            if (!space)
                text += c;
            else if (!text.empty() && text.back() != ' ')
                text += ' ';
        }
        return "text " + quoted(text) + (at < entry.bytes.size() ? " ..." : "");
    }
    return "bytes " + hex_bytes(entry.bytes, 16);
}

void show_resources(const sim::Plugin& plugin) {
    print_section("Resources");
    const std::vector<sim::ResourceEntry> resources = sim::list_resources(plugin.module());
    if (resources.empty()) print_item("none");
    for (const sim::ResourceEntry& entry : resources) {
        std::string heading = entry.type_id ? entry.type : quoted(entry.type);
        heading += " " + entry.name;
        heading.resize(std::max<size_t>(heading.size() + 1, 14), ' ');
        std::string size = std::to_string(entry.bytes.size()) + " bytes";
        size.insert(0, std::max<int>(0, 12 - static_cast<int>(size.size())), ' ');
        print_item(heading + "language " + std::to_string(entry.language) + size + "  " +
                   describe(entry));
    }
}

std::string version_text(const uint16_t (&parts)[4]) {
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
           std::to_string(parts[2]) + "." + std::to_string(parts[3]);
}

void show_version(const sim::Plugin& plugin) {
    print_section("Version information");
    const sim::VersionInfo info = sim::read_version_info(plugin.path());
    if (!info.present) {
        print_item("none");
        return;
    }
    print_field("file version", version_text(info.file_version));
    print_field("product version", version_text(info.product_version));
    print_field("file type",
                info.file_type == VFT_DLL ? "dynamic library" : hex_word(info.file_type));
    print_field("operating system",
                info.file_os == VOS__WINDOWS32 ? "32-bit Windows" : hex_word(info.file_os));
    print_field("translation", info.translation);
    for (const char* name :
         {"ProductName", "FileDescription", "FileVersion", "InternalName", "OriginalFilename",
          "ProductVersion", "CompanyName", "LegalCopyright"}) {
        const auto found = info.strings.find(name);
        print_field(name, found == info.strings.end() ? "(none)" : quoted(found->second));
    }
}

void show_icon(const sim::Plugin& plugin, sim::Host& host) {
    print_section("Icon");
    const auto bytes = sim::find_resource(plugin.module(), L"KVOR", 101);
    if (!bytes) {
        print_item("no \"KVOR\" 101 resource");
        return;
    }
    InputFile* file = CreateMemoryInputFile();
    file->Open(bytes->data(), static_cast<uint32_t>(bytes->size()));
    Surface icon;
    const uint32_t format = image_format_png;
    const int32_t result =
        ImportImage(host.services()->image_import_context, file, &icon, &format, 0);
    file->Release();
    if (result != 0 || !icon.pixels) {
        print_item("\"KVOR\" 101 does not decode as PNG");
        return;
    }
    print_item("\"KVOR\" 101 decodes to " + std::to_string(icon.width) + " x " +
               std::to_string(icon.height) + " pixels, " +
               (icon.HasAlpha() ? "with transparent pixels" : "all opaque"));
}

void show_initialize(sim::Plugin& plugin, sim::Host& host) {
    print_section("Initialize");
    if (!plugin.address("Initialize")) {
        print_item("not exported; not called");
        return;
    }
    sim::Interception& intercepted = sim::Interception::instance();
    intercepted.clear();
    const sim::CallResult result = plugin.call("Initialize", host.services(), 0);
    print_field("host version word", hex_word(sim::Host::default_version));
    print_field("result", std::to_string(static_cast<int32_t>(result.value)));
    print_field("stack", !sim::stack_measured ? sim::stack_not_measured_reason
                         : result.balanced()
                             ? "balanced (stdcall, 8 bytes)"
                             : "UNBALANCED: removed " + std::to_string(result.bytes_removed) +
                                   " bytes, 8 expected");
    print_field("message boxes", std::to_string(intercepted.message_boxes().size()));
    for (const sim::MessageBoxCall& box : intercepted.message_boxes()) {
        print_item(std::string(box.wide ? "MessageBoxW" : "MessageBoxA") + ", style " +
                       std::to_string(box.style) + ", owner " +
                       hex_word(static_cast<uint32_t>(box.owner)),
                   2);
        print_item("caption " + quoted(box.caption), 3);
        print_item("text    " + quoted(box.text), 3);
    }
    print_field("debugger output", std::to_string(intercepted.debug_output().size()) + " lines");
    for (const sim::DebugOutputLine& line : intercepted.debug_output())
        print_item(quoted(line.text) + (line.wide ? "" : " (narrow)"), 2);
    print_field("host calls", std::to_string(host.service_calls().size()) + " service calls, " +
                                  std::to_string(host.version_calls()) + " version calls");
    for (const std::string& fault : host.faults()) print_item("host fault: " + fault, 2);
}

constexpr const char* usage_line = "usage: plenar-host show PLUGIN [--png FILE] [--trace FILE]";

// The object as the host's editor and run time see it, in the order a host
// meets it: information, an instance, its records, menus and properties, its
// icon and drawing, then a run.
void show_object(sim::Plugin& plugin, sim::Host& host, const std::optional<std::wstring>& png) {
    ShowState state(plugin, host);
    state.message_boxes_seen = sim::Interception::instance().message_boxes().size();
    show_description(state);
    show_object_information(state);
    show_run_object_information(state);
    show_editor_object(state);
    show_records(state);
    show_menus(state);
    show_properties(state);
    show_icon_surface(state);
    show_editor_drawing(state);
    show_run(state);
    if (png) write_picture(state, *png);
}

int run_show(const std::vector<std::wstring>& arguments) {
    std::optional<std::wstring> plugin_argument, png, trace_file;
    bool understood = true;
    for (size_t i = 0; i < arguments.size() && understood; ++i) {
        const bool has_value = i + 1 < arguments.size();
        if (arguments[i] == L"--png" && has_value && !png)
            png = windows_path(arguments[++i]);
        else if (arguments[i] == L"--trace" && has_value && !trace_file)
            trace_file = windows_path(arguments[++i]);
        else if (!plugin_argument && arguments[i].rfind(L"--", 0) != 0)
            plugin_argument = arguments[i];
        else
            understood = false;
    }
    if (!plugin_argument || !understood) {
        print_line(usage_line);
        return 2;
    }
    if (trace_file) sim::trace::start();
    const std::wstring path = windows_path(*plugin_argument);
    std::unique_ptr<sim::Plugin> plugin;
    try {
        plugin = std::make_unique<sim::Plugin>(path);
    } catch (const std::runtime_error& error) {
        print_line(std::string("plenar-host: ") + error.what());
        return 1;
    }
    sim::Host host;
    print_line("Plug-in " + sim::utf8_from_wide(path));
    show_exports(*plugin);
    show_imports(*plugin);
    show_resources(*plugin);
    show_version(*plugin);
    show_icon(*plugin, host);
    show_initialize(*plugin, host);
    show_object(*plugin, host, png);
    print_section("Faults");
    if (plugin->faults().empty() && host.faults().empty()) print_item("none");
    for (const std::string& fault : plugin->faults()) print_item("call fault: " + fault);
    for (const std::string& fault : host.faults()) print_item("host fault: " + fault);
    if (trace_file && !sim::trace::write(*trace_file)) {
        print_line("plenar-host: cannot write the trace " + sim::utf8_from_wide(*trace_file));
        return 1;
    }
    return 0;
}

}  // namespace

const Command show_command = {
    "show", "PLUGIN [--png FILE] [--trace FILE]",
    "everything the host sees of a plug-in: library, Initialize, records, "
    "menus, properties, icon, drawing, a run, the debugger; --png: a "
    "picture of the icon and the drawing; --trace: every call between host and "
    "plug-in as a Trace Event JSON file",
    &run_show};

}  // namespace plenar::cli
