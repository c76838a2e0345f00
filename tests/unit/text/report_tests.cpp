// Reports to the user: a catalogued message shown in the box it names, with
// its caption's placeholders filled in and texts cut to their buffers.
#include <gtest/gtest.h>

#include <iterator>

#include "platform/module.h"
#include "platform_spy.h"
#include "text/report.h"

namespace {

using TextTests::SeenBox;
namespace message = Kvor::message;

class Reports : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TextTests::StartWatching()); }
};

TEST_F(Reports, AMessageShowsItsCaptionTextAndStyle) {
    Kvor::Report(message::settings_unreadable);
    Kvor::Report(message::default_text_invalid);
    Kvor::Report(message::no_language);
    EXPECT_EQ(
        TextTests::SeenBoxes(),
        (std::vector<SeenBox>{{false, "Error opening Tovrandi.ini.", "Tovrandi SDK - Error", 16},
                              {false, "Invalid or no default string value specified.",
                               "Tovrandi - setup warning", 48},
                              {false, "The JSON parser could not find the current language object.",
                               "Tovrandi - Internal JSON error.", 0}}));
}

TEST_F(Reports, PlaceholdersAreTheLibraryAndTheKind) {
    const std::string library = Kvor::ModuleBaseName();
    Kvor::Report(message::language_too_early);
    Kvor::ReportAbout("condition", message::too_many_parameters, "condition");
    EXPECT_EQ(TextTests::SeenBoxes(),
              (std::vector<SeenBox>{
                  {false, message::language_too_early.text, library + "- Tovrandi error", 16},
                  {false, "Too many parameters in condition.", "Tovrandi - Error reading condition",
                   16}}));
}

TEST_F(Reports, AWideMessageIsAWideBox) {
    Kvor::Report(message::resource_missing, "png", 101);
    EXPECT_EQ(TextTests::SeenBoxes(),
              (std::vector<SeenBox>{{true, "Missing a resource! Type png, number 101.",
                                     Kvor::ModuleBaseName() + " - Error", 16}}));
}

// The description is UTF-8; an ANSI box gets its text in the ANSI code page
// (Windows-1252 here), so that accents survive.
TEST_F(Reports, ANarrowBoxShowsTheDescriptionsTextInTheANSICodePage) {
    const struct {
        const char* given;
        const char* shown;
    } rows[] = {
        {"caf\xC3\xA9", "caf\xE9"},
        {"\xE2\x82\xAC", "\x80"},
        {"\xE6\x97\xA5", "?"},     // not in the code page
        {"\xEF\xBB", "\xEF\xBB"},  // not UTF-8: the bytes as they are
    };
    for (const auto& row : rows) Kvor::Report(message::unknown_parameter_type, row.given);
    const std::vector<SeenBox> boxes = TextTests::SeenBoxes();
    ASSERT_EQ(boxes.size(), std::size(rows));
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_FALSE(boxes[i].wide);
        EXPECT_EQ(boxes[i].text, Kvor::MessageText(message::unknown_parameter_type, rows[i].shown));
    }
}

TEST_F(Reports, FormattedTextsAreCutToTheirBuffer) {
    const std::string long_type(400, 't');
    Kvor::Report(message::unknown_property_type, long_type.c_str());
    Kvor::Report(message::unknown_parameter_type, long_type.c_str());  // no buffer: whole
    const std::vector<SeenBox> boxes = TextTests::SeenBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text.size(), 255u);
    EXPECT_EQ(boxes[0].text.substr(0, 49), "The Parameter type specified was unrecognised: [t");
    EXPECT_EQ(boxes[1].text,
              "Error reading Parameter type \"" + long_type + "\"; text did not match anything.");
}

TEST(Captions, AreCutToTheirBuffer) {
    const std::string long_name(300, 'x');
    EXPECT_EQ(Kvor::MessageCaption(message::description_not_json, "Lumbra"),
              "Lumbra - Error parsing JSON");
    EXPECT_EQ(Kvor::MessageCaption(message::description_not_json, long_name).size(), 259u);
    EXPECT_EQ(Kvor::MessageCaption(message::properties_too_early, long_name).size(), 127u);
    EXPECT_EQ(Kvor::MessageCaption(message::link_mismatch, "Lumbra", "expression"),
              "Tovrandi - Error linking expression");
}

}  // namespace
