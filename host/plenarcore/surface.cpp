// Surfaces: 32-bit pixel buffers owned by the library, inside 16 bytes the
// caller owns. Every drawing call clips to the surface.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include "plenar/plenarcore.h"

namespace plenar {
namespace {

// Drawing colours come as 0x00BBGGRR; pixels are stored 0xAARRGGBB.
uint32_t opaque_pixel(uint32_t colour) {
    const uint32_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

}  // namespace

Surface::Surface() : width(0), height(0), pixels(nullptr), transparent(no_transparent_colour) {}

Surface::~Surface() { delete[] pixels; }

int32_t Surface::HasAlpha() const {
    const int32_t count = width * height;
    for (int32_t i = 0; i < count; ++i)
        if ((pixels[i] >> 24) != 0xFF) return 1;
    return 0;
}

void Surface::SetTransparentColour(uint32_t colour) { transparent = colour; }

void Surface::Clear() {
    if (pixels) std::memset(pixels, 0, sizeof(uint32_t) * width * height);
}

void Surface::CopyFrom(const Surface* source, int32_t copy_width, int32_t copy_height) {
    if (!source || !source->pixels) return;
    if (copy_width < 0 || copy_width > source->width) copy_width = source->width;
    if (copy_height < 0 || copy_height > source->height) copy_height = source->height;
    if (!pixels) {
        width = copy_width;
        height = copy_height;
        pixels = new uint32_t[width * height]();
    }
    const int32_t columns = std::min(copy_width, width);
    const int32_t rows = std::min(copy_height, height);
    for (int32_t y = 0; y < rows; ++y)
        std::memcpy(pixels + y * width, source->pixels + y * source->width,
                    sizeof(uint32_t) * columns);
}

void Surface::FillRect(int32_t x, int32_t y, int32_t fill_width, int32_t fill_height,
                       uint32_t colour) {
    if (!pixels || fill_width <= 0 || fill_height <= 0) return;
    // 64-bit ends: x + width may not fit in 32 bits.
    const auto left = static_cast<int32_t>(std::max<int64_t>(x, 0));
    const auto top = static_cast<int32_t>(std::max<int64_t>(y, 0));
    const auto right = static_cast<int32_t>(std::min<int64_t>(int64_t{x} + fill_width, width));
    const auto bottom = static_cast<int32_t>(std::min<int64_t>(int64_t{y} + fill_height, height));
    const uint32_t pixel = opaque_pixel(colour);
    for (int32_t row = top; row < bottom; ++row)
        std::fill(pixels + row * width + left, pixels + row * width + std::max(left, right), pixel);
}

void Surface::OutlineRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                          int32_t thickness, uint32_t colour) {
    if (thickness <= 0 || right <= left || bottom <= top) return;
    // 64-bit extents: right - left may not fit in 32 bits.
    const auto across = static_cast<int32_t>(std::min<int64_t>(int64_t{right} - left, INT32_MAX));
    const auto down = static_cast<int32_t>(std::min<int64_t>(int64_t{bottom} - top, INT32_MAX));
    const int32_t band_x = std::min(thickness, across);
    const int32_t band_y = std::min(thickness, down);
    FillRect(left, top, across, band_y, colour);              // top
    FillRect(left, bottom - band_y, across, band_y, colour);  // bottom
    FillRect(left, top, band_x, down, colour);                // left
    FillRect(right - band_x, top, band_x, down, colour);      // right
}

}  // namespace plenar
