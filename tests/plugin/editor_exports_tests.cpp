// The editor-side exports of the real plug-in as the host calls them: the
// host version test, the edit-time object, its rectangle, drawing and icon,
// the about texts, help file, dependencies, capability answers and the
// records of actions, conditions and expressions.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "plugin_fixture.h"

using lumbra_test::Description;
using lumbra_test::PluginCase;
using plenar::Rect;
using plenar::Surface;
using plenar::sim::opaque_pixel;
using plenar::sim::pixel_at;
using plenar::sim::utf8_from_wide;

namespace {

// The part of the edit data these exports touch, after the host's header.
struct EditSize {
    plenar::EditDataHeader header;
    int16_t width;
    int16_t height;
};

constexpr uint32_t compatible_host = 0x02000000 | 254;

class EditorExports : public PluginCase {
protected:
    void Start() {
        PlaceAndLoad();
        ASSERT_EQ(Initialize(), 0);
    }
    // A description of our own beside the library, then started.
    void StartWith(const std::string& description) {
        folder.write_file(L"Lumbra.json", description);
        Start();
    }
    EditSize* NewEditData() {
        auto* data = static_cast<EditSize*>(host.edit_data().create(64));
        data->width = 7;
        data->height = 9;
        return data;
    }
    // Calls an export and checks it took its arguments off the stack as the host expects.
    template <typename... A>
    plenar::Word Call(const char* name, A... arguments) {
        auto result = plugin->call(name, arguments...);
        EXPECT_TRUE(result.balanced()) << name;
        return result.value;
    }
    const plenar::AceRecord* Record(const char* export_name, int32_t id) {
        return reinterpret_cast<const plenar::AceRecord*>(Call(export_name, host.services(), id));
    }
};

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
    ::testing::Values(
        HostCase{"Build253", 0x02000000 | 253, false},
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

// --- records ----------------------------------------------------------------

// A record as the host reads it: id, flags, count, codes, then zero words.
void ExpectRecord(const plenar::AceRecord* record, int16_t id, uint16_t flags,
                  const std::vector<uint16_t>& codes) {
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->id, id);
    EXPECT_EQ(record->flags, flags);
    ASSERT_EQ(record->parameter_count, static_cast<int16_t>(codes.size()));
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(record->code(int(i)), codes[i]) << "parameter " << i;
        EXPECT_EQ(record->code(int(codes.size() + i)), 0) << "zero word " << i;
    }
}

