// Ordinal 34: the editor window's surface, which a plug-in draws on and the
// host reads back.
#include "fake_plugin_fixture.h"

using namespace plenar;
using namespace plenar::sim;

namespace {

using WindowSurfaceTest = FakePluginTest;

TEST_F(WindowSurfaceTest, IsOnePerWindowAndNoneForWindowZero) {
    Surface* surface = WindowSurface(5, 0);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->width, 640);
    EXPECT_EQ(surface->height, 480);
    EXPECT_EQ(WindowSurface(5, 0), surface);
    EXPECT_NE(WindowSurface(6, 0), surface);
    EXPECT_EQ(WindowSurface(0, 0), nullptr);
}

TEST_F(WindowSurfaceTest, ShowsWhatThePluginDrew) {
    host.set_editor_window(21);
    host.editor_surface()->Clear();
    EXPECT_EQ(plugin->call("FakeDraw", host.services(), 10, 20, 160, 170).value, 1u);
    const Surface& surface = *host.editor_surface();
    EXPECT_EQ(pixel_at(surface, 10, 20), opaque_pixel(0));          // border corner
    EXPECT_EQ(pixel_at(surface, 13, 100), opaque_pixel(0));         // left band, 4 wide
    EXPECT_EQ(pixel_at(surface, 14, 100), opaque_pixel(0xFF7D0A));  // inside
    EXPECT_EQ(pixel_at(surface, 159, 169), opaque_pixel(0));
    EXPECT_EQ(pixel_at(surface, 160, 170), 0u);  // right/bottom excluded
    EXPECT_EQ(pixel_at(surface, 9, 20), 0u);
}

TEST_F(WindowSurfaceTest, NoWindowMeansNothingDrawn) {
    host.set_editor_window(0);
    EXPECT_EQ(host.editor_surface(), nullptr);
    EXPECT_EQ(plugin->call("FakeDraw", host.services(), 0, 0, 10, 10).value, 0u);
}

TEST_F(WindowSurfaceTest, PluginImportsThroughTheHostContext) {
    // A 1 x 1 PNG, red and opaque.
    static const uint8_t png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
        0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00,
        0x00, 0x90, 0x77, 0x53, 0xDE, 0x00, 0x00, 0x00, 0x0C, 0x49, 0x44, 0x41, 0x54, 0x08,
        0xD7, 0x63, 0xF8, 0xCF, 0xC0, 0x00, 0x00, 0x03, 0x01, 0x01, 0x00, 0x18, 0xDD, 0x8D,
        0xB0, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    Surface icon;
    EXPECT_EQ(plugin->call("FakeImportPng", host.services(), png, sizeof png, &icon).value, 0u);
    ASSERT_EQ(icon.width, 1);
    EXPECT_EQ(icon.pixels[0], 0xFFFF0000u);
    host.set_image_import(false);
    EXPECT_NE(plugin->call("FakeImportPng", host.services(), png, sizeof png, &icon).value, 0u);
    EXPECT_EQ(icon.pixels, nullptr);
}

}  // namespace
