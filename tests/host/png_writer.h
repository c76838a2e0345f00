// PNG files made in the tests, from known pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGBA PNG of `width` x `height` pixels given as 0xAARRGGBB.
std::string png_from_pixels(int width, int height, const std::vector<uint32_t>& pixels);
