// A minimal PNG encoder: 8-bit RGBA, no filtering, one deflate block with
// the fixed codes whose matches repeat the pixel before or the row above:
// small for drawings of flat colour, valid everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plenar::sim {

// `pixels` are width x height values 0xAARRGGBB, row-major.
std::string encode_png(int width, int height, const std::vector<uint32_t>& pixels);

}  // namespace plenar::sim
