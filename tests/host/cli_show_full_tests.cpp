// plenar-host.exe show on the real Lumbra.pvx and on the example object type
// Gauge.pvx (examples/Gauge), as a description author runs it: the object's
// records, menus, properties, drawing, run and debugger, and the --png
// picture decoded again by the host's own image import.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <cstdio>
#include <sstream>
#include <string>
#include "cli_runner.h"
#include "kvor/messages.h"
#include "plenar_sim/sim.h"

using namespace plenar;
using namespace plenar::sim;
using namespace cli_test;

namespace {

std::wstring lumbra() { return L"\"" + program_folder() + L"\\Lumbra.pvx\""; }

// One run of show for the cases that only read its output.
const CliRun& lumbra_show() {
    static const CliRun run = run_cli(L"show " + lumbra());
    return run;
}
const CliRun& gauge_show() {
    static const CliRun run = run_cli(L"show \"" + program_folder() + L"\\Gauge.pvx\"");
    return run;
}

// The first line starting (after its indentation) with `start`, or "".
std::string line_starting(const std::string& output, const std::string& start) {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.find_first_not_of(' ') != std::string::npos &&
            line.compare(line.find_first_not_of(' '), start.size(), start) == 0)
            return line;
    return {};
}

struct ExpectedLine {
    const char* start;
    std::vector<const char*> parts;
};

void expect_line(const CliRun& run, const ExpectedLine& expected) {
    ASSERT_EQ(run.status, 0u) << run.output;
    const std::string line = line_starting(run.output, expected.start);
    ASSERT_FALSE(line.empty()) << "no line starting " << expected.start << "\n" << run.output;
    for (const char* part : expected.parts) EXPECT_TRUE(has(line, part)) << line;
}

class ShowLumbraLine : public testing::TestWithParam<ExpectedLine> {};
TEST_P(ShowLumbraLine, IsPrinted) { expect_line(lumbra_show(), GetParam()); }
class ShowGaugeLine : public testing::TestWithParam<ExpectedLine> {};
TEST_P(ShowGaugeLine, IsPrinted) { expect_line(gauge_show(), GetParam()); }

TEST(ShowLumbra, EditsEachPropertyAndShowsTheStoredBytesAfter) {
    const CliRun& run = lumbra_show();
    const size_t editing = run.output.find("editing:");
    ASSERT_NE(editing, std::string::npos) << run.output;
    const std::string after = run.output.substr(editing);
    EXPECT_TRUE(has(after, "0x00080000 (null)")) << after;
    const std::string text = line_starting(after, "0x00080001 STRW");
    EXPECT_TRUE(has(text, "\"edited\"") && has(text, "check 1")) << text;
    // The text shrank: the block is 36 bytes, both check bits are set.
    EXPECT_TRUE(has(after, "edit data:          36 bytes")) << after;
    EXPECT_TRUE(has(after, "0014  96 00 96 00 24 00 00 00 03 65 64 69 74 65 64 00")) << after;
}

INSTANTIATE_TEST_SUITE_P(
    Lumbra, ShowLumbraLine,
    testing::Values(
        ExpectedLine{"name:", {"\"Lumbra\""}}, ExpectedLine{"help file:", {"\"Help/Example.chm\""}},
        ExpectedLine{"GetInfos 7:", {"254"}}, ExpectedLine{"identifier:", {"\"LMBR\""}},
        ExpectedLine{"GetObjectRect:", {"(10, 20)-(160, 170), 150 x 150"}},
        ExpectedLine{"id 0 flags 0x0000 count 1 codes 45", {}},
        ExpectedLine{"id 0 flags 0x0220 count 2 codes 22 22", {}},
        ExpectedLine{"id 1 flags 0x0001 count 0", {}},
        ExpectedLine{"parameter 0:", {"\"Set Lumbra Source \""}},
        ExpectedLine{"popup", {"\"Lumbra Option\""}},
        ExpectedLine{"25000 Lumbra Set Source", {"-> code 0"}},
        ExpectedLine{"27000 Get Lumbra Source", {"-> code 0"}},
        ExpectedLine{"0x00080001 1005 Editbox String", {"options 0x00000004", "max length 0"}},
        ExpectedLine{"0x00080001 STRW", {"\"https://video.example.org/watch/lumbra\"", "check 0"}},
        ExpectedLine{"transparent colour:", {"#FF00FF"}},
        ExpectedLine{"drawn:", {"(10, 20)-(160, 170), 150 x 150"}},
        ExpectedLine{"centre colour:", {"#0A7DFF"}}, ExpectedLine{"edge colour:", {"#000000"}},
        ExpectedLine{"action 0", {"(\"sample\")", "-> 0", "1 fetched"}},
        ExpectedLine{"condition 0", {"(2, 3)", "2 fetched"}},
        ExpectedLine{"expression 0", {"(2, 3)", "-> 5 ", "2 fetched"}},
        ExpectedLine{"expression 1", {"-> \"Hello world!\"", "string flag"}},
        ExpectedLine{"tree:", {"0x0080 0xFFFF"}}, ExpectedLine{"at once:", {"\"\""}},
        ExpectedLine{"DestroyRunObject:", {"0"}}));

