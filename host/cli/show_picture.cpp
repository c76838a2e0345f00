// --png: what the editor shows of the object, in one picture: the icon
// enlarged, transparency as a checkerboard, the frame-editor drawing, the
// three menus, the property sheet and the display strings, as the sections
// gathered them (picture/preview.h).
#include <cstdio>
#include <algorithm>
#include "output.h"
#include "plenar_sim/png_writer.h"
#include "show_sections.h"

namespace plenar::cli {
namespace {

constexpr int drawing_border = 8;

// The icon's pixels, its transparent colour made transparent.
Image icon_image(const Surface& icon) {
    const bool keyed = icon.transparent != Surface::no_transparent_colour;
    const uint32_t key = sim::opaque_pixel(icon.transparent) & 0xFFFFFF;
    Image image{icon.width, icon.height, {}};
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x) {
            const uint32_t pixel = sim::pixel_at(icon, x, y);
            image.pixels.push_back(keyed && (pixel & 0xFFFFFF) == key ? 0 : pixel);
        }
    return image;
}

// What the drawing touched on the editor surface, with a border around it.
Image drawing_image(const Surface& surface, const Rect& drawn) {
    const Rect region{std::max(0, drawn.left - drawing_border),
                      std::max(0, drawn.top - drawing_border),
                      std::min(surface.width, drawn.right + drawing_border),
                      std::min(surface.height, drawn.bottom + drawing_border)};
    Image image{region.right - region.left, region.bottom - region.top, {}};
    for (int y = region.top; y < region.bottom; ++y)
        for (int x = region.left; x < region.right; ++x)
            image.pixels.push_back(sim::pixel_at(surface, x, y));
    return image;
}

}  // namespace

void write_picture(ShowState& state, const std::wstring& path) {
    print_section("Picture");
    Preview& preview = state.preview;
    if (state.have_icon) preview.icon = icon_image(state.icon);
    if (Surface* editor = state.host.editor_surface(); state.have_drawing && editor)
        preview.drawing = drawing_image(*editor, state.drawn);
    const Picture picture = draw_preview(preview);
    const Canvas& canvas = picture.canvas;
    const std::string png = sim::encode_png(canvas.width(), canvas.height(), canvas.pixels());
    FILE* file = _wfopen(path.c_str(), L"wb");
    const bool written = file && std::fwrite(png.data(), 1, png.size(), file) == png.size();
    if (file) std::fclose(file);
    print_field("file", sim::utf8_from_wide(path));
    if (!written) {
        print_item("could not be written");
        return;
    }
    print_field("size", std::to_string(canvas.width()) + " x " + std::to_string(canvas.height()) +
                            ", " + std::to_string(png.size()) + " bytes");
    for (const Panel& panel : picture.panels)
        print_field(panel.title, "at " + std::to_string(panel.box.left) + ", " +
                                     std::to_string(panel.box.top) + ", " +
                                     std::to_string(panel.box.width) + " x " +
                                     std::to_string(panel.box.height));
}

}  // namespace plenar::cli
