#include "sdk_messages.h"

#include <algorithm>
#include <vector>
#include "message_places.h"
#include "plenar_sim/sim.h"
#include "plugin_session.h"

namespace plenar::cli {
namespace {

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

// The steps of the host that read the description.
void exercise(PluginSession& session) {
    if (session.initialize() != 0) return;
    RunObjectInfo info;
    if (!session.run_object_info(info)) return;
    void* block = session.new_block();
    session.call_on_block(block, "GetProperties", session.host().services(), block, 0);
    session.create_and_destroy_run_object(block);
}

// A Tovrandi.ini whose Languages list names `section` alone; none when no
// list can name it. The settings reader drops one blank before the list and
// one before each name, so a name's own leading blank follows an empty name.
std::optional<std::string> settings_naming(const std::string& section) {
    if (section.find_first_of(";\r\n") != std::string::npos) return std::nullopt;
    return "Languages=" + std::string(section.rfind(' ', 0) == 0 ? "; " : "") + section + "\r\n";
}

// The messages of one load, placed in `section` (null: the primary language).
std::vector<Diagnostic> load_once(const CheckedObject& object, std::string_view text,
                                  const JsonScan& scan, const JsonMember* section,
                                  const std::optional<std::string>& settings) {
    PluginSession session(object.plugin, object.description, object.name, settings);
    sim::Interception::instance().clear();
    exercise(session);
    MessagePlaces places(text, scan.root ? &*scan.root : nullptr,
                         section ? &section->value : nullptr);
    const std::string named = section ? section->name : std::string();
    std::vector<Diagnostic> found;
    for (const sim::MessageBoxCall& box : sim::Interception::instance().message_boxes()) {
        Diagnostic d{severity_of(box), 0, 0, box.caption, one_line(box.text), {}, named};
        if (const std::optional<DescriptionPlace> place = places.find(box)) {
            d.line = place->line;
            d.column = place->line ? place->column : 0;
            d.path = place->path;
        }
        found.push_back(std::move(d));
    }
    for (const std::string& fault : session.stack_faults())
        found.push_back({Severity::error, 0, 0, "stack", fault, {}, named});
    return found;
}

// Whether `d` was already said by an earlier load: the same message at the
// same place, or, unplaced, the same message anywhere.
bool said_before(const std::vector<Diagnostic>& earlier, const Diagnostic& d) {
    return std::any_of(earlier.begin(), earlier.end(), [&](const Diagnostic& e) {
        return e.severity == d.severity && e.rule == d.rule && e.text == d.text &&
               (!d.line || (e.line == d.line && e.column == d.column));
    });
}

}  // namespace

void report_sdk_messages(const CheckedObject& object, std::string_view text, const JsonScan& scan,
                         Diagnostics& found) {
    const std::vector<const JsonMember*> sections =
        scan.root ? language_sections(*scan.root) : std::vector<const JsonMember*>();
    if (sections.size() <= 1) {
        for (Diagnostic& d : load_once(object, text, scan, nullptr, std::nullopt))
            found.add(std::move(d));
        return;
    }
    std::vector<Diagnostic> said;
    for (const JsonMember* section : sections) {
        const std::optional<std::string> settings = settings_naming(section->name);
        if (!settings) {
            const JsonNode& place = section->value;
            found.add({Severity::note,
                       place.name_line,
                       place.name_column,
                       "language section",
                       "no Tovrandi.ini can name this section (its name holds a ';' or a line "
                       "end), so no host chooses it: not loaded on its own",
                       {},
                       section->name});
            continue;
        }
        std::vector<Diagnostic> fresh;
        for (Diagnostic& d : load_once(object, text, scan, section, settings))
            if (!said_before(said, d)) fresh.push_back(std::move(d));
        for (Diagnostic& d : fresh) {
            found.add(d);
            said.push_back(std::move(d));
        }
    }
}

}  // namespace plenar::cli
