// The property sheet round trip: every property set to a random value
// through SetPropValue with a value object of the host's class, the block's
// bytes saved, then read back in a fresh process by LoadObject and
// GetPropValue, and saved again unchanged.
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include "check_support.h"
#include "check_process.h"
#include "random_values.h"
#include "plenar_sim/host_values.h"
#include "plenar/exports.h"
#include "plenar_sim/sim.h"

namespace plenar::cli {
namespace {

// What one property is set to and must read back as.
struct Expected {
    std::string kind;  // "text", "number", "check"
    uint32_t id = 0;
    std::string value;  // UTF-8 text, or a decimal number
};

std::string save_expectations(const std::vector<Expected>& expected) {
    std::ostringstream out;
    for (const Expected& e : expected) {
        out << e.kind << ' ' << e.id << ' ';
        for (unsigned char c : e.value) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", c);
            out << hex;
        }
        out << '\n';
    }
    return out.str();
}

std::vector<Expected> load_expectations(const std::string& text) {
    std::vector<Expected> expected;
    std::istringstream in(text);
    Expected e;
    std::string hex;
    while (in >> e.kind >> e.id) {
        hex.clear();
        std::getline(in, hex);
        e.value.clear();
        for (size_t i = 1; i + 2 <= hex.size(); i += 2)  // after the blank
            e.value += static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16));
        expected.push_back(e);
    }
    return expected;
}

CheckOutcome read_back(const CheckContext& context) {
    std::string problem;
    auto session = initialised_session(context, problem);
    if (!session) return fail("fresh process: " + problem);
    HostServices* services = session->host().services();
    const std::string saved = sim::read_file(*context.read_back_folder + L"\\saved.bin");
    if (saved.size() < sizeof(EditDataHeader))
        return fail("fresh process: the saved block is missing");
    void* block = session->host().edit_data().create(static_cast<uint32_t>(saved.size()));
    std::memcpy(block, saved.data(), saved.size());
    const size_t boxes_before = message_box_count();
    if (session->call_on_block(block, "LoadObject", services, nullptr, block, 0).value != 0)
        return fail("fresh process: LoadObject refused the saved block");
    for (const Expected& e :
         load_expectations(sim::read_file(*context.read_back_folder + L"\\expected.txt"))) {
        const std::string where = "property " + std::to_string(e.id - property_id_base);
        if (e.kind == "check") {
            const uint32_t state = session->call("GetPropCheck", services, block, e.id).number();
            if (std::to_string(state) != e.value)
                return fail(where + ": check state reads back " + std::to_string(state) +
                            ", saved " + e.value);
            continue;
        }
        auto* value = session->call("GetPropValue", services, block, e.id).pointer<PropValue>();
        if (!value) return fail(where + ": GetPropValue gives no value after loading");
        const sim::ReadValue read = sim::take_plugin_value(value);
        const std::string got =
            e.kind == "text" ? sim::utf8_from_wide(read.text) : std::to_string(read.number);
        if (got != e.value)
            return fail(where + ": reads back \"" + got + "\", saved \"" + e.value + "\"");
    }
    // Opened and saved again, the block is the one that was saved.
    if (session->call_on_block(block, "GetProperties", services, block, 0).value != 1)
        return fail("fresh process: GetProperties did not answer 1");
    if (std::string(static_cast<const char*>(block), session->host().edit_data().length(block)) !=
        saved)
        return fail("fresh process: the block read back is not saved again byte for byte");
    const std::string boxes = message_boxes_since(boxes_before);
    if (!boxes.empty()) return fail("fresh process: reading back showed " + boxes);
    const std::string faults = stack_faults(*session);
    return faults.empty() ? pass() : fail(faults);
}

CheckOutcome round_trip(const CheckContext& context) {
    if (context.read_back_folder) return read_back(context);
    std::string problem;
    auto session = initialised_session(context, problem);
    if (!session) return fail(problem);
    HostServices* services = session->host().services();
    void* block = session->new_block();
    if (session->call_on_block(block, "GetProperties", services, block, 0).value != 1)
        return fail("GetProperties did not answer 1");
    const PropertyDescriptor* descriptor = descriptors_given(session->host());
    const uint32_t seed = context.seed.value_or(std::random_device()());
    std::mt19937 random(seed);
    const size_t boxes_before = message_box_count();
    std::vector<Expected> expected;
    for (; descriptor && descriptor->id; ++descriptor) {
        if (descriptor->id == property_folder_end_id) continue;
        const uint32_t id = descriptor->id;
        if (std::unique_ptr<sim::HostValue> value = random_property_value(*descriptor, random)) {
            if (value->GetClassID() == prop_class_wstr)
                expected.push_back({"text", id, sim::utf8_from_wide(value->text())});
            else
                expected.push_back({"number", id, std::to_string(value->number())});
            session->call_on_block(block, "SetPropValue", services, block, id,
                                   static_cast<PropValue*>(value.get()));
        }
        const uint32_t state = session->call("GetPropCheck", services, block, id).value ? 0 : 1;
        session->call_on_block(block, "SetPropCheck", services, block, id, state);
        expected.push_back({"check", id, std::to_string(state)});
    }
    const std::string boxes = message_boxes_since(boxes_before);
    if (!boxes.empty()) return fail("setting the properties showed " + boxes);
    if (!stack_faults(*session).empty()) return fail(stack_faults(*session));

    sim::TempFolder saved;
    saved.write_file(L"saved.bin", std::string(static_cast<const char*>(block),
                                               session->host().edit_data().length(block)));
    saved.write_file(L"expected.txt", save_expectations(expected));
    CheckContext fresh = context;
    fresh.read_back_folder = saved.path();
    CheckOutcome read = run_check_apart(*find_check("state-round-trip"), fresh);
    // What the plug-in printed there belongs with what it printed here.
    std::fwrite(read.output.data(), 1, read.output.size(), stdout);
    if (read.passed()) return pass();
    if (read.verdict != Verdict::failed) read.reason = "fresh process: " + read.reason;
    read.reason += " (values from seed " + std::to_string(seed) + ")";
    read.output.clear();
    return read;
}

}  // namespace

extern const Check properties_check = {
    "state-round-trip",
    "every property set to random values through SetPropValue and SetPropCheck reads back "
    "the same from the saved block in a fresh process, and is saved again byte for byte",
    &round_trip};

}  // namespace plenar::cli
