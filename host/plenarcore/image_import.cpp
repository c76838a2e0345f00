// Image import: PNG only, decoded with stb_image into 0xAARRGGBB pixels.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb_image.h>
#pragma GCC diagnostic pop

#include <vector>
#include "plenar/plenarcore.h"

namespace plenar {
namespace {

void replace_pixels(Surface* surface, int32_t width, int32_t height, uint32_t* pixels) {
    delete[] surface->pixels;
    surface->width = width;
    surface->height = height;
    surface->pixels = pixels;
}

std::vector<uint8_t> remaining_bytes(InputFile* file) {
    std::vector<uint8_t> bytes(file->size - file->position);
    bytes.resize(file->Read(bytes.data(), static_cast<uint32_t>(bytes.size())));
    return bytes;
}

}  // namespace

extern "C" int32_t PLENAR_STDCALL ImportImage(void* context, InputFile* file, Surface* destination,
                                              const uint32_t* format, uint32_t) {
    if (!destination) return -1;
    replace_pixels(destination, 0, 0, nullptr);
    if (!context || !file || !format || *format != image_format_png) return -1;

    const std::vector<uint8_t> bytes = remaining_bytes(file);
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                          &height, &channels, 4);
    if (!rgba) return -1;
    auto* pixels = new uint32_t[width * height];
    for (int i = 0; i < width * height; ++i) {
        const stbi_uc* p = rgba + 4 * i;
        pixels[i] = (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    }
    stbi_image_free(rgba);
    replace_pixels(destination, width, height, pixels);
    return 0;
}

}  // namespace plenar