TEST_F(EditorExports, LumbrasRecordsAsTheHostSeesThem) {
    Start();
    host.set_version(compatible_host);
    ExpectRecord(Record("GetActionInfos", 0), 0, 0, {45});
    ExpectRecord(Record("GetActionInfos", 1), 1, 0, {});
    ExpectRecord(Record("GetConditionInfos", 0), 0, 0x0220, {22, 22});
    ExpectRecord(Record("GetExpressionInfos", 0), 0, 0, {1, 1});
    ExpectRecord(Record("GetExpressionInfos", 1), 1, 1, {});
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(EditorExports, IdsWithoutARecordGiveNull) {
    Start();
    struct { const char* name; int32_t id; } rows[] = {
        {"GetActionInfos", 2},    {"GetActionInfos", -1},    {"GetActionInfos", 0xFFFF},
        {"GetConditionInfos", 1}, {"GetConditionInfos", -1}, {"GetExpressionInfos", 2},
        {"GetExpressionInfos", -1}, {"GetActionInfos", 0x7FFF},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Record(row.name, row.id), nullptr) << row.name << " " << row.id;
    // The id is a 16-bit number: what lies above it is not part of it.
    ExpectRecord(Record("GetActionInfos", 0x10001), 1, 0, {});
}

struct TypeRow {
    const char* name;
    uint16_t code;
    bool known;
};

// Parameter type names of actions and conditions, in any case.
const TypeRow parameter_types[] = {
    {"text", 45, true},         {"STRING", 45, true},        {"filename", 40, true},
    {"File", 40, true},         {"float", 22, true},         {"INTEGER", 22, true},
    {"unsigned integer", 22, true}, {"object", 1, true},     {"Position", 8, true},
    {"create", 9, true},        {"SysCreate", 20, true},     {"animation", 10, true},
    {"nop", 11, true},          {"Player", 12, true},        {"every", 13, true},
    {"KEY", 14, true},          {"speed", 15, true},         {"joydirection", 17, true},
    {"Shoot", 18, true},        {"zone", 19, true},          {"comparison", 23, true},
    {"stringcomparison", 46, true}, {"colour", 24, true},    {"COLOR", 24, true},
    {"frame", 26, true},        {"SampleLoop", 27, true},    {"musicloop", 28, true},
    {"NewDirection", 29, true}, {"textnumber", 30, true},    {"click", 31, true},
    {"program", 33, true},      {"Custom12", 1012, true},    {"custom", 1000, true},
    {"Customer", 1000, true},   {"CUSTOM7x", 1007, true},    {"Texts", 0, false},
    {"Foo", 0, false},          {"", 0, false},
};

const TypeRow expression_parameter_types[] = {
    {"text", 3, true},  {"STRING", 3, true}, {"Float", 1, true}, {"integer", 1, true},
    {"Unsigned Integer", 1, true}, {"Object", 0, false}, {"Custom3", 0, false},
};

const TypeRow return_types[] = {
    {"integer", 0, true}, {"FLOAT", 2, true}, {"text", 1, true},   {"String", 1, true},
    {"short", 0, true},   {"unsigned integer", 0, true},           {"Bogus", 0, false},
};

std::string Entry(const std::string& extra, const char* type) {
    return "{\"Title\": \"t\"" + extra + ", \"Parameters\": [[\"" + type + "\", \"p\"]]}";
}

// Adds one element to a comma-separated list.
void Append(std::string& list, const std::string& element) {
    if (!list.empty()) list += ',';
    list += element;
}


TEST_F(EditorExports, TypeNamesThroughTheRecords) {
    std::string actions, conditions, expressions;
    using lumbra_test::Shown;
    namespace message = Kvor::message;
    std::vector<lumbra_test::ShownMessage> expected_messages;
    for (const TypeRow& row : parameter_types) {
        Append(actions, Entry("", row.name));
        if (!row.known) expected_messages.push_back(Shown(message::unknown_parameter_type, row.name));
    }
    for (const TypeRow& row : parameter_types) {
        Append(conditions, Entry(", \"Triggered\": true", row.name));
        if (!row.known) expected_messages.push_back(Shown(message::unknown_parameter_type, row.name));
    }
    for (const TypeRow& row : expression_parameter_types) {
        Append(expressions, Entry(", \"Returns\": \"Integer\"", row.name));
        if (!row.known) expected_messages.push_back(Shown(message::unknown_parameter_type, row.name));
    }
    for (const TypeRow& row : return_types) {
        expressions += std::string(",{\"Title\": \"r\", \"Returns\": \"") + row.name + "\"}";
        if (!row.known) expected_messages.push_back(Shown(message::unknown_return_type, row.name));
    }
    expressions += ",{\"Title\": \"no return type\"}";
    expected_messages.push_back(Shown(message::unknown_return_type, ""));

    StartWith(R"({"Identifier": "LMBR", "Dependencies": [], "UK English": {"Actions": [)" +
              actions + "], \"Conditions\": [" + conditions + "], \"Expressions\": [" +
              expressions + "]}}");

    int16_t id = 0;
    for (const TypeRow& row : parameter_types) {
        ExpectRecord(Record("GetActionInfos", id), id, 0, {row.code});
        ExpectRecord(Record("GetConditionInfos", id), id, 0, {row.code});
        ++id;
    }
    id = 0;
    for (const TypeRow& row : expression_parameter_types) {
        ExpectRecord(Record("GetExpressionInfos", id), id, 0, {row.code});
        ++id;
    }
    for (const TypeRow& row : return_types) {
        ExpectRecord(Record("GetExpressionInfos", id), id, row.code, {});
        ++id;
    }
    ExpectRecord(Record("GetExpressionInfos", id), id, 0, {});

    ASSERT_EQ(Boxes().size(), expected_messages.size());
    for (size_t i = 0; i < expected_messages.size(); ++i) lumbra_test::ExpectShown(Boxes()[i], expected_messages[i]);
}

struct KindRow {
    const char* name;
    const char* member;
    const char* noun;
    const char* records;
    const char* type;         // a type name of that kind
    uint16_t code;
    const char* extra;        // members every entry of the kind carries
    uint16_t flags;
};

class ParameterLimit : public EditorExports, public ::testing::WithParamInterface<KindRow> {};

TEST_P(ParameterLimit, SixteenAcceptedSeventeenRefused) {
    const KindRow& k = GetParam();
    auto entry = [&](int parameters) {
        std::string list;
        for (int i = 0; i < parameters; ++i)
            list += std::string(i ? "," : "") + "[\"" + k.type + "\", \"p\"]";
        return std::string("{\"Title\": \"t\"") + k.extra + ", \"Parameters\": [" + list + "]}";
    };
    StartWith(std::string(R"({"Identifier": "LMBR", "Dependencies": [], "UK English": {")") +
              k.member + "\": [" + entry(16) + "," + entry(17) + "," + entry(1) + "]}}");

    ExpectRecord(Record(k.records, 0), 0, k.flags, std::vector<uint16_t>(16, k.code));
    ASSERT_EQ(Boxes().size(), 1u);
    lumbra_test::ExpectShown(Boxes()[0], lumbra_test::ShownAbout(k.noun, Kvor::message::too_many_parameters, k.noun));
    // The refused entry keeps its place, so the next one is still at its own id.
    const plenar::AceRecord* refused = Record(k.records, 1);
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->id, 1);
    EXPECT_EQ(refused->parameter_count, 0);
    ExpectRecord(Record(k.records, 2), 2, k.flags, {k.code});
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ParameterLimit,
    ::testing::Values(
        KindRow{"Actions", "Actions", "action", "GetActionInfos", "Text", 45, "", 0},
        KindRow{"Conditions", "Conditions", "condition", "GetConditionInfos", "Integer", 22, "",
                0x0220},
        KindRow{"Expressions", "Expressions", "expression", "GetExpressionInfos", "String", 3,
                ", \"Returns\": \"Float\"", 2}),
    [](const auto& info) { return std::string(info.param.name); });

