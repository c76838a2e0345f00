// --png: what the editor shows of the object, in one picture: the icon
// enlarged, transparency as a checkerboard, beside the frame-editor drawing.
#include <cstdio>
#include <algorithm>
#include "output.h"
#include "plenar_sim/png_writer.h"
#include "show_sections.h"

namespace plenar::cli {
namespace {

constexpr int margin = 16, icon_scale = 8, checker_cell = 4, drawing_border = 8;
constexpr uint32_t canvas_colour = 0xFFE8E8E8, drawing_background = 0xFFFFFFFF,
                   checker_light = 0xFFFFFFFF, checker_dark = 0xFFC8C8C8;

uint32_t blend(uint32_t over, uint32_t under) {
    const uint32_t a = over >> 24;
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t top = (over >> shift) & 0xFF, bottom = (under >> shift) & 0xFF;
        out |= ((top * a + bottom * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

struct Canvas {
    int width, height;
    std::vector<uint32_t> pixels;
    uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

void draw_icon(Canvas& canvas, const Surface& icon, int left, int top) {
    const bool keyed = icon.transparent != Surface::no_transparent_colour;
    const uint32_t key = sim::opaque_pixel(icon.transparent) & 0xFFFFFF;
    for (int y = 0; y < icon.height * icon_scale; ++y)
        for (int x = 0; x < icon.width * icon_scale; ++x) {
            const uint32_t checker =
                ((x / checker_cell + y / checker_cell) % 2) ? checker_dark : checker_light;
            uint32_t pixel = sim::pixel_at(icon, x / icon_scale, y / icon_scale);
            if (keyed && (pixel & 0xFFFFFF) == key) pixel = 0;
            canvas.at(left + x, top + y) = blend(pixel, checker);
        }
}

void draw_region(Canvas& canvas, const Surface& surface, const Rect& region, int left, int top) {
    for (int y = region.top; y < region.bottom; ++y)
        for (int x = region.left; x < region.right; ++x)
            canvas.at(left + x - region.left, top + y - region.top) =
                blend(sim::pixel_at(surface, x, y), drawing_background);
}

}  // namespace

void write_picture(ShowState& state, const std::wstring& path) {
    print_section("Picture");
    Surface* editor = state.host.editor_surface();
    Rect region{};
    if (state.have_drawing && editor)
        region = {std::max(0, state.drawn.left - drawing_border),
                  std::max(0, state.drawn.top - drawing_border),
                  std::min(editor->width, state.drawn.right + drawing_border),
                  std::min(editor->height, state.drawn.bottom + drawing_border)};
    const int icon_width = state.have_icon ? state.icon.width * icon_scale : 0;
    const int icon_height = state.have_icon ? state.icon.height * icon_scale : 0;
    const int region_width = region.right - region.left, region_height = region.bottom - region.top;
    Canvas canvas;
    canvas.width =
        margin + icon_width + (icon_width && region_width ? margin : 0) + region_width + margin;
    canvas.height = margin + std::max(icon_height, region_height) + margin;
    canvas.pixels.assign(static_cast<size_t>(canvas.width) * canvas.height, canvas_colour);
    const int inner = canvas.height - 2 * margin;
    if (icon_width) draw_icon(canvas, state.icon, margin, margin + (inner - icon_height) / 2);
    if (region_width)
        draw_region(canvas, *editor, region, canvas.width - margin - region_width,
                    margin + (inner - region_height) / 2);
    const std::string png = sim::encode_png(canvas.width, canvas.height, canvas.pixels);
    FILE* file = _wfopen(path.c_str(), L"wb");
    const bool written = file && std::fwrite(png.data(), 1, png.size(), file) == png.size();
    if (file) std::fclose(file);
    print_field("file", sim::utf8_from_wide(path));
    if (!written) {
        print_item("could not be written");
        return;
    }
    print_field("size", std::to_string(canvas.width) + " x " + std::to_string(canvas.height) +
                            ", " + std::to_string(png.size()) + " bytes");
    print_field("shows", std::string(icon_width ? "the icon at " + std::to_string(icon_scale) + "x"
                                                : "no icon") +
                             ", " + (region_width ? "the frame-editor drawing" : "no drawing"));
}

}  // namespace plenar::cli
