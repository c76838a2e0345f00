// The edit-time instance, the icon the host lists it with and its drawing
// in the frame editor.
#include <algorithm>
#include <cstring>
#include <map>
#include "output.h"
#include "show_sections.h"

namespace plenar::cli {
namespace {

constexpr int32_t object_left = 10, object_top = 20;  // where the host places the instance

uint32_t identifier_word(const RunObjectInfo& info) {
    uint32_t word = 0;
    std::memcpy(&word, info.identifier, sizeof word);
    return word;
}

std::string rect_text(const Rect& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + "), " +
           std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top);
}

// The colours of a surface region, most frequent first.
std::vector<std::pair<uint32_t, size_t>> colours_in(const Surface& surface, const Rect& r,
                                                    bool (*counted)(uint32_t)) {
    std::map<uint32_t, size_t> counts;
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x)
            if (counted(sim::pixel_at(surface, x, y))) ++counts[sim::pixel_at(surface, x, y)];
    std::vector<std::pair<uint32_t, size_t>> sorted(counts.begin(), counts.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](auto& a, auto& b) { return a.second > b.second; });
    return sorted;
}

void print_colours(const std::vector<std::pair<uint32_t, size_t>>& colours, size_t most) {
    for (size_t i = 0; i < colours.size() && i < most; ++i)
        print_item(padded(pixel_colour(colours[i].first), 20) + std::to_string(colours[i].second) +
                       " pixels",
                   2);
    if (colours.size() > most)
        print_item("and " + std::to_string(colours.size() - most) + " colours more", 2);
}

}  // namespace

void show_editor_object(ShowState& state) {
    print_section("Editor object");
    const uint32_t size = state.have_info ? state.info.edit_data_size : 0;
    const uint32_t block_size = size ? size : 1024;
    state.edit_data = state.host.edit_data().create(
        block_size, state.have_info ? identifier_word(state.info) : 0);
    print_field("edit data",
                std::to_string(block_size) + " bytes" +
                    (size ? " (RunObjectInfo's size)" : " (no size from GetRunObjectInfos)"));
    if (!exported(state, "CreateObject")) return;
    const sim::CallResult created =
        state.plugin.call("CreateObject", state.host.services(), nullptr, state.edit_data);
    print_field("CreateObject", std::to_string(static_cast<int32_t>(created.value)) + ", " +
                                    std::to_string(state.host.count(service_edit_data_notice)) +
                                    " edit-data notices");
    report_message_boxes(state);
    if (!exported(state, "GetObjectRect")) return;
    Rect rect{object_left, object_top, object_left, object_top};
    state.plugin.call("GetObjectRect", state.host.services(), &rect, nullptr, state.edit_data);
    print_field("GetObjectRect", "at (" + std::to_string(object_left) + ", " +
                                     std::to_string(object_top) + "): " + rect_text(rect));
    state.object_rect = rect;
    state.have_rect = true;
    report_message_boxes(state);
}

void show_icon_surface(ShowState& state) {
    print_section("Icon (MakeIconEx)");
    if (!exported(state, "MakeIconEx")) return;
    const sim::CallResult result = state.plugin.call("MakeIconEx", state.host.services(),
                                                     &state.icon, nullptr, nullptr, nullptr);
    print_field("result", std::to_string(static_cast<int32_t>(result.value)));
    report_message_boxes(state);
    const Surface& icon = state.icon;
    if (!icon.pixels) {
        print_item("the icon surface stayed empty");
        return;
    }
    state.have_icon = true;
    print_field("size", std::to_string(icon.width) + " x " + std::to_string(icon.height));
    const bool keyed = icon.transparent != Surface::no_transparent_colour;
    print_field("transparent colour",
                keyed ? hex_word(icon.transparent) + " (" +
                            pixel_colour(sim::opaque_pixel(icon.transparent)) + ")"
                      : "none");
    size_t clear = 0, partial = 0, keyed_pixels = 0;
    for (int32_t i = 0; i < icon.width * icon.height; ++i) {
        const uint32_t pixel = icon.pixels[i];
        clear += (pixel >> 24) == 0;
        partial += (pixel >> 24) != 0 && (pixel >> 24) != 0xFF;
        keyed_pixels += keyed && (pixel >> 24) &&
                        (pixel & 0xFFFFFF) == (sim::opaque_pixel(icon.transparent) & 0xFFFFFF);
    }
    print_field("pixels", std::to_string(clear) + " fully transparent, " + std::to_string(partial) +
                              " partly transparent, " + std::to_string(keyed_pixels) +
                              " of the transparent colour");
    print_item("most used colours:");
    print_colours(colours_in(icon, {0, 0, icon.width, icon.height},
                             [](uint32_t p) { return (p >> 24) != 0; }),
                  3);
}

void show_editor_drawing(ShowState& state) {
    print_section("Frame-editor drawing (EditorDisplay)");
    if (!exported(state, "EditorDisplay")) return;
    Surface* editor = state.host.editor_surface();
    if (!editor || !editor->pixels) {
        print_item("the host has no editor surface");
        return;
    }
    editor->Clear();
    Rect rect = state.have_rect ? state.object_rect : Rect{10, 20, 160, 170};
    print_field("rectangle given", rect_text(rect));
    state.plugin.call("EditorDisplay", state.host.services(), nullptr, nullptr, nullptr, &rect);
    report_message_boxes(state);
    Rect box{editor->width, editor->height, 0, 0};
    for (int32_t y = 0; y < editor->height; ++y)
        for (int32_t x = 0; x < editor->width; ++x)
            if (sim::pixel_at(*editor, x, y) != 0)
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
    if (box.right <= box.left) {
        print_item("nothing drawn on the " + std::to_string(editor->width) + " x " +
                   std::to_string(editor->height) + " editor surface");
        return;
    }
    state.drawn = box;
    state.have_drawing = true;
    print_field("drawn", rect_text(box));
    print_field("edge colour", pixel_colour(sim::pixel_at(*editor, box.left, box.top)));
    print_field("centre colour", pixel_colour(sim::pixel_at(*editor, (box.left + box.right) / 2,
                                                            (box.top + box.bottom) / 2)));
    print_item("colours found:");
    print_colours(colours_in(*editor, box, [](uint32_t p) { return p != 0; }), 6);
}

}  // namespace plenar::cli
