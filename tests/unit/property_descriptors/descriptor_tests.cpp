// Descriptors by type: Lumbra's own sheet, type names, option bits, custom
// and folder-end entries, refused entries and the identifiers around them.
#include <fstream>
#include <sstream>

#include "descriptor_fixture.h"

namespace property_descriptor_test {
namespace {

using plenar::PropertyDescriptor;

TEST_F(DescriptorTest, LumbrasOwnSheetHasTwoDescriptorsAndTheTerminator) {
    std::ifstream file(LUMBRA_DESCRIPTION, std::ios::binary);
    ASSERT_TRUE(file) << LUMBRA_DESCRIPTION;
    std::stringstream text;
    text << file.rdbuf();
    root = Parse(text.str());
    ASSERT_NE(root, nullptr);
    descriptors = Kvor::BuildPropertyDescriptors((*root)["UK English"]["Properties"]);

    ASSERT_EQ(descriptors.size(), 3u);
    const PropertyDescriptor& checkbox = descriptors[0];
    EXPECT_EQ(checkbox.id, 0x80000u);
    EXPECT_EQ(Narrow(checkbox.title), "Checkbox ");
    EXPECT_EQ(Narrow(checkbox.info), "Unused yet");
    EXPECT_EQ(checkbox.type, 1010u);
    EXPECT_EQ(checkbox.options, 0x1u);
    EXPECT_EQ(checkbox.parameter, 0u);
    const PropertyDescriptor& source = descriptors[1];
    EXPECT_EQ(source.id, 0x80001u);
    EXPECT_EQ(Narrow(source.title), "Lumbra Source");
    EXPECT_EQ(Narrow(source.info), "Enter Lumbra Source ");
    EXPECT_EQ(source.type, 1005u);
    EXPECT_EQ(source.options, 0x4u);
    EXPECT_EQ(source.parameter, 0u);
    ExpectBoxes({});
}

TEST_F(DescriptorTest, TypeTableHoldsTheTwentyEightNamesByCode) {
    ASSERT_EQ(std::size(Kvor::property_types), 28u);
    for (uint32_t code = 0; code < 28; ++code) EXPECT_EQ(Kvor::property_types[code].code, code);
    EXPECT_STREQ(Kvor::property_types[0].name, "!Start item");
    EXPECT_STREQ(Kvor::property_types[6].name, "Editbox Number");
    EXPECT_STREQ(Kvor::property_types[15].name, "!List button");
    EXPECT_STREQ(Kvor::property_types[22].name, "Editbox String Multiline");
    EXPECT_STREQ(Kvor::property_types[27].name, "Edit spin float");
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TEST_F(DescriptorTest, EveryOrdinaryTypeNameIsFoundInAnyCase) {
    for (uint32_t code = 1; code <= 25; ++code) {
        if (code == 3 || code == 15 || code == 18) continue;  // folder end, refused, custom
        const std::string name = Kvor::property_types[code].name;
        for (const std::string& spelling : {name, Lower(name), Upper(name)}) {
            Kvor::ReleasePropertyDescriptors(descriptors);
            json_release(root);
            const PropertyDescriptor& descriptor = BuildOne(R"({"Type": ")" + spelling + R"("})");
            EXPECT_EQ(descriptor.type, 1000 + code) << spelling;
            EXPECT_EQ(descriptor.id, 0x80000u) << spelling;
        }
    }
    // Only the combo box without items has something to say, once a spelling.
    ExpectBoxes({no_items_box, no_items_box, no_items_box});
}

TEST_F(DescriptorTest, FolderAndSpinFloatEditorsAreNotAccepted) {
    Build(R"([{"Type": "Editbox Folder"}, {"Type": "Edit spin float"}])");
    EXPECT_EQ(descriptors.size(), 1u);
    ExpectBoxes({UnrecognisedBox("Editbox Folder"), UnrecognisedBox("Edit spin float")});
}

TEST_F(DescriptorTest, TheTypeKeyMustBeSpelledExactly) {
    Build(R"([{"type": "Text"}])");
    EXPECT_EQ(descriptors.size(), 1u);
    ExpectBoxes({UnrecognisedBox("")});
}

TEST_F(DescriptorTest, MissingTitleAndInfoGiveEmptyTexts) {
    const PropertyDescriptor& descriptor = BuildOne(R"({"Type": "Text"})");
    EXPECT_EQ(Narrow(descriptor.title), "");
    EXPECT_EQ(Narrow(descriptor.info), "");
}

TEST_F(DescriptorTest, TitleAndInfoAreConvertedFromUTF8) {
    const PropertyDescriptor& descriptor =
        BuildOne(R"({"Type": "Text", "Title": "Gr\u00f6\u00dfe", "Info": "caf\u00e9"})");
    EXPECT_EQ(Narrow(descriptor.title), "Größe");
    EXPECT_EQ(Narrow(descriptor.info), "café");
}

struct OptionCase {
    const char* entry;
    uint32_t options;
};

TEST_F(DescriptorTest, OptionBitsFollowFlagsTypesAndCase) {
    const OptionCase cases[] = {
        {R"({"Type": "Text"})", 0x0},
        {R"({"Type": "Text", "Checkbox": true})", 0x1},
        {R"({"Type": "Text", "Bold": true})", 0x2},
        {R"({"Type": "Text", "Removable": true})", 0x8},
        {R"({"Type": "Text", "Renameable": true})", 0x10},
        {R"({"Type": "Text", "Moveable": true})", 0x20},
        {R"({"Type": "Text", "List": true})", 0x40},
        {R"({"Type": "Text", "SingleSelect": true})", 0x80},
        {R"({"Type": "Text", "Bold": true, "List": true, "Moveable": true})", 0x62},
        {R"({"Type": "Text", "Bold": false, "Checkbox": 1, "List": "true"})", 0x0},
        {R"({"Type": "Text", "bold": true})", 0x0},
        {R"({"Type": "Size"})", 0x1},
        {R"({"Type": "Color", "Bold": true})", 0x3},
        {R"({"Type": "Checkbox"})", 0x1},
        {R"({"Type": "Edit button"})", 0x4},
        {R"({"Type": "Editbox String"})", 0x4},
        {R"({"Type": "Editbox String", "Password": true})", 0x10004},
        {R"({"Type": "Editbox String", "Password": 1})", 0x4},
        {R"({"Type": "Editbox String", "Case": "Lower"})", 0x20004},
        {R"({"Type": "Editbox String", "Case": "uPPER"})", 0x40004},
        {R"({"Type": "Editbox String", "Case": "Title"})", 0x4},
        {R"({"Type": "Editbox String Multiline", "Case": "lower"})", 0x20000},
        {R"({"Type": "Editbox String Multiline", "Case": "UPPER", "Password": true})", 0x40000},
        {R"({"Type": "Text", "Case": "Upper", "Password": true})", 0x0},
        {R"({"Type": "Editbox Number"})", 0x4},
        {R"({"Type": "Combo Box", "Items": ["x"]})", 0x4},
    };
    for (const OptionCase& c : cases) {
        Kvor::ReleasePropertyDescriptors(descriptors);
        json_release(root);
        EXPECT_EQ(BuildOne(c.entry).options, c.options) << c.entry;
    }
    ExpectBoxes({});
}

TEST_F(DescriptorTest, CustomEntriesTakeTheirPositionAndNoTexts) {
    Build(R"([{"Type": "Text"}, {"Type": "Text"}, {"Type": "Text"}, {"Type": "Text"},
            {"Type": "Custom Gauge", "Title": "Gauge", "Info": "i", "Bold": true},
            {"Type": "cUSTOM"}])");
    ASSERT_EQ(descriptors.size(), 7u);
    const PropertyDescriptor& gauge = descriptors[4];
    EXPECT_EQ(gauge.id, 0x80004u);
    EXPECT_EQ(gauge.type, 31u);
    EXPECT_EQ(gauge.title, nullptr);
    EXPECT_EQ(gauge.info, nullptr);
    EXPECT_EQ(gauge.options, 0u);
    EXPECT_EQ(gauge.parameter, 0u);
    EXPECT_EQ(descriptors[5].id, 0x80005u);
    EXPECT_EQ(descriptors[5].type, 32u);
    ExpectBoxes({custom_box, custom_box});
}

TEST_F(DescriptorTest, ShorterThanCustomIsUnrecognised) {
    Build(R"([{"Type": "Custo"}])");
    EXPECT_EQ(descriptors.size(), 1u);
    ExpectBoxes({UnrecognisedBox("Custo")});
}

TEST_F(DescriptorTest, FolderEndHasItsOwnIdAndKeepsTheNextInPlace) {
    Build(R"([{"Type": "Folder"}, {"Type": "Text"}, {"Type": "folderEND", "Title": "t"},
            {"Type": "Text"}])");
    ASSERT_EQ(descriptors.size(), 5u);
    EXPECT_EQ(descriptors[0].id, 0x80000u);
    EXPECT_EQ(descriptors[0].type, 1002u);
    EXPECT_EQ(descriptors[1].id, 0x80001u);
    const PropertyDescriptor& end = descriptors[2];
    EXPECT_EQ(end.id, 0x7FFFFu);
    EXPECT_EQ(end.type, 3u);
    EXPECT_EQ(end.title, nullptr);
    EXPECT_EQ(end.info, nullptr);
    EXPECT_EQ(end.options, 0u);
    EXPECT_EQ(descriptors[3].id, 0x80003u);
    ExpectBoxes({});
}

TEST_F(DescriptorTest, TypesStartingWithExclamationAreRefused) {
    Build(R"([{"Type": "!List button"}, {"Type": "!Start item"}, {"Type": "!custom"}])");
    EXPECT_EQ(descriptors.size(), 1u);
    ExpectBoxes({RefusedBox("!List button"), RefusedBox("!Start item"), RefusedBox("!custom")});
}

TEST_F(DescriptorTest, UnrecognisedTypeIsReportedWithItsText) {
    Build(R"([{"Type": "Editbox Strin"}, {"Type": "Text "}])");
    EXPECT_EQ(descriptors.size(), 1u);
    ExpectBoxes({UnrecognisedBox("Editbox Strin"), UnrecognisedBox("Text ")});
}

TEST_F(DescriptorTest, LongUnrecognisedTypeIsCutToTheMessageBuffer) {
    const std::string type(400, 'x');
    Build(R"([{"Type": ")" + type + R"("}])");
    const std::vector<Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, UnrecognisedBox(type).text);
    EXPECT_EQ(boxes[0].text.size(), 255u);
    EXPECT_EQ(boxes[0].caption, UnrecognisedBox(type).caption);
}

