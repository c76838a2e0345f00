#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include "png_writer.h"

std::string png_from_pixels(int width, int height, const std::vector<uint32_t>& pixels) {
    std::vector<uint8_t> rgba;
    for (uint32_t pixel : pixels)
        rgba.insert(rgba.end(), {static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                                 static_cast<uint8_t>(pixel), static_cast<uint8_t>(pixel >> 24)});
    std::string png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
        },
        &png, width, height, 4, rgba.data(), width * 4);
    return png;
}
