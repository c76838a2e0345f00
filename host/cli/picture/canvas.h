// The picture being drawn: pixels 0xAARRGGBB, rectangles, lines and text in
// the bitmap font. Drawing outside the canvas is clipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plenar::cli {

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

// `over` drawn on `under` by its alpha; the result is opaque.
uint32_t blend(uint32_t over, uint32_t under);

// Pixels a text takes across, and the text cut to at most `columns`
// characters, its end then "...".
int text_width(std::string_view utf8);
std::string fitted(std::string_view utf8, size_t columns);

class Canvas {
public:
    Canvas(int width, int height, uint32_t colour);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<uint32_t>& pixels() const { return pixels_; }
    uint32_t at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    void put(int x, int y, uint32_t colour);  // blended when not opaque
    void fill(const Box& box, uint32_t colour);
    void frame(const Box& box, uint32_t colour);  // its one-pixel outline
    // `utf8` with the top of its line at `top`; returns the pixels it took.
    int text(int left, int top, std::string_view utf8, uint32_t colour);

private:
    int width_, height_;
    std::vector<uint32_t> pixels_;
};

}  // namespace plenar::cli