// --- capability answers -------------------------------------------------------

TEST_F(EditorExports, GetInfosAnswers) {
    Start();
    const struct { int32_t code; uint32_t answer; } rows[] = {
        {0, 0x300}, {1, 0}, {2, 0x100}, {3, 0}, {6, 2}, {7, 254}, {8, 1}, {9, 0}, {-1, 0},
    };
    for (const auto& row : rows) EXPECT_EQ(Call("GetInfos", row.code), row.answer) << row.code;
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
    const struct { int32_t left, top; int16_t width, height; int32_t right, bottom; } rows[] = {
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
    lumbra_test::ExpectShown(Boxes()[0], lumbra_test::Shown(Kvor::message::resource_missing, "png", 101));
    Surface icon;
    Call("MakeIconEx", host.services(), &icon, 0, 0, 0);
    EXPECT_EQ(icon.width, 0);
}

// --- about texts, help file, dependencies ------------------------------------------

constexpr size_t text_length = 260;
constexpr size_t guard_length = 8;
constexpr plenar::wchar guard = L'#';

// GetObjInfos' five buffers, each followed by guard characters.
struct InfoBuffers {
    plenar::wchar texts[5][text_length + guard_length];
    InfoBuffers() {
        for (auto& text : texts) std::fill(std::begin(text), std::end(text), guard);
    }
    std::string Text(int which) const { return utf8_from_wide(texts[which]); }
    bool GuardsIntact() const {
        for (const auto& text : texts)
            for (size_t i = text_length; i < text_length + guard_length; ++i)
                if (text[i] != guard) return false;
        return true;
    }
};

const char* const two_languages =
    R"({"Identifier": "LMBR", "Dependencies": [],
        "UK English": {"About": {"Name": "primary", "Author": "primary author"}},
        "Deutsch": {"About": {"Name": "deutsch", "Author": "Autor", "Copyright": "Recht",
                              "Comment": "Bemerkung", "URL": "https://example.de/"}}})";

class ObjectInfos : public EditorExports {
protected:
    InfoBuffers Read(plenar::HostServices* services) {
        InfoBuffers buffers;
        Call("GetObjInfos", services, nullptr, buffers.texts[0], buffers.texts[1],
             buffers.texts[2], buffers.texts[3], buffers.texts[4]);
        EXPECT_TRUE(buffers.GuardsIntact());
        return buffers;
    }
};

TEST_F(ObjectInfos, NameComesFromThePrimaryLanguageUnlessAnApplicationIsOpen) {
    folder.write_file(L"Tovrandi.ini", "Languages=Deutsch\r\n");
    StartWith(two_languages);
    const struct { const char* row; bool record; bool open; const char* name; } rows[] = {
        {"null record", false, false, "primary"},
        {"no application", true, false, "primary"},
        {"application open", true, true, "deutsch"},
    };
    for (const auto& row : rows) {
        host.set_open_application(row.open);
        InfoBuffers b = Read(row.record ? host.services() : nullptr);
        EXPECT_EQ(b.Text(0), row.name) << row.row;
        EXPECT_EQ(b.Text(1), "Autor") << row.row;
        EXPECT_EQ(b.Text(2), "Recht") << row.row;
        EXPECT_EQ(b.Text(3), "Bemerkung") << row.row;
        EXPECT_EQ(b.Text(4), "https://example.de/") << row.row;
    }
}