// What Lumbra does not have: a number, a combo box and a colour on the sheet
// (edited by show to 42, item 1 and 0x336699 before the run), a float and a
// text expression, a condition with a text, a debugger item not editable.
INSTANTIATE_TEST_SUITE_P(
    Gauge, ShowGaugeLine,
    testing::Values(ExpectedLine{"name:", {"\"Gauge\""}}, ExpectedLine{"identifier:", {"\"GAUG\""}},
                    ExpectedLine{"ProductName:", {"\"Gauge\""}},
                    ExpectedLine{"0x00080000 1006 Editbox Number", {"minimum 1, maximum 1000000"}},
                    ExpectedLine{"0x00080001 1007 Combo Box",
                                 {"items \"Left to right\", \"Right to left\""}},
                    ExpectedLine{"0x00080002 1009 Color", {"options 0x00000001"}},
                    ExpectedLine{"0x00080002 DWRD", {"3381555"}},
                    ExpectedLine{"condition 0", {"(\"sample\")", "-> 1 ", "1 fetched"}},
                    ExpectedLine{"expression 0", {"(float 0.047619)", "float flag"}},
                    ExpectedLine{"expression 1", {"-> \"sample\"", "string flag"}},
                    ExpectedLine{"expression 2", {"-> 3368601 "}},
                    ExpectedLine{"tree:", {"0x0000 0xFFFF"}},
                    ExpectedLine{"501 ms later:", {"\"Value: 2 of 42\""}}));

// The second language, chosen by the settings file beside the plug-in.
TEST(ShowGauge, TheFrenchTextsComeWithTheSettingsFileThatAsksForThem) {
    TempFolder folder;
    const std::wstring copy = folder.place_copy(program_folder() + L"\\Gauge.pvx");
    folder.write_file(L"Tovrandi.ini", "Languages=French\r\n");
    const CliRun run = run_cli(L"show \"" + copy + L"\"");
    expect_line(run, {"name:", {"\"Jauge\""}});
    expect_line(run, {"0x00080001 1007 Combo Box", {"items \"De gauche \u00e0 droite\""}});
}

TEST(ShowLumbra, DebuggerItemShowsTheEditAfterItsPeriod) {
    const std::string& output = lumbra_show().output;
    const size_t edited = output.find("edited to:");
    ASSERT_NE(edited, std::string::npos) << output;
    EXPECT_TRUE(has(output.substr(edited), "\"My text is: edited\"")) << output;
    EXPECT_LT(output.find("\"My text is: \""), edited) << output;
}

TEST(ShowLumbraAndGauge, ReportNoFaultsAndNoMessageBoxes) {
    for (const CliRun* run : {&lumbra_show(), &gauge_show()}) {
        EXPECT_TRUE(has(run->output, "Faults\n------\n  none\n")) << run->output;
        EXPECT_FALSE(has(run->output, "message box (")) << run->output;
        EXPECT_FALSE(has(run->output, ": missing")) << run->output;
    }
}

