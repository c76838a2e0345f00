// Reports to the user: the box kind, text, caption and style as given, and
// formatted texts cut to their buffer.
#include <gtest/gtest.h>

#include "platform_spy.h"
#include "text/report.h"

namespace {

using TextTests::SeenBox;

class Reports : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TextTests::StartWatching()); }
};

TEST_F(Reports, NarrowReportKeepsTextCaptionAndStyle) {
  Kvor::Report("No actions", "Tovrandi - Error reading action", Kvor::report_error);
  Kvor::Report("Bad type", "Tovrandi - setup warning", Kvor::report_warning);
  Kvor::Report("Init failed", "Tovrandi SDK - Error", Kvor::report_plain);
  EXPECT_EQ(TextTests::SeenBoxes(),
            (std::vector<SeenBox>{{false, "No actions", "Tovrandi - Error reading action", 16},
                                  {false, "Bad type", "Tovrandi - setup warning", 48},
                                  {false, "Init failed", "Tovrandi SDK - Error", 0}}));
}

TEST_F(Reports, WideReportIsAWideBox) {
  Kvor::ReportWide(KVOR_WIDE("Caf\u00E9 missing"), KVOR_WIDE("Lumbra - Error"), Kvor::report_error);
  EXPECT_EQ(TextTests::SeenBoxes(),
            (std::vector<SeenBox>{{true, "Caf\xC3\xA9 missing", "Lumbra - Error", 16}}));
}

TEST_F(Reports, FormattedTextFitsItsBuffer) {
  Kvor::ReportFormatted(Kvor::report_error, "Tovrandi - Error", 64, "Action %d: \"%s\"", 3,
                        "Set text");
  EXPECT_EQ(TextTests::SeenBoxes(),
            (std::vector<SeenBox>{{false, "Action 3: \"Set text\"", "Tovrandi - Error", 16}}));
}

TEST_F(Reports, FormattedTextIsCutAndTerminated) {
  Kvor::ReportFormatted(Kvor::report_warning, "Tovrandi - Property error", 8, "%s-%d", "abcdef",
                        42);
  Kvor::ReportFormatted(Kvor::report_plain, "Tovrandi error", 1, "%s", "gone");
  Kvor::ReportFormatted(Kvor::report_plain, "Tovrandi error", 0, "%s", "gone");
  EXPECT_EQ(TextTests::SeenBoxes(),
            (std::vector<SeenBox>{{false, "abcdef-", "Tovrandi - Property error", 48},
                                  {false, "", "Tovrandi error", 0},
                                  {false, "", "Tovrandi error", 0}}));
}

TEST(ReportCaption, JoinsBaseNameAndSuffix) {
  EXPECT_EQ(Kvor::ReportCaption("Lumbra", " - Error parsing JSON"), "Lumbra - Error parsing JSON");
  EXPECT_EQ(Kvor::ReportCaption("Lumbra", "- Tovrandi error"), "Lumbra- Tovrandi error");
}

TEST(ReportCaption, IsCutToItsBuffer) {
  EXPECT_EQ(Kvor::ReportCaption("Lumbra", " - Error", 10), "Lumbra - ");
  EXPECT_EQ(Kvor::ReportCaption(std::string(300, 'x'), " - Error").size(), 127u);
  EXPECT_EQ(Kvor::ReportCaption("Lumbra", " - Error", 0), "");
}

}  // namespace
