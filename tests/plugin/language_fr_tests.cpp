// The host's language chooses which description file is tried first. This
// program carries the French language id in its string 720.
#include "plugin_fixture.h"

using lumbra_test::Description;
using lumbra_test::PluginCase;

namespace {

class FrenchHost : public PluginCase {};

TEST_F(FrenchHost, TheFrenchFileIsTriedFirst) {
    folder.write_file(L"Lumbra.FR.json", Description("french"));
    folder.write_file(L"Lumbra.EN.json", Description("english"));
    folder.write_file(L"Lumbra.json", Description("plain"));
    PlaceAndLoad();
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), "french");
}

TEST_F(FrenchHost, WithoutAFrenchFileThePlainOneIsRead) {
    folder.write_file(L"Lumbra.EN.json", Description("english"));
    folder.write_file(L"Lumbra.json", Description("plain"));
    PlaceAndLoad();
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), "plain");
}

}  // namespace
