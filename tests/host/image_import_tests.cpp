// Ordinal 137 with the in-memory input files of ordinals 638 and 366.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "plenar/plenarcore.h"
#include "plenar_sim/png_writer.h"

using namespace plenar;

namespace {

int import_context;  // any non-null context

const std::vector<uint32_t> four_pixels = {0xFFFF0000, 0xFF00FF00, 0x800000FF, 0x00000000};

// Decodes `bytes` into `surface` as a plug-in does.
int32_t import(const std::string& bytes, Surface& surface, uint32_t format = image_format_png,
               void* context = &import_context) {
    InputFile* file = CreateMemoryInputFile();
    EXPECT_EQ(file->Open(bytes.data(), static_cast<uint32_t>(bytes.size())), 0);
    const int32_t result = ImportImage(context, file, &surface, &format, 0);
    file->Release();
    return result;
}

TEST(ImageImport, DecodesAPngIntoArgbPixels) {
    const std::string png = plenar::sim::encode_png(2, 2, four_pixels);
    ASSERT_EQ(png.substr(1, 3), "PNG");
    Surface surface;
    EXPECT_EQ(import(png, surface), 0);
    ASSERT_EQ(surface.width, 2);
    ASSERT_EQ(surface.height, 2);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(surface.pixels[i], four_pixels[i]) << i;
    EXPECT_EQ(surface.HasAlpha(), 1);
}

TEST(ImageImport, IgnoresBytesAfterTheEndChunk) {
    // The plug-in's icon resource carries data after the image.
    std::vector<uint32_t> pixels(32 * 32, 0xFF102030);
    const std::string png = plenar::sim::encode_png(32, 32, pixels) + std::string(3555, '\x5A');
    Surface surface;
    EXPECT_EQ(import(png, surface), 0);
    EXPECT_EQ(surface.width, 32);
    EXPECT_EQ(surface.height, 32);
    EXPECT_EQ(surface.pixels[32 * 32 - 1], 0xFF102030u);
    EXPECT_EQ(surface.HasAlpha(), 0);
}

TEST(ImageImport, ReplacesWhatTheSurfaceHeld) {
    Surface surface;
    ASSERT_EQ(import(plenar::sim::encode_png(2, 2, four_pixels), surface), 0);
    ASSERT_EQ(import(plenar::sim::encode_png(1, 1, {0xFFABCDEF}), surface), 0);
    EXPECT_EQ(surface.width, 1);
    EXPECT_EQ(surface.pixels[0], 0xFFABCDEFu);
}

struct Refusal {
    const char* what;
    std::string bytes;
    uint32_t format;
    bool context;
};

class ImageImportRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(ImageImportRefusal, LeavesTheSurfaceEmpty) {
    const Refusal& refusal = GetParam();
    Surface surface;
    ASSERT_EQ(import(plenar::sim::encode_png(2, 2, four_pixels), surface), 0);  // something to lose
    EXPECT_NE(
        import(refusal.bytes, surface, refusal.format, refusal.context ? &import_context : nullptr),
        0);
    EXPECT_EQ(surface.width, 0);
    EXPECT_EQ(surface.height, 0);
    EXPECT_EQ(surface.pixels, nullptr);
}

const std::string good_png = plenar::sim::encode_png(2, 2, four_pixels);

// A 1 x 1 BMP, which a general image decoder would accept.
const std::string bmp = std::string(
    "BM\x3A\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0"
    "\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\xFF\0\0\0",
    58);

INSTANTIATE_TEST_SUITE_P(
    NotPng, ImageImportRefusal,
    testing::Values(Refusal{"text", "This is not an image.", image_format_png, true},
                    Refusal{"empty", "", image_format_png, true},
                    Refusal{"bmp", bmp, image_format_png, true},
                    Refusal{"truncated", good_png.substr(0, good_png.size() / 2), image_format_png,
                            true},
                    Refusal{"other format code", good_png, 0x4A504720, true},
                    Refusal{"no import context", good_png, image_format_png, false}),
    [](const testing::TestParamInfo<Refusal>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

TEST(InputFile, ReadsItsBytesInOrderAndStopsAtTheEnd) {
    const char bytes[] = "abcdef";
    InputFile* file = CreateMemoryInputFile();
    ASSERT_EQ(file->Open(bytes, 6), 0);
    char buffer[8] = {};
    EXPECT_EQ(file->Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(file->Read(buffer, 4), 2u);
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_EQ(file->Read(buffer, 4), 0u);
    file->Release();
}

}  // namespace
