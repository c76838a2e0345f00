#include <cstdio>
#include "output.h"
#include "show_sections.h"

namespace plenar::cli {

bool exported(const ShowState& state, std::string_view name) {
    if (state.plugin.address(name)) return true;
    print_item(std::string(name) + ": missing");
    return false;
}

void report_message_boxes(ShowState& state, int depth) {
    const auto& boxes = sim::Interception::instance().message_boxes();
    for (; state.message_boxes_seen < boxes.size(); ++state.message_boxes_seen) {
        const sim::MessageBoxCall& box = boxes[state.message_boxes_seen];
        print_item(std::string("message box (") + (box.wide ? "MessageBoxW" : "MessageBoxA") +
                       ", style " + std::to_string(box.style) + "): " + quoted(box.caption),
                   depth);
        print_item(quoted(box.text), depth + 1);
    }
}

void follow_edit_data(ShowState& state) {
    const auto& calls = state.host.service_calls();
    for (; state.service_calls_seen < calls.size(); ++state.service_calls_seen) {
        const sim::ServiceCall& call = calls[state.service_calls_seen];
        if (call.code == service_resize_edit_data && call.result &&
            reinterpret_cast<void*>(call.a) == state.edit_data)
            state.edit_data = reinterpret_cast<void*>(call.result);
    }
}

std::string wide_text(const void* text) {
    return text ? sim::utf8_from_wide(static_cast<const wchar_t*>(text)) : std::string();
}

std::string quoted_wide(const void* text) { return text ? quoted(wide_text(text)) : "(null)"; }

std::string pixel_colour(uint32_t pixel) {
    char text[24];
    if ((pixel >> 24) == 0xFF)
        std::snprintf(text, sizeof text, "#%06X", pixel & 0xFFFFFF);
    else
        std::snprintf(text, sizeof text, "#%06X alpha %u", pixel & 0xFFFFFF, pixel >> 24);
    return text;
}

std::vector<Sample> samples_for(const AceRecord* record, RoutineKind kind) {
    std::vector<Sample> samples;
    uint32_t next_number = 2;
    for (int i = 0; record && i < record->parameter_count; ++i) {
        const uint16_t code = record->code(i);
        const bool expression = kind == RoutineKind::expression;
        const bool text = expression ? code == 3 : code == 40 || code == 45;
        const bool number = expression ? code == 1 : code == 22;
        samples.push_back({text, number ? next_number++ : 0});
    }
    return samples;
}

std::string sample_text(const Sample& sample) {
    return sample.text ? "\"sample\"" : std::to_string(sample.number);
}

std::string padded(std::string text, size_t width) {
    if (text.size() < width)
        text.resize(width, ' ');
    else
        text += ' ';
    return text;
}

}  // namespace plenar::cli
