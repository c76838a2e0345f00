// The size of a new instance's edit-time data, computed from the defaults
// of the description's properties.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "properties/editdata_size.h"
#include "kvor/messages.h"
#include "kvor/types.h"
#include "platform/platform_recorder.h"
#include "../support/description_support.h"

namespace {

struct Parsed {
    explicit Parsed(const std::string& text) : root(unit_support::ParseDescription(text)) {}
    ~Parsed() { json_release(root); }
    const json_value& operator*() const { return root ? *root : json_none; }
    json_value* root;
};

std::string Properties(int count, const std::string& entry) {
    std::string text = "[";
    for (int i = 0; i < count; ++i) text += (i ? "," : "") + entry;
    return text + "]";
}

struct SizeCase {
    const char* name;
    std::string properties;
    uint32_t size;
};

class Sizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(Sizes, AreHeaderCheckBytesAndDefaults) {
    Kvor::Platform::ClearRecords();
    Parsed properties(GetParam().properties);
    EXPECT_EQ(Kvor::ComputeEditDataSize(*properties, false), GetParam().size);
    EXPECT_TRUE(Kvor::Platform::RecordedBoxes().empty());
}

const std::string checkbox = R"({"Type": "Checkbox"})";

INSTANTIATE_TEST_SUITE_P(
    Descriptions, Sizes,
    ::testing::Values(
        SizeCase{"NoProperties", "[]", 28}, SizeCase{"NotAnArray", "\"Editbox String\"", 28},
        SizeCase{"EightNeedOneCheckByte", Properties(8, checkbox), 29},
        SizeCase{"NineNeedTwo", Properties(9, checkbox), 30},
        SizeCase{"LumbrasOwn",
                 R"([{"Type": "Checkbox"}, {"Type": "Editbox String", "DefaultState": "abcd"}])",
                 28 + 1 + 4 + 1},
        SizeCase{"ANonTextDefaultAddsItsTerminator",
                 R"([{"Type": "editbox string", "DefaultState": 5}])", 28 + 1 + 1},
        SizeCase{"NumbersCombosAndColoursTakeFour",
                 R"([{"Type": "Editbox Number"}, {"Type": "COMBO BOX"}, {"Type": "Text"},
                    {"Type": "Folder"}, {"Type": "FolderEnd"}, {"Type": "Edit button"}, {"Type": "color"}])",
                 28 + 1 + 12}),
    [](const auto& info) { return std::string(info.param.name); });

// Every type the sheet accepts is sized (most keep nothing); only names the
// SDK does not accept are reported, and they add nothing.
TEST(EditDataSize, OnlyTypesTheSdkDoesNotAcceptAreReported) {
    Kvor::Platform::ClearRecords();
    std::string accepted;
    for (const Kvor::PropertyType& type : Kvor::property_types)
        if (type.sheet == Kvor::PropertySheet::entry && !Kvor::StoresBytes(type.store))
            accepted +=
                std::string(accepted.empty() ? "" : ",") + R"({"Type": ")" + type.name + "\"}";
    Parsed properties("[" + accepted + R"(, {"Type": "Custom Gauge"}, {"Type": "Sise"},
                                         {"Type": "!List button"}, {"Type": "Editbox Folder"}])");
    const uint32_t count = (*properties).length();
    EXPECT_EQ(Kvor::ComputeEditDataSize(*properties, false), 28u + (count + 7) / 8);
    const auto& boxes = Kvor::Platform::RecordedBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    const char* reported[] = {"Sise", "!List button", "Editbox Folder"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(boxes[i].text,
                  Kvor::MessageText(Kvor::message::unhandled_property_type, reported[i]));
        EXPECT_EQ(boxes[i].caption, Kvor::message::unhandled_property_type.caption);
        EXPECT_EQ(boxes[i].style, Kvor::message::unhandled_property_type.style);
    }
}

// The cache lives for the process, so these cases run in order in one test.
TEST(EditDataSize, TooLargeIsReportedAtEveryCallThenAFittingSizeIsCached) {
    Kvor::Platform::ClearRecords();
    std::string big(70000, 'x');
    Parsed large(R"([{"Type": "Editbox String", "DefaultState": ")" + big + "\"}]");
    EXPECT_EQ(Kvor::EditDataSize(*large, false), 28);
    EXPECT_EQ(Kvor::EditDataSize(*large, false), 28);
    ASSERT_EQ(Kvor::Platform::RecordedBoxes().size(), 2u);
    EXPECT_EQ(Kvor::Platform::RecordedBoxes()[1].text, Kvor::message::defaults_too_large.text);

    Parsed fitting(R"([{"Type": "Editbox Number"}, {"Type": "Sise"}])");
    EXPECT_EQ(Kvor::EditDataSize(*fitting, false), 33);
    EXPECT_EQ(Kvor::Platform::RecordedBoxes().size(), 3u);  // Sise reported once
    EXPECT_EQ(Kvor::EditDataSize(*fitting, false), 33);
    EXPECT_EQ(Kvor::EditDataSize(*large, false), 33);  // cached: not computed again
    EXPECT_EQ(Kvor::Platform::RecordedBoxes().size(), 3u);
}

}  // namespace
