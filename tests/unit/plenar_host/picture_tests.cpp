#include <gtest/gtest.h>
#include <algorithm>
#include <stdexcept>
#include <vector>
#include "bitmap_font.h"
#include "characters.h"
#include "plenar_sim/png_writer.h"
#include "preview.h"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

using namespace plenar::cli;

namespace {

size_t pixels_of(const Canvas& canvas, const Box& box, uint32_t colour) {
    size_t n = 0;
    for (int y = box.top; y < box.bottom(); ++y)
        for (int x = box.left; x < box.right(); ++x) n += canvas.at(x, y) == colour;
    return n;
}

const Panel& panel(const Picture& picture, const std::string& title) {
    for (const Panel& p : picture.panels)
        if (p.title == title) return p;
    throw std::runtime_error("no panel " + title);
}

bool overlap(const Box& a, const Box& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

MenuLine item(std::string text, bool greyed = false) {
    return {MenuLine::Kind::item, std::move(text), greyed, {}};
}

SheetRow entry(std::string title, std::string value) {
    SheetRow row;
    row.title = std::move(title);
    row.value = std::move(value);
    return row;
}

// An object with a sub-menu, separators, a greyed item, a folder, a check,
// a Combo Box and a colour.
Preview sample_object(size_t combo_items) {
    Preview preview;
    preview.name = "Caf\xC3\xA9";
    preview.icon = Image{2, 2, {0xFF0000FF, 0, 0x800000FF, 0xFF00FF00}};
    preview.menus[0].items = {
        {MenuLine::Kind::popup,
         "Options",
         false,
         {item("Set"), {MenuLine::Kind::separator, "", false, {}}, item("Reset", true)}},
        item("Clear")};
    preview.menus[1].absent = "(no menu)";
    SheetRow folder = entry("Looks", "");
    folder.kind = SheetRow::Kind::folder;
    SheetRow combo = entry("Direction", "");
    for (size_t i = 0; i < combo_items; ++i) combo.choices.push_back("Item " + std::to_string(i));
    combo.chosen = 0;
    SheetRow colour = entry("Tint", "");
    colour.colour = 0x0000FF;  // red, as Windows writes it
    colour.checkable = colour.checked = true;
    SheetRow end;
    end.kind = SheetRow::Kind::folder_end;
    preview.sheet =
        std::vector<SheetRow>{folder, combo, colour, end, entry("Name", std::string(300, 'x'))};
    preview.records[0] = std::vector<RecordLine>{{0, "Set value to 2", {"%0 Value: 2"}}};
    preview.records[2] = std::vector<RecordLine>{};
    return preview;
}

TEST(Picture, EveryPanelIsDrawnInsideThePictureWithoutOverlapping) {
    const Picture picture = draw_preview(sample_object(3));
    const char* const titles[] = {"Icon",           "Frame editor",    "Action menu",
                                  "Condition menu", "Expression menu", "Property sheet",
                                  "Display strings"};
    ASSERT_EQ(picture.panels.size(), std::size(titles));
    const Canvas& canvas = picture.canvas;
    for (size_t i = 0; i < picture.panels.size(); ++i) {
        const Box& box = picture.panels[i].box;
        EXPECT_EQ(picture.panels[i].title, titles[i]);
        EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right() <= canvas.width() &&
                    box.bottom() <= canvas.height())
            << titles[i];
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(overlap(box, picture.panels[j].box)) << titles[i] << ", " << titles[j];
        // Border, title bar, body and the ink of the title at least.
        std::vector<uint32_t> colours;
        for (int y = box.top; y < box.bottom(); ++y)
            for (int x = box.left; x < box.right(); ++x) colours.push_back(canvas.at(x, y));
        std::sort(colours.begin(), colours.end());
        EXPECT_GE(std::unique(colours.begin(), colours.end()) - colours.begin(), 4) << titles[i];
    }
    // The colour's swatch as the colour itself; the icon at 8x, blended.
    EXPECT_GT(pixels_of(canvas, panel(picture, "Property sheet").box, 0xFFFF0000), 100u);
    EXPECT_EQ(pixels_of(canvas, panel(picture, "Icon").box, 0xFF0000FF), 64u);
}

TEST(Picture, ALongerMenuOrComboListMakesItsPanelTaller) {
    Preview shorter = sample_object(1), longer = sample_object(4);
    longer.menus[0].items.push_back(item("One more"));
    const Picture a = draw_preview(shorter), b = draw_preview(longer);
    EXPECT_GT(panel(b, "Action menu").box.height, panel(a, "Action menu").box.height);
    EXPECT_GT(panel(b, "Property sheet").box.height, panel(a, "Property sheet").box.height);
    // An empty object still gives every panel, each saying what is missing.
    EXPECT_EQ(draw_preview(Preview{}).panels.size(), a.panels.size());
}

// Flat runs (matched with the pixel before or the row above) among random
// pixels, at widths whose rows are too long for a match above as well.
TEST(PictureFile, DecodesToThePixelsWritten) {
    uint32_t state = 1;
    for (const int width : {1, 3, 300, 9000}) {
        const int height = width > 1000 ? 3 : 40;
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = i / 7 % 3 ? 0xFFE8E8E8u : (state = state * 1664525u + 1013904223u);
        const std::string png = plenar::sim::encode_png(width, height, pixels);
        int w = 0, h = 0, channels = 0;
        stbi_uc* rgba = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()),
                                              static_cast<int>(png.size()), &w, &h, &channels, 4);
        ASSERT_NE(rgba, nullptr) << width << ": " << stbi_failure_reason();
        ASSERT_EQ(w, width);
        ASSERT_EQ(h, height);
        size_t wrong = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            const stbi_uc* p = rgba + 4 * i;
            wrong += pixels[i] !=
                     (uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
        stbi_image_free(rgba);
        EXPECT_EQ(wrong, 0u) << width;
    }
}

TEST(PictureFont, AccentedLettersAreTheirBaseLetterWithAMarkAndOthersTheBox) {
    const font::Glyph e = font::glyph_for(U'e'), acute = font::glyph_for(U'\u00E9'),
                      box = font::glyph_for(U'\u65E5');
    EXPECT_EQ(acute.rows, e.rows);
    EXPECT_EQ(acute.mark, font::Mark::acute);
    EXPECT_FALSE(acute.capital);
    EXPECT_TRUE(font::glyph_for(U'\u00C7').capital);
    EXPECT_EQ(font::glyph_for(U'\u00C7').mark, font::Mark::cedilla);
    EXPECT_EQ(font::glyph_for(U'\u00D8').rows, box.rows);  // no base letter: the box
    EXPECT_NE(box.rows, font::glyph_for(U'?').rows);
    EXPECT_EQ(font::glyph_for(U'\u2019').rows, font::glyph_for(U'\'').rows);
}

TEST(PictureFont, UTF8IsReadACharacterAtATimeAndBadBytesAreCharactersOfTheirOwn) {
    EXPECT_EQ(characters_of("a\xC3\xA9\xE6\x97\xA5"), U"a\u00E9\u65E5");
    EXPECT_EQ(characters_of("\xC3"), U"\uFFFD");              // cut short
    EXPECT_EQ(characters_of("\xFFz\xA9"), U"\uFFFDz\uFFFD");  // no lead byte
    EXPECT_EQ(fitted("caf\xC3\xA9 noir", 6), "caf...");
    EXPECT_EQ(fitted("caf\xC3\xA9", 4), "caf\xC3\xA9");  // fits: unchanged
    EXPECT_EQ(text_width("caf\xC3\xA9"), 4 * font::advance);
}

}  // namespace
