// Saved blocks that cannot be what the plug-in laid out, handed to every
// property export as a damaged or hostile project would hand them: the
// storage empty, cut short, recorded as larger than the block, and random
// bytes. The plug-in must not crash (the check runs in a process of its
// own) and must not write outside the block; a block whose recorded size
// does not fit it must be said to be damaged and left as it was.
#include <cstring>
#include <random>
#include "check_support.h"
#include "kvor/messages.h"
#include "plenar/exports.h"
#include "plenar_sim/host_values.h"
#include "plenar_sim/sim.h"

namespace plenar::cli {
namespace {

constexpr uint32_t storage_offset = 28;  // host header, width, height, recorded size

struct Variant {
    std::string name;
    std::string bytes;     // the whole block, header included
    bool damaged = false;  // the plug-in can tell, so it must say so and change nothing
};

void put_word(std::string& block, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) block[at + i] = char(value >> (8 * i));
}

void record_size(std::string& block, uint32_t size) { put_word(block, 24, size); }

// The host keeps its header word equal to the block's length.
Variant held(std::string name, std::string bytes, bool damaged) {
    put_word(bytes, 0, uint32_t(bytes.size()));
    return {std::move(name), std::move(bytes), damaged};
}

// The ids of the sheet's entries, from the descriptors GetProperties gave.
std::vector<uint32_t> property_ids(sim::Host& host) {
    std::vector<uint32_t> ids;
    for (const sim::ServiceCall& call : host.service_calls())
        if (call.code == service_insert_properties && call.a) {
            for (auto* d = reinterpret_cast<const PropertyDescriptor*>(call.a); d->id; ++d)
                if (d->id != property_folder_end_id) ids.push_back(d->id);
            break;
        }
    return ids;
}

std::vector<Variant> variants_of(const std::string& sound) {
    std::vector<Variant> variants;
    const uint32_t length = uint32_t(sound.size());
    if (length > storage_offset) {
        std::string empty = sound.substr(0, storage_offset);
        record_size(empty, storage_offset);
        // As a sheet without entries lays it out: read, not reported.
        variants.push_back(held("empty storage", empty, false));
        std::string cut = sound.substr(0, storage_offset + (length - storage_offset) / 2);
        variants.push_back(held("truncated", cut, true));
    }
    std::string oversized = sound;
    record_size(oversized, length + 100);
    variants.push_back(held("oversized", oversized, true));
    std::mt19937 random(length);
    for (int i = 0; i < 8; ++i) {
        std::string noise = sound.substr(0, storage_offset);
        noise.resize(storage_offset + random() % 64);
        for (size_t at = storage_offset; at < noise.size(); ++at) noise[at] = char(random());
        record_size(noise, i % 4 == 3 ? uint32_t(random()) : uint32_t(noise.size()));
        variants.push_back(held("random " + std::to_string(i), noise, false));
    }
    return variants;
}

bool said_damaged(size_t first) {
    const auto& boxes = sim::Interception::instance().message_boxes();
    const std::string text = Kvor::message::properties_damaged.text;
    const std::string opening = text.substr(0, text.find('%'));
    for (size_t i = first; i < boxes.size(); ++i)
        if (boxes[i].text.compare(0, opening.size(), opening) == 0) return true;
    return false;
}

// Every property export on every entry of `block`; false when a write
// landed outside it.
bool every_export(PluginSession& session, void*& block, const std::vector<uint32_t>& ids) {
    HostServices* services = session.host().services();
    sim::EditDataStore& store = session.host().edit_data();
    const size_t moved_damaged = store.damaged_guards();
    for (uint32_t id : ids) {
        if (auto* value = session.call("GetPropValue", services, block, id).pointer<PropValue>())
            sim::take_plugin_value(value);
        session.call("GetPropCheck", services, block, id);
        sim::HostValue number(7u), text(std::wstring(L"a longer text than before"));
        session.call_on_block(block, "SetPropValue", services, block, id,
                              static_cast<PropValue*>(&number));
        session.call_on_block(block, "SetPropValue", services, block, id,
                              static_cast<PropValue*>(&text));
        session.call_on_block(block, "SetPropCheck", services, block, id, 1);
    }
    return store.intact(block) && store.damaged_guards() == moved_damaged;
}

CheckOutcome damaged(const CheckContext& context) {
    std::string problem;
    auto session = initialised_session(context, problem);
    if (!session) return fail(problem);
    HostServices* services = session->host().services();
    void* sound = session->new_block();
    if (session->call_on_block(sound, "GetProperties", services, sound, 0).value != 1)
        return fail("GetProperties did not answer 1");
    const std::vector<uint32_t> ids = property_ids(session->host());
    const std::string laid_out(static_cast<const char*>(sound),
                               session->host().edit_data().length(sound));
    for (const Variant& variant : variants_of(laid_out)) {
        void* block = session->host().edit_data().create(uint32_t(variant.bytes.size()));
        std::memcpy(block, variant.bytes.data(), variant.bytes.size());
        const size_t boxes_before = message_box_count();
        if (!every_export(*session, block, ids))
            return fail(variant.name + " block: a property export wrote outside the block");
        if (!variant.damaged || ids.empty()) continue;
        if (!said_damaged(boxes_before))
            return fail(variant.name + " block: no export said it was damaged" +
                        (message_box_count() > boxes_before
                             ? "; it showed " + message_boxes_since(boxes_before)
                             : ""));
        const std::string now(static_cast<const char*>(block),
                              session->host().edit_data().length(block));
        if (now != variant.bytes) return fail(variant.name + " block: changed though damaged");
    }
    const std::string faults = stack_faults(*session);
    return faults.empty() ? pass() : fail(faults);
}

}  // namespace

extern const Check state_damaged_check = {
    "state-damaged",
    "empty, truncated, oversized and random saved blocks through every property export: no "
    "crash, no write outside the block, damage reported and the block left as it was",
    &damaged};

}  // namespace plenar::cli