TEST_F(ObjectInfos, LumbrasOwnTexts) {
    Start();
    InfoBuffers b = Read(host.services());
    EXPECT_EQ(b.Text(0), "Lumbra");
    EXPECT_EQ(b.Text(1), "Lumbra developers");
    EXPECT_EQ(b.Text(2), "Copyright (C) 2020 Lumbra developers");
    EXPECT_EQ(b.Text(3), "Lumbra Html5 Extension for Plenar ");
    EXPECT_EQ(b.Text(4), "https://lumbra.example.org/");
}

TEST_F(ObjectInfos, MissingOrNonTextMembersGiveEmptyTexts) {
    StartWith(R"({"Identifier": "LMBR", "Dependencies": [],
                  "UK English": {"About": {"Name": "n", "Author": 5, "URL": ["x"]}}})");
    InfoBuffers b = Read(host.services());
    EXPECT_EQ(b.Text(0), "n");
    for (int which = 1; which < 5; ++which) EXPECT_EQ(b.Text(which), "") << which;
}

TEST_F(ObjectInfos, LongTextsAreCutAndTerminated) {
    const std::string long_author(300, 'a');
    // A two-unit character that would straddle the last place is left out whole.
    const std::string straddling = std::string(258, 'b') + "\xF0\x9F\x98\x80" + "tail";
    const std::string accented = std::string(259, 'c') + "\xC3\xA9";
    StartWith(R"({"Identifier": "LMBR", "Dependencies": [], "UK English": {"About": {"Name": ")" +
              std::string(259, 'n') + R"(", "Author": ")" + long_author + R"(", "Copyright": ")" +
              straddling + R"(", "Comment": ")" + accented + R"(", "URL": ")" +
              std::string(1000, 'u') + R"("}}})");
    InfoBuffers b = Read(host.services());
    EXPECT_EQ(b.Text(0), std::string(259, 'n'));  // fits exactly
    EXPECT_EQ(b.Text(1), std::string(259, 'a'));
    EXPECT_EQ(b.Text(2), std::string(258, 'b'));
    EXPECT_EQ(b.Text(3), std::string(259, 'c'));
    EXPECT_EQ(b.Text(4), std::string(259, 'u'));
}

TEST_F(EditorExports, HelpFileName) {
    Start();
    auto name = reinterpret_cast<const plenar::wchar*>(Call("GetHelpFileName"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(utf8_from_wide(name), "Help/Example.chm");
}

TEST_F(EditorExports, LongHelpFileNameIsCut) {
    StartWith(R"({"Identifier": "LMBR", "Dependencies": [], "UK English": {"About": {"Help": ")" +
              std::string(400, 'h') + R"("}}})");
    auto name = reinterpret_cast<const plenar::wchar*>(Call("GetHelpFileName"));
    EXPECT_EQ(utf8_from_wide(name), std::string(259, 'h'));
}

TEST_F(EditorExports, HelpFileNameMissingIsEmpty) {
    StartWith(Description("no help"));
    auto name = reinterpret_cast<const plenar::wchar*>(Call("GetHelpFileName"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(utf8_from_wide(name), "");
}

std::vector<std::string> Table(plenar::Word address) {
    std::vector<std::string> names;
    auto table = reinterpret_cast<const plenar::wchar* const*>(address);
    if (!table) return {"<null table>"};
    for (; *table; ++table) names.push_back(utf8_from_wide(*table));
    return names;
}

TEST_F(EditorExports, DependenciesFromTheResourceAreEmpty) {
    Start();
    const plenar::Word first = Call("GetDependencies");
    EXPECT_EQ(Table(first), std::vector<std::string>{});
    EXPECT_EQ(Call("GetDependencies"), first);
}

TEST_F(EditorExports, DependenciesFromDiskListTheDescriptionThenTheNames) {
    folder.write_file(L"Other.json",
                      std::string(R"({"Identifier": "LMBR", "Dependencies": ["a.dll", "sub/b.txt", 5, ")") +
                          "\xC3\xA9" + R"(.ini"], "UK English": {}})");
    Load(Place(L"Other.pvx"));
    ASSERT_EQ(Initialize(), 0);
    const plenar::Word first = Call("GetDependencies");
    const std::vector<std::string> expected{"Other.json", "a.dll", "sub/b.txt", "",
                                            "\xC3\xA9.ini"};
    EXPECT_EQ(Table(first), expected);
    EXPECT_EQ(Call("GetDependencies"), first);
    EXPECT_EQ(Table(first), expected);
}

}  // namespace
