#include "canvas.h"

#include "../characters.h"
#include "bitmap_font.h"

namespace plenar::cli {

uint32_t blend(uint32_t over, uint32_t under) {
    const uint32_t a = over >> 24;
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t top = (over >> shift) & 0xFF, bottom = (under >> shift) & 0xFF;
        out |= ((top * a + bottom * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

int text_width(std::string_view utf8) {
    return static_cast<int>(characters_of(utf8).size()) * font::advance;
}

std::string fitted(std::string_view utf8, size_t columns) {
    const std::u32string characters = characters_of(utf8);
    if (characters.size() <= columns) return std::string(utf8);
    // Cut at a character's first byte, counting characters as they were read.
    size_t kept = 0, at = 0;
    const size_t keep = columns > 3 ? columns - 3 : 0;
    while (at < utf8.size() && kept < keep) {
        ++at;
        while (at < utf8.size() && (static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80) ++at;
        ++kept;
    }
    return std::string(utf8.substr(0, at)) + "...";
}

Canvas::Canvas(int width, int height, uint32_t colour)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, colour) {}

void Canvas::put(int x, int y, uint32_t colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint32_t& pixel = pixels_[static_cast<size_t>(y) * width_ + x];
    pixel = (colour >> 24) == 0xFF ? colour : blend(colour, pixel);
}

void Canvas::fill(const Box& box, uint32_t colour) {
    for (int y = box.top; y < box.bottom(); ++y)
        for (int x = box.left; x < box.right(); ++x) put(x, y, colour);
}

void Canvas::frame(const Box& box, uint32_t colour) {
    for (int x = box.left; x < box.right(); ++x) {
        put(x, box.top, colour);
        put(x, box.bottom() - 1, colour);
    }
    for (int y = box.top + 1; y < box.bottom() - 1; ++y) {
        put(box.left, y, colour);
        put(box.right() - 1, y, colour);
    }
}

int Canvas::text(int left, int top, std::string_view utf8, uint32_t colour) {
    int x = left;
    const int glyph_top = top + font::mark_rows;
    for (const char32_t c : characters_of(utf8)) {
        const font::Glyph glyph = font::glyph_for(c);
        const uint8_t* mark = font::mark_rows_of(glyph.mark);
        for (int row = 0; row < font::glyph_rows; ++row) {
            // A lower-case letter's own dot or mark gives way to the mark.
            const bool marked_row = glyph.mark != font::Mark::none &&
                                    glyph.mark != font::Mark::cedilla && !glyph.capital && row < 2;
            const uint8_t bits = marked_row ? mark[row] : glyph.rows[row];
            for (int column = 0; column < font::glyph_width; ++column)
                if (bits & (0x10 >> column)) put(x + column, glyph_top + row, colour);
        }
        for (int row = 0; row < 2; ++row) {
            const int y = glyph.mark == font::Mark::cedilla ? glyph_top + 7 + row
                          : glyph.capital                   ? top + row
                                                            : -1;
            for (int column = 0; y >= 0 && column < font::glyph_width; ++column)
                if (mark[row] & (0x10 >> column)) put(x + column, y, colour);
        }
        x += font::advance;
    }
    return x - left;
}

}  // namespace plenar::cli
