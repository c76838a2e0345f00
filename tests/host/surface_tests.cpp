// Surfaces of plenarcore.dll, used through its ordinals as a plug-in does.
#include <gtest/gtest.h>
#include "plenar/plenarcore.h"
#include "plenar_sim/surfaces.h"

using plenar::Surface;
using plenar::sim::make_blank_surface;
using plenar::sim::opaque_pixel;
using plenar::sim::pixel_at;

namespace {

constexpr uint32_t orange = 0xFF7D0A;  // red 10, green 125, blue 255

// The pixels of `surface` equal to `value`, as "x,y" in row order.
int count_pixels(const Surface& surface, uint32_t value) {
    int n = 0;
    for (int i = 0; i < surface.width * surface.height; ++i) n += surface.pixels[i] == value;
    return n;
}

bool inside(int x, int y, int left, int top, int right, int bottom) {
    return x >= left && x < right && y >= top && y < bottom;
}

TEST(Surface, StartsEmptyWithoutTransparentColour) {
    Surface surface;
    EXPECT_EQ(surface.width, 0);
    EXPECT_EQ(surface.height, 0);
    EXPECT_EQ(surface.pixels, nullptr);
    EXPECT_EQ(surface.transparent, Surface::no_transparent_colour);
    EXPECT_EQ(surface.HasAlpha(), 0);
}

TEST(Surface, FillStoresOpaqueColourAsArgb) {
    Surface surface;
    make_blank_surface(surface, 8, 6);
    surface.FillRect(2, 1, 3, 4, orange);
    EXPECT_EQ(opaque_pixel(orange), 0xFF0A7DFFu);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pixel_at(surface, x, y), inside(x, y, 2, 1, 5, 5) ? 0xFF0A7DFFu : 0u)
                << x << "," << y;
}

struct ClippedFill {
    int x, y, width, height, expected;
};

class SurfaceFillClipping : public testing::TestWithParam<ClippedFill> {};

TEST_P(SurfaceFillClipping, PaintsOnlyTheVisiblePart) {
    const ClippedFill fill = GetParam();
    Surface surface;
    make_blank_surface(surface, 10, 10);
    surface.FillRect(fill.x, fill.y, fill.width, fill.height, orange);
    EXPECT_EQ(count_pixels(surface, opaque_pixel(orange)), fill.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SurfaceFillClipping,
    testing::Values(ClippedFill{-3, -3, 5, 5, 4},                    // over the top-left corner
                    ClippedFill{8, 8, 5, 5, 4},                      // over the bottom-right corner
                    ClippedFill{-5, 2, 30, 1, 10},                   // wider than the surface
                    ClippedFill{20, 20, 5, 5, 0},                    // wholly outside
                    ClippedFill{2, 2, 0, 5, 0},                      // empty
                    ClippedFill{2, 2, -4, 5, 0},                     // negative width
                    ClippedFill{0x7FFFFFF0, 0, 0x7FFFFFF0, 5, 0}));  // end beyond 32 bits

TEST(Surface, OutlineDrawsBandsInwardAndLeavesTheInside) {
    Surface surface;
    make_blank_surface(surface, 20, 20);
    surface.OutlineRect(2, 3, 14, 15, 4, orange);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool on_band = inside(x, y, 2, 3, 14, 15) && !inside(x, y, 6, 7, 10, 11);
            EXPECT_EQ(pixel_at(surface, x, y), on_band ? opaque_pixel(orange) : 0u)
                << x << "," << y;
        }
}

TEST(Surface, OutlineIsClippedAtTheSurfaceEdges) {
    Surface surface;
    make_blank_surface(surface, 10, 10);
    surface.OutlineRect(-5, -5, 15, 15, 2, 0);  // every band outside
    EXPECT_EQ(count_pixels(surface, opaque_pixel(0)), 0);
    surface.OutlineRect(5, 5, 15, 15, 2, 0);  // the right and bottom bands outside
    EXPECT_EQ(count_pixels(surface, opaque_pixel(0)), 2 * 5 + 2 * 5 - 4);
}

TEST(Surface, ThickOutlineOfASmallRectangleFillsIt) {
    Surface surface;
    make_blank_surface(surface, 10, 10);
    surface.OutlineRect(1, 1, 4, 4, 9, orange);
    EXPECT_EQ(count_pixels(surface, opaque_pixel(orange)), 9);
}

TEST(Surface, ClearMakesEveryPixelTransparentBlack) {
    Surface surface;
    make_blank_surface(surface, 4, 4);
    surface.FillRect(0, 0, 4, 4, orange);
    EXPECT_EQ(surface.HasAlpha(), 0);
    surface.Clear();
    EXPECT_EQ(count_pixels(surface, 0), 16);
    EXPECT_EQ(surface.HasAlpha(), 1);
}

TEST(Surface, HasAlphaSeesASingleTranslucentPixel) {
    Surface surface;
    make_blank_surface(surface, 4, 4);
    surface.FillRect(0, 0, 4, 4, orange);
    surface.pixels[5] = 0x800A7DFF;
    EXPECT_EQ(surface.HasAlpha(), 1);
}

TEST(Surface, CopyAtFullSizeGivesAnEmptySurfaceTheSourceSizeAndPixels) {
    Surface source, copy;
    make_blank_surface(source, 5, 3);
    source.FillRect(1, 1, 2, 1, orange);
    copy.CopyFrom(&source, -1, -1);
    ASSERT_EQ(copy.width, 5);
    ASSERT_EQ(copy.height, 3);
    ASSERT_NE(copy.pixels, source.pixels);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(copy.pixels[i], source.pixels[i]) << i;
}

TEST(Surface, CopyIntoASmallerSurfaceIsClipped) {
    Surface source, target;
    make_blank_surface(source, 6, 6);
    source.FillRect(0, 0, 6, 6, orange);
    make_blank_surface(target, 4, 3);
    target.CopyFrom(&source, -1, -1);
    EXPECT_EQ(target.width, 4);
    EXPECT_EQ(target.height, 3);
    EXPECT_EQ(count_pixels(target, opaque_pixel(orange)), 12);
}

TEST(Surface, CopyOfAPartLeavesTheRest) {
    Surface source, target;
    make_blank_surface(source, 6, 6);
    source.FillRect(0, 0, 6, 6, orange);
    make_blank_surface(target, 6, 6);
    target.CopyFrom(&source, 2, 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(pixel_at(target, x, y), inside(x, y, 0, 0, 2, 3) ? opaque_pixel(orange) : 0u);
}

TEST(Surface, CopyFromAnEmptySourceChangesNothing) {
    Surface empty, target;
    target.CopyFrom(&empty, -1, -1);
    EXPECT_EQ(target.pixels, nullptr);
    target.CopyFrom(nullptr, -1, -1);
    EXPECT_EQ(target.width, 0);
}

TEST(Surface, TransparentColourIsKept) {
    Surface surface;
    surface.SetTransparentColour(0xFF00FF);
    EXPECT_EQ(surface.transparent, 0xFF00FFu);
    surface.SetTransparentColour(0);
    EXPECT_EQ(surface.transparent, 0u);
}

}  // namespace
