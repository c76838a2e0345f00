#include "check_support.h"

#include "plenar_sim/sim.h"

namespace plenar::cli {

std::unique_ptr<PluginSession> open_session(const CheckContext& context) {
    auto session = std::make_unique<PluginSession>(context.plugin, context.description);
    sim::Interception::instance().clear();
    return session;
}

std::unique_ptr<PluginSession> initialised_session(const CheckContext& context,
                                                   std::string& problem) {
    auto session = open_session(context);
    const int32_t result = session->initialize();
    if (result != 0) {
        problem = "Initialize returned " + std::to_string(result);
        const std::string boxes = message_boxes_since(0);
        if (!boxes.empty()) problem += " after " + boxes;
        return nullptr;
    }
    return session;
}

size_t message_box_count() { return sim::Interception::instance().message_boxes().size(); }

std::string message_boxes_since(size_t first) {
    const auto& boxes = sim::Interception::instance().message_boxes();
    if (first >= boxes.size()) return {};
    std::string text;
    for (char c : boxes[first].text) text += c == '\r' ? ' ' : c == '\n' ? ' ' : c;
    std::string told = "message box \"" + boxes[first].caption + "\": " + text;
    if (boxes.size() - first > 1)
        told += " (and " + std::to_string(boxes.size() - first - 1) + " more)";
    return told;
}

namespace {
std::string step_now;
}

void set_current_step(std::string step) { step_now = std::move(step); }
const std::string& current_step() { return step_now; }

std::string stack_faults(const PluginSession& session) {
    std::string told;
    for (const std::string& fault : session.stack_faults())
        told += (told.empty() ? "" : "; ") + fault;
    return told;
}

}  // namespace plenar::cli