TEST_F(DescriptorTest, EntryThatIsNoObjectReadsAsEmptyType) {
    Build(R"([5, "Text", ["Text"], {"Type": "Text"}])");
    ASSERT_EQ(descriptors.size(), 2u);
    EXPECT_EQ(descriptors[0].id, 0x80003u);
    ExpectBoxes({UnrecognisedBox(""), UnrecognisedBox(""), UnrecognisedBox("")});
}

TEST_F(DescriptorTest, RefusedEntriesLeaveLaterIdsAtTheirPositions) {
    Build(R"([{"Type": "Text"}, {"Type": "!List button"}, {"Type": "Bogus"},
            {"Type": "Checkbox"}, {"Type": "Custom"}, {"Type": "FolderEnd"},
            {"Type": "Editbox Number"}])");
    ASSERT_EQ(descriptors.size(), 6u);
    const uint32_t expected_ids[] = {0x80000, 0x80003, 0x80004, 0x7FFFF, 0x80006, 0};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(descriptors[i].id, expected_ids[i]) << i;
    EXPECT_EQ(descriptors[1].type, 1010u);
    EXPECT_EQ(descriptors[2].type, 31u);
    EXPECT_EQ(descriptors[4].type, 1006u);
}

void ExpectAllZero(const PropertyDescriptor& descriptor) {
    EXPECT_EQ(descriptor.id, 0u);
    EXPECT_EQ(descriptor.title, nullptr);
    EXPECT_EQ(descriptor.info, nullptr);
    EXPECT_EQ(descriptor.type, 0u);
    EXPECT_EQ(descriptor.options, 0u);
    EXPECT_EQ(descriptor.parameter, 0u);
}

TEST_F(DescriptorTest, DescriptorsEndInAnAllZeroTerminator) {
    Build(R"([{"Type": "Text", "Title": "a"}, {"Type": "Combo Box", "Items": ["x"]}])");
    ASSERT_EQ(descriptors.size(), 3u);
    ExpectAllZero(descriptors.back());
}

TEST_F(DescriptorTest, NothingButTheTerminatorWithoutAnArray) {
    for (const char* properties :
         {"[]", "null", "\"abcdef\"", "123456789", "{\"Type\": \"Text\"}"}) {
        json_release(root);
        Build(properties);
        ASSERT_EQ(descriptors.size(), 1u) << properties;
        ExpectAllZero(descriptors[0]);
    }
    ExpectBoxes({});
    descriptors = Kvor::BuildPropertyDescriptors(json_none);
    ASSERT_EQ(descriptors.size(), 1u);
    ExpectAllZero(descriptors[0]);
}

}  // namespace
}  // namespace property_descriptor_test
