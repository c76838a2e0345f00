// Surfaces the simulated host makes and reads, through plenarcore.dll.
#pragma once

#include <cstdint>
#include "plenar/plenarcore.h"

namespace plenar::sim {

// Gives an empty `surface` width x height transparent black pixels (at most
// 640 x 480), made by plenarcore.dll itself so that it also frees them.
void make_blank_surface(Surface& surface, int32_t width, int32_t height);

// The pixel at (x, y) as 0xAARRGGBB.
inline uint32_t pixel_at(const Surface& surface, int32_t x, int32_t y) {
    return surface.pixels[y * surface.width + x];
}

// A drawing colour 0x00BBGGRR as the opaque pixel 0xAARRGGBB it gives.
constexpr uint32_t opaque_pixel(uint32_t colour) {
    return 0xFF000000u | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

}  // namespace plenar::sim
