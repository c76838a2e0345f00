#include "released_values.h"

#include <cstring>
#include <random>
#include "../compat/compare.h"
#include "../compat/rules.h"
#include "check_support.h"
#include "plenar/exports.h"
#include "plenar_sim/resources.h"
#include "plenar_sim/sim.h"
#include "random_values.h"

namespace plenar::cli {
namespace {

// What one entry shows the host: its value (none for entries without one)
// and its check box.
struct Shown {
    std::string value;
    uint32_t check = 0;
    bool operator==(const Shown&) const = default;
};

std::string told(const Shown& shown) {
    return (shown.value.empty() ? "no value" : shown.value) + ", box " +
           (shown.check ? "ticked" : "unticked");
}

Shown shown_by(PluginSession& session, void* block, uint32_t id) {
    HostServices* services = session.host().services();
    Shown shown;
    if (auto* value = session.call("GetPropValue", services, block, id).pointer<PropValue>()) {
        const sim::ReadValue read = sim::take_plugin_value(value);
        shown.value = read.class_id == prop_class_wstr
                          ? "\"" + sim::utf8_from_wide(read.text) + "\""
                          : std::to_string(read.number);
    }
    shown.check = session.call("GetPropCheck", services, block, id).value ? 1 : 0;
    return shown;
}

// What every entry of the sheet shows, by position; the sheet's ids.
std::vector<Shown> shown_by_all(PluginSession& session, void* block,
                                const std::vector<uint32_t>& ids) {
    std::vector<Shown> all;
    for (uint32_t id : ids) all.push_back(shown_by(session, block, id));
    return all;
}

std::vector<uint32_t> sheet_ids(PluginSession& session) {
    std::vector<uint32_t> ids;
    for (const PropertyDescriptor* d = descriptors_given(session.host()); d && d->id; ++d)
        if (d->id != property_folder_end_id) ids.push_back(d->id);
    return ids;
}

// A new block with its sheet opened: every entry at its default.
void* opened_block(PluginSession& session) {
    void* block = session.new_block();
    session.call_on_block(block, "GetProperties", session.host().services(), block, 0);
    return block;
}

// "Properties" of the section that fixes what instances store.
JsonNode stored_properties(const std::string& text) {
    const JsonScan scan = scan_json(text);
    const JsonNode* first = scan.root ? compat::first_section(*scan.root) : nullptr;
    return first ? (*first)["Properties"] : JsonNode{};
}

}  // namespace

ReleasedReading read_released_block(const std::wstring& plugin, const std::wstring& released,
                                    const std::optional<std::wstring>& current, uint32_t seed) {
    ReleasedReading reading;
    std::string saved;
    std::vector<uint32_t> saved_ids;
    std::vector<Shown> saved_shown;
    {
        PluginSession session(plugin, released);
        if (session.initialize() != 0) {
            reading.problem = "Initialize failed under the released description";
            return reading;
        }
        void* block = opened_block(session);
        HostServices* services = session.host().services();
        std::mt19937 random(seed);
        for (const PropertyDescriptor* d = descriptors_given(session.host()); d && d->id; ++d) {
            if (d->id == property_folder_end_id) continue;
            if (auto value = random_property_value(*d, random))
                session.call_on_block(block, "SetPropValue", services, block, d->id,
                                      static_cast<PropValue*>(value.get()));
            const uint32_t state =
                session.call("GetPropCheck", services, block, d->id).value ? 0 : 1;
            session.call_on_block(block, "SetPropCheck", services, block, d->id, state);
        }
        saved_ids = sheet_ids(session);
        saved_shown = shown_by_all(session, block, saved_ids);
        saved.assign(static_cast<const char*>(block), session.host().edit_data().length(block));
    }
    PluginSession session(plugin, current);
    if (session.initialize() != 0) {
        reading.problem = "Initialize failed under the current description";
        return reading;
    }
    void* fresh = opened_block(session);
    const std::vector<uint32_t> ids = sheet_ids(session);
    const std::vector<Shown> defaults = shown_by_all(session, fresh, ids);
    void* block = session.host().edit_data().create(uint32_t(saved.size()));
    std::memcpy(block, saved.data(), saved.size());
    HostServices* services = session.host().services();
    if (session.call_on_block(block, "LoadObject", services, nullptr, block, 0).value != 0) {
        reading.problem = "LoadObject refused the block saved under the released description";
        return reading;
    }
    std::string current_text;
    if (current) {
        current_text = sim::read_file(*current);
    } else if (auto bytes = sim::find_resource(session.plugin().module(), L"KVOR", 102)) {
        current_text.assign(bytes->begin(), bytes->end());
    }
    const std::vector<int> kept = compat::kept_properties(
        stored_properties(sim::read_file(released)), stored_properties(current_text));
    for (size_t j = 0; j < ids.size(); ++j) {
        const size_t position = ids[j] - property_id_base;
        const int from = position < kept.size() ? kept[position] : -1;
        const Shown read = shown_by(session, block, ids[j]);
        Shown wanted = defaults[j];
        std::string what = "its default";
        if (from >= 0) {
            for (size_t i = 0; i < saved_ids.size(); ++i)
                if (saved_ids[i] - property_id_base == uint32_t(from)) wanted = saved_shown[i];
            what = "the value saved for position " + std::to_string(from);
        }
        if (!(read == wanted))
            reading.misread.push_back(
                {position, "reads " + told(read) + " instead of " + what + ", " + told(wanted)});
    }
    return reading;
}

void check_released_values(const std::wstring& plugin, const std::wstring& released,
                           const std::wstring& current, const JsonNode& current_description,
                           Diagnostics& found) {
    const uint32_t seed = std::random_device()();
    ReleasedReading reading;
    try {
        reading = read_released_block(plugin, released, current, seed);
    } catch (const std::exception& error) {
        reading.problem = error.what();
    }
    if (!reading.problem.empty()) {
        found.add({Severity::error, 0, 0, "plugin", reading.problem, {}, {}});
        return;
    }
    const JsonNode* first = compat::first_section(current_description);
    std::string section;
    for (const JsonMember& member : current_description.members)
        if (&member.value == first) section = member.name;
    const compat::RuleInfo& rule = compat::rule_info(compat::Rule::saved_value_misread);
    for (const MisreadValue& misread : reading.misread) {
        const JsonNode& entry = first ? (*first)["Properties"][misread.position] : JsonNode{};
        found.add({rule.severity, entry.line, entry.column, rule.name,
                   misread.text + " (random values from seed " + std::to_string(seed) + ")",
                   "Properties[" + std::to_string(misread.position) + "]", section});
    }
}

}  // namespace plenar::cli