std::string read_file(const std::wstring& path) {
    std::string bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char buffer[65536];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

uint32_t big_endian(const std::string& bytes, size_t at) {
    return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
           (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint8_t(bytes[at + 3]);
}

uint32_t crc32_of(const std::string& bytes, size_t from, size_t length) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < from + length; ++i) {
        crc ^= uint8_t(bytes[i]);
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

TEST(ShowLumbra, PngIsAValidPictureOfEveryPanel) {
    TempFolder folder;
    const std::wstring path = folder.file(L"picture.png");
    const CliRun run = run_cli(L"show " + lumbra() + L" --png \"" + path + L"\"");
    ASSERT_EQ(run.status, 0u) << run.output;
    const std::string png = read_file(path);
    ASSERT_GT(png.size(), 33u);
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
    // Every chunk's CRC holds and the file ends with IEND.
    std::string last;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = big_endian(png, at);
        ASSERT_LE(at + 12 + length, png.size());
        EXPECT_EQ(crc32_of(png, at + 4, 4 + length), big_endian(png, at + 8 + length))
            << png.substr(at + 4, 4);
        last = png.substr(at + 4, 4);
        at += 12 + length;
    }
    EXPECT_EQ(last, "IEND");
    // The size the report gives, and every panel inside it.
    const std::string report = run.output.substr(run.output.find("\nPicture\n"));
    const std::string size = line_starting(report, "size:");
    int width = 0, height = 0;
    ASSERT_EQ(std::sscanf(size.c_str(), " size: %d x %d", &width, &height), 2) << run.output;
    EXPECT_EQ(big_endian(png, 16), uint32_t(width));
    EXPECT_EQ(big_endian(png, 20), uint32_t(height));
    for (const char* title : {"Icon", "Frame editor", "Action menu", "Condition menu",
                              "Expression menu", "Property sheet", "Display strings"}) {
        int left = -1, top = -1, w = 0, h = 0;
        const std::string line = line_starting(report, std::string(title) + ":");
        EXPECT_EQ(std::sscanf(line.substr(line.find(':') + 1).c_str(), " at %d, %d, %d x %d", &left,
                              &top, &w, &h),
                  4)
            << title << "\n"
            << run.output;
        EXPECT_TRUE(left >= 0 && top >= 0 && w > 0 && h > 0 && left + w <= width &&
                    top + h <= height)
            << line;
    }

    // Decoded by the host's own import, the drawing's fill shows 1:1.
    Host host;
    InputFile* input = CreateMemoryInputFile();
    input->Open(png.data(), static_cast<uint32_t>(png.size()));
    Surface picture;
    const uint32_t format = image_format_png;
    ASSERT_EQ(ImportImage(host.services()->image_import_context, input, &picture, &format, 0), 0);
    input->Release();
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    size_t fill = 0;
    for (int i = 0; i < width * height; ++i) fill += picture.pixels[i] == 0xFF0A7DFFu;
    EXPECT_EQ(fill, size_t(142 * 142));  // inside the 4-pixel outline
}

// Lumbra's own description with a "Color" property put first, which the
// run-object information cannot size.
std::string description_with_colour_property() {
    HMODULE module = LoadLibraryExW((program_folder() + L"\\Lumbra.pvx").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module, nullptr);
    const auto bytes = find_resource(module, L"KVOR", 102);
    FreeLibrary(module);
    EXPECT_TRUE(bytes.has_value());
    std::string text(bytes->begin(), bytes->end());
    const size_t properties = text.find("\"Properties\": [");
    EXPECT_NE(properties, std::string::npos);
    // "Colour" is no property type: the sheet leaves it out and the sizing reports it.
    text.insert(text.find('[', properties) + 1, "{\"Title\": \"Tint\", \"Type\": \"Colour\"},");
    return text;
}

TEST(ShowLumbra, MessageBoxIsShownInTheSectionThatRaisedIt) {
    TempFolder folder;
    const std::wstring copy = folder.place_copy(program_folder() + L"\\Lumbra.pvx");
    folder.write_file(L"Lumbra.json", description_with_colour_property());
    const CliRun run = run_cli(L"show \"" + copy + L"\"");
    ASSERT_EQ(run.status, 0u) << run.output;
    const size_t section = run.output.find("Run-object information\n");
    const Kvor::Message& unhandled = Kvor::message::unhandled_property_type;
    const size_t box =
        run.output.find("message box (MessageBoxA, style " + std::to_string(unhandled.style) +
                        "): \"" + unhandled.caption + "\"");
    ASSERT_NE(box, std::string::npos) << run.output;
    EXPECT_LT(section, box);
    EXPECT_LT(box, run.output.find("Editor object\n"));
    std::string text;  // as show quotes it
    for (char c : Kvor::MessageText(unhandled, "Colour"))
        text += c == '"' ? std::string("\\\"") : std::string(1, c);
    EXPECT_TRUE(has(run.output.substr(box), "\"" + text + "\"")) << run.output;
}

TEST(ShowLumbra, UnwritablePngIsReported) {
    const CliRun run = run_cli(L"show " + lumbra() + L" --png \"Z:\\no\\such\\folder\\x.png\"");
    EXPECT_EQ(run.status, 0u);
    EXPECT_TRUE(has(run.output, "could not be written")) << run.output;
}

TEST(ShowUsage, WrongArgumentsGiveUsage) {
    for (const wchar_t* arguments : {L"show a b", L"show --png", L"show --png x.png"}) {
        const CliRun run = run_cli(arguments);
        EXPECT_EQ(run.status, 2u) << arguments;
        EXPECT_TRUE(has(run.output, "usage: plenar-host show PLUGIN [--png FILE]")) << run.output;
    }
}

}  // namespace
