// Creation parameters: the button text, the maximum length, the number range,
// the combo box items, and their release.
#include "descriptor_fixture.h"

namespace property_descriptor_test {
namespace {

using plenar::PropertyDescriptor;

struct LengthCase {
    const char* max_length;  // JSON text of "MaxLength", or null to leave it out
    uint32_t parameter;
};

TEST_F(DescriptorTest, MaxLengthIsReadAsA32BitNumber) {
    const LengthCase cases[] = {
        {"40", 40},
        {"12.9", 12},
        {"\"12\"", 0},
        {nullptr, 0},
        {"true", 0},
        {"-3.7", static_cast<uint32_t>(-3)},
        {"4294967301", 5},  // an integer keeps its low 32 bits
        {"1e12", 0x7FFFFFFFu},
        {"-1e12", 0x80000000u},
    };
    for (const LengthCase& c : cases) {
        Kvor::ReleasePropertyDescriptors(descriptors);
        json_release(root);
        const std::string entry =
            std::string(R"({"Type": "Editbox String")") +
            (c.max_length ? std::string(", \"MaxLength\": ") + c.max_length : "") + "}";
        const PropertyDescriptor& descriptor = BuildOne(entry);
        EXPECT_EQ(descriptor.parameter, c.parameter) << entry;
        EXPECT_EQ(descriptor.options, 0x4u) << entry;
    }
}

struct RangeCase {
    const char* keys;
    int32_t minimum;
    int32_t maximum;
};

TEST_F(DescriptorTest, EditboxNumberPointsToItsMinimumAndMaximum) {
    const RangeCase cases[] = {
        {R"("Minimum": -5, "Maximum": 10)", -5, 10},
        {R"("Maximum": 7)", 0, 7},
        {R"("Minimum": 2.9, "Maximum": "9")", 2, 0},
        {"", 0, 0},
    };
    for (const RangeCase& c : cases) {
        Kvor::ReleasePropertyDescriptors(descriptors);
        json_release(root);
        std::string entry = std::string(R"({"Type": "editbox number")") +
                            (*c.keys ? std::string(", ") + c.keys : "") + "}";
        const PropertyDescriptor& descriptor = BuildOne(entry);
        EXPECT_EQ(descriptor.type, 1006u);
        EXPECT_EQ(descriptor.options, 0x4u);
        ASSERT_NE(descriptor.parameter, 0u) << entry;
        const auto* range = reinterpret_cast<const int32_t*>(descriptor.parameter);
        EXPECT_EQ(range[0], c.minimum) << entry;
        EXPECT_EQ(range[1], c.maximum) << entry;
    }
}

TEST_F(DescriptorTest, EditButtonCopiesItsTextOnlyFromAString) {
    Build(R"([{"Type": "Edit button", "Text": "Browse..."}, {"Type": "Edit button", "Text": 5},
            {"Type": "Edit button"}])");
    ASSERT_EQ(descriptors.size(), 4u);
    EXPECT_EQ(Narrow(reinterpret_cast<const void*>(descriptors[0].parameter)), "Browse...");
    EXPECT_EQ(descriptors[1].parameter, 0u);
    EXPECT_EQ(descriptors[2].parameter, 0u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(descriptors[i].options, 0x4u) << i;
}

std::vector<std::string> ComboItems(const PropertyDescriptor& descriptor, size_t count) {
    const auto* const* array = reinterpret_cast<const char16_t* const*>(descriptor.parameter);
    std::vector<std::string> items;
    for (size_t k = 0; k < count + 2; ++k) items.push_back(Narrow(array[k]));
    return items;
}

TEST_F(DescriptorTest, ComboBoxItemsSitBetweenTwoNulls) {
    const PropertyDescriptor& descriptor =
        BuildOne(R"({"Type": "Combo Box", "Items": ["A", 5, "C"]})");
    ASSERT_NE(descriptor.parameter, 0u);
    EXPECT_EQ(ComboItems(descriptor, 3),
              (std::vector<std::string>{"<null>", "A", "", "C", "<null>"}));
    ExpectBoxes({});
}

TEST_F(DescriptorTest, ComboBoxWithoutItemsWarnsAndHoldsTwoNulls) {
    // Only an array counts: a string's bytes are no item count.
    for (const char* items : {"", R"(, "Items": [])", R"(, "Items": "abc")", R"(, "Items": 7)"}) {
        Kvor::ReleasePropertyDescriptors(descriptors);
        json_release(root);
        Kvor::Platform::ClearRecords();
        const PropertyDescriptor& descriptor =
            BuildOne(std::string(R"({"Type": "Combo Box")") + items + "}");
        ASSERT_NE(descriptor.parameter, 0u) << items;
        EXPECT_EQ(descriptor.options, 0x4u);
        EXPECT_EQ(ComboItems(descriptor, 0), (std::vector<std::string>{"<null>", "<null>"}));
        ExpectBoxes({no_items_box});
    }
}

TEST_F(DescriptorTest, OtherTypesHaveNoParameter) {
    Build(R"([{"Type": "Text", "Text": "x", "MaxLength": 4, "Items": ["a"]},
            {"Type": "Editbox String Multiline", "MaxLength": 4},
            {"Type": "Combo Box Button", "Items": ["a"]}])");
    ASSERT_EQ(descriptors.size(), 4u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(descriptors[i].parameter, 0u) << i;
}

TEST_F(DescriptorTest, ReleaseFreesEveryOwnedBlockAndEmptiesTheList) {
    // LeakSanitizer fails the program at exit if any block is left behind.
    Build(R"([{"Type": "Edit button", "Title": "b", "Info": "i", "Text": "t"},
            {"Type": "Editbox Number", "Minimum": 1},
            {"Type": "Combo Box", "Items": ["one", "two"]}, {"Type": "Combo Box"},
            {"Type": "Editbox String", "Title": "s", "MaxLength": 9}])");
    ASSERT_EQ(descriptors.size(), 6u);
    Kvor::ReleasePropertyDescriptors(descriptors);
    EXPECT_TRUE(descriptors.empty());
    Kvor::ReleasePropertyDescriptors(descriptors);  // an empty list is fine
}

TEST_F(DescriptorTest, FarCustomEntryWithAParameterTypeValueIsReleasedSafely) {
    // Custom at position 979 carries type 1006, the number editor's value, but
    // owns no range.
    std::string properties = "[";
    for (int i = 0; i < 980; ++i) properties += R"({"Type": "Custom"},)";
    properties += R"({"Type": "Custom"}])";
    Build(properties);
    ASSERT_EQ(descriptors.size(), 982u);
    EXPECT_EQ(descriptors[977].type, 1004u);
    EXPECT_EQ(descriptors[979].type, 1006u);
    EXPECT_EQ(descriptors[980].type, 1007u);
    EXPECT_EQ(descriptors[980].parameter, 0u);
    Kvor::ReleasePropertyDescriptors(descriptors);
    EXPECT_TRUE(descriptors.empty());
}

}  // namespace
}  // namespace property_descriptor_test
