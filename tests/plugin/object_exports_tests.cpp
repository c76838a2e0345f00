// The object's exports as the host's editor calls them: the host version
// test at creation and loading, the rectangle, the drawing in the frame
// editor and the icon.
#include "editor_fixture.h"

using namespace lumbra_test;

namespace {

// --- host compatibility -----------------------------------------------------

struct HostCase {
    const char* name;
    std::optional<uint32_t> version_word;  // none: no version routine
    bool compatible;
};

class HostVersions : public EditorExports, public ::testing::WithParamInterface<HostCase> {};

TEST_P(HostVersions, DecideCreationAndRecords) {
    const HostCase& c = GetParam();
    Start();
    host.set_version(c.version_word);
    host.clear_calls();
    EditSize* data = NewEditData();

    EXPECT_EQ(static_cast<int32_t>(Call("CreateObject", host.services(), 0, data)),
              c.compatible ? 0 : -1);
    EXPECT_EQ(data->width, c.compatible ? 150 : 7);
    EXPECT_EQ(data->height, c.compatible ? 150 : 9);
    ASSERT_EQ(host.count(plenar::service_edit_data_notice), c.compatible ? 1u : 0u);
    if (c.compatible) {
        const plenar::sim::ServiceCall& notice = host.service_calls().back();
        EXPECT_EQ(notice.edit_data, data);
        EXPECT_EQ(notice.a, 0);
        EXPECT_EQ(notice.b, 0);
        EXPECT_EQ(notice.c, 0);
    }
    for (const char* records : {"GetActionInfos", "GetConditionInfos", "GetExpressionInfos"})
        EXPECT_EQ(Record(records, 0) != nullptr, c.compatible) << records;
    EXPECT_TRUE(host.faults().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostVersions,
    ::testing::Values(HostCase{"Build253", 0x02000000 | 253, false},
                      HostCase{"Build254", 0x02000000 | 254, true},
                      HostCase{"Version1", 0x01000000 | 300, false},
                      HostCase{"Version3", 0x03000000 | 254, true},
                      HostCase{"Version1WithHighestBuild", 0x0100FFFF, false},
                      // Only the low 12 bits are the build: bits 12 to 15 do not count.
                      HostCase{"BuildBitsOnly", 0x0200F0FE, true},
                      HostCase{"HighBitsOverBuild10", 0x02001000 | 10, false},
                      HostCase{"NoVersionRoutine", std::nullopt, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorExports, LoadObjectOnlyNoticesTheEditData) {
    Start();
    host.set_version(0x01000000 | 100);  // not tested by LoadObject
    host.clear_calls();
    EditSize* data = NewEditData();
    EXPECT_EQ(Call("LoadObject", host.services(), 0, data, 0), 0u);
    EXPECT_EQ(data->width, 7);
    EXPECT_EQ(data->height, 9);
    ASSERT_EQ(host.service_calls().size(), 1u);
    EXPECT_EQ(host.service_calls()[0].code, plenar::service_edit_data_notice);
    EXPECT_EQ(host.service_calls()[0].edit_data, data);
    Call("UnloadObject", host.services(), data, 0);
    EXPECT_EQ(data->width, 7);
    EXPECT_TRUE(host.faults().empty());
}

// --- size and rectangle ---------------------------------------------------------

TEST_F(EditorExports, ObjectRectFollowsTheSize) {
    Start();
    EditSize* data = NewEditData();
    ASSERT_EQ(Call("CreateObject", host.services(), 0, data), 0u);
    Rect rect{10, 20, -1, -1};
    Call("GetObjectRect", host.services(), &rect, 0, data);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right, 160);
    EXPECT_EQ(rect.bottom, 170);

    // The host passes 16-bit sizes; a negative one stays negative.
    EXPECT_EQ(Call("SetEditSize", host.services(), data, 0xFFE2, 40), 1u);
    EXPECT_EQ(data->width, -30);
    EXPECT_EQ(data->height, 40);
    rect = Rect{10, 20, 0, 0};
    Call("GetObjectRect", host.services(), &rect, 0, data);
    EXPECT_EQ(rect.right, -20);
    EXPECT_EQ(rect.bottom, 60);

    EXPECT_EQ(Call("SetEditSize", nullptr, data, 300, -5), 1u);
    EXPECT_EQ(data->width, 300);
    EXPECT_EQ(data->height, -5);
}

// Near the ends of the 32-bit range the far edges are held to it rather
// than wrapping round to the other end.
TEST_F(EditorExports, ObjectRectEdgesStayInTheRange) {
    Start();
    EditSize* data = NewEditData();
    const struct {
        int32_t left, top;
        int16_t width, height;
        int32_t right, bottom;
    } rows[] = {
        {10, 20, 150, 150, 160, 170},
        {INT32_MAX - 150, INT32_MIN + 150, 150, -150, INT32_MAX, INT32_MIN},
        {INT32_MAX - 100, INT32_MIN + 100, 150, -150, INT32_MAX, INT32_MIN},
        {INT32_MAX, INT32_MIN, INT16_MAX, INT16_MIN, INT32_MAX, INT32_MIN},
        {INT32_MIN, INT32_MAX, INT16_MAX, INT16_MIN, INT32_MIN + INT16_MAX, INT32_MAX + INT16_MIN},
    };
    for (const auto& row : rows) {
        data->width = row.width;
        data->height = row.height;
        Rect rect{row.left, row.top, 0, 0};
        Call("GetObjectRect", host.services(), &rect, 0, data);
        EXPECT_EQ(rect.left, row.left);
        EXPECT_EQ(rect.top, row.top);
        EXPECT_EQ(rect.right, row.right) << row.left << " + " << row.width;
        EXPECT_EQ(rect.bottom, row.bottom) << row.top << " + " << row.height;
    }
}

TEST_F(EditorExports, ObjectRectWithAMissingArgumentIsUntouched) {
    Start();
    EditSize* data = NewEditData();
    Rect rect{1, 2, 3, 4};
    Call("GetObjectRect", host.services(), &rect, 0, nullptr);
    Call("GetObjectRect", nullptr, &rect, 0, data);
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(rect.top, 2);
    EXPECT_EQ(rect.right, 3);
    EXPECT_EQ(rect.bottom, 4);
    Call("GetObjectRect", host.services(), nullptr, 0, data);  // nothing to write into
}

// --- drawing in the frame editor -------------------------------------------------

TEST_F(EditorExports, EditorDisplayFillsAndOutlinesTheRectangle) {
    Start();
    Surface* surface = host.editor_surface();
    ASSERT_NE(surface, nullptr);
    surface->Clear();
    Rect rect{10, 20, 110, 70};
    Call("EditorDisplay", host.services(), 0, 0, 0, &rect);

    const uint32_t fill = opaque_pixel(0xFF7D0A);
    EXPECT_EQ(fill, 0xFF0A7DFFu);  // red 10, green 125, blue 255
    const uint32_t outline = opaque_pixel(0);
    for (int32_t y = 0; y < 100; ++y)
        for (int32_t x = 0; x < 140; ++x) {
            const bool inside = x >= 10 && x < 110 && y >= 20 && y < 70;
            const bool border = inside && (x < 14 || x >= 106 || y < 24 || y >= 66);
            const uint32_t expected = !inside ? 0u : border ? outline : fill;
            ASSERT_EQ(pixel_at(*surface, x, y), expected) << "at " << x << "," << y;
        }
}

// A rectangle whose extent does not fit 32 bits is filled as far as the
// range reaches: over the whole surface from a left or top edge just off it.
TEST_F(EditorExports, EditorDisplayOfARectangleWiderThanTheRangeFillsTheSurface) {
    Start();
    Surface* surface = host.editor_surface();
    ASSERT_NE(surface, nullptr);
    const uint32_t fill = opaque_pixel(0xFF7D0A);
    const Rect rows[] = {{-10, -10, INT32_MAX, 30}, {-10, -10, 30, INT32_MAX}};
    for (const Rect& row : rows) {
        surface->Clear();
        Rect rect = row;
        Call("EditorDisplay", host.services(), 0, 0, 0, &rect);
        // Inside the outline's band, which the drawn edges do not reach.
        const int32_t right = std::min(row.right, surface->width) - 5;
        const int32_t bottom = std::min(row.bottom, surface->height) - 5;
        for (int32_t y = 0; y < bottom; ++y)
            for (int32_t x = 0; x < right; ++x)
                ASSERT_EQ(pixel_at(*surface, x, y), fill) << "at " << x << "," << y;
    }
}

TEST_F(EditorExports, EditorDisplayWithoutAWindowDrawsNothing) {
    Start();
    Surface* surface = host.editor_surface();
    surface->Clear();
    host.set_editor_window(0);
    Rect rect{0, 0, 50, 50};
    Call("EditorDisplay", host.services(), 0, 0, 0, &rect);
    for (int32_t y = 0; y < surface->height; ++y)
        for (int32_t x = 0; x < surface->width; ++x)
            ASSERT_EQ(pixel_at(*surface, x, y), 0u) << "at " << x << "," << y;
}

// --- icon --------------------------------------------------------------------

// The embedded icon decoded by the host library itself.
void DecodeResourceIcon(void* module, Surface& decoded) {
    auto bytes = plenar::sim::find_resource(module, L"KVOR", 101);
    ASSERT_TRUE(bytes.has_value());
    plenar::InputFile* file = plenar::CreateMemoryInputFile();
    ASSERT_NE(file, nullptr);
    file->Open(bytes->data(), uint32_t(bytes->size()));
    int context = 0;
    const uint32_t format = plenar::image_format_png;
    EXPECT_EQ(plenar::ImportImage(&context, file, &decoded, &format, 0), 0);
    file->Release();
}

TEST_F(EditorExports, MakeIconExCopiesTheEmbeddedIcon) {
    Start();
    Surface icon;
    EXPECT_EQ(Call("MakeIconEx", host.services(), &icon, 0, 0, 0), 0u);
    Surface decoded;
    DecodeResourceIcon(plugin->module(), decoded);
    ASSERT_EQ(icon.width, 32);
    ASSERT_EQ(icon.height, 32);
    ASSERT_EQ(decoded.width, 32);
    EXPECT_EQ(std::memcmp(icon.pixels, decoded.pixels, 32 * 32 * 4), 0);
    EXPECT_EQ(icon.transparent, 0xFF00FFu);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(EditorExports, APngBesideTheLibraryReplacesTheEmbeddedIcon) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.push_back(0xFF000000u | uint32_t(x * 16) << 16 | uint32_t(y * 32) << 8 | 0x80);
    folder.write_file(L"Lumbra.png", plenar::sim::encode_png(16, 8, pixels));
    Start();

    // The host's icon surface is bigger and not blank: all of it is cleared first.
    Surface icon;
    plenar::sim::make_blank_surface(icon, 32, 32);
    icon.FillRect(0, 0, 32, 32, 0x123456);
    EXPECT_EQ(Call("MakeIconEx", host.services(), &icon, 0, 0, 0), 0u);
    ASSERT_EQ(icon.width, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const uint32_t expected = x < 16 && y < 8 ? pixels[size_t(y * 16 + x)] : 0u;
            ASSERT_EQ(pixel_at(icon, x, y), expected) << "at " << x << "," << y;
        }
    EXPECT_EQ(icon.transparent, 0xFF00FFu);

    Surface fresh;
    Call("MakeIconEx", host.services(), &fresh, 0, 0, 0);
    EXPECT_EQ(fresh.width, 16);
    EXPECT_EQ(fresh.height, 8);
    EXPECT_TRUE(Boxes().empty());
}

// Removes every resource from a library file that is not loaded.
void RemoveResources(const std::wstring& library) {
    HANDLE update = BeginUpdateResourceW(library.c_str(), TRUE);
    ASSERT_NE(update, nullptr);
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
}

TEST_F(EditorExports, WithoutImageImportTheIconIsEmptyAndNotLookedFor) {
    folder.write_file(L"Lumbra.json", Description("no icon"));
    std::wstring path = Place();
    RemoveResources(path);
    Load(path);
    host.set_image_import(false);
    ASSERT_EQ(Initialize(), 0);
    EXPECT_TRUE(Boxes().empty());  // no lookup, so no missing-resource message

    Surface icon;
    EXPECT_EQ(Call("MakeIconEx", host.services(), &icon, 0, 0, 0), 0u);
    EXPECT_EQ(icon.width, 0);
    EXPECT_EQ(icon.height, 0);
    EXPECT_EQ(icon.pixels, nullptr);
    EXPECT_EQ(icon.transparent, 0xFF00FFu);
}

TEST_F(EditorExports, WithImageImportAMissingIconIsReported) {
    folder.write_file(L"Lumbra.json", Description("no icon"));
    std::wstring path = Place();
    RemoveResources(path);
    Load(path);
    ASSERT_EQ(Initialize(), 0);
    ASSERT_EQ(Boxes().size(), 1u);
    lumbra_test::ExpectShown(Boxes()[0],
                             lumbra_test::Shown(Kvor::message::resource_missing, "png", 101));
    Surface icon;
    Call("MakeIconEx", host.services(), &icon, 0, 0, 0);
    EXPECT_EQ(icon.width, 0);
}

}  // namespace
