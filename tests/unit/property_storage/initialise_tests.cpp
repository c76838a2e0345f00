// The storage laid out from the description's defaults: check bytes, stored
// values by each entry's own type, the warnings for defaults of the wrong
// kind, and the host refusing to make room.
#include <fstream>
#include <sstream>

#include "properties/editdata_size.h"
#include "storage_fixture.h"

namespace storage_test {
namespace {

std::string LumbraDescription() {
    std::ifstream file(LUMBRA_DESCRIPTION, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST_F(StorageTest, LumbrasDescriptionStoresOneCheckByteAndItsWebAddress) {
    Load(LumbraDescription());
    const std::string address = Kvor::CurrentLanguage()["Properties"][1]["DefaultState"].text();
    ASSERT_FALSE(address.empty());

    EDITDATA* block =
        NewBlock(Kvor::ComputeEditDataSize(Kvor::CurrentLanguage()["Properties"], false));
    EDITDATA* original = block;
    Kvor::InitialisePropertiesFromJSON(&services, block);
    ExpectBoxes({});
    EXPECT_NE(block, original);  // the host moved it
    EXPECT_EQ(Stored(block), Join({{0x00}, TextBytes(address)}));
    EXPECT_EQ(block->Tovrandi_Prop_Size, 28 + 1 + address.size() + 1);
    EXPECT_EQ(block->Header.size, block->Tovrandi_Prop_Size);
    EXPECT_EQ(block->Width, 150);
    EXPECT_EQ(block->Height, 150);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].code, plenar::service_resize_edit_data);
    EXPECT_EQ(calls[0].edit_data, original);
    EXPECT_EQ(calls[0].block, reinterpret_cast<intptr_t>(original));
    EXPECT_EQ(calls[0].size, intptr_t(block->Tovrandi_Prop_Size));
}

// `count` checkboxes; the ticked ones by position.
std::string Checkboxes(int count, std::set<int> ticked) {
    std::string list = "[";
    for (int i = 0; i < count; ++i)
        list += std::string(i ? ", " : "") + R"({"Type": "Checkbox", "DefaultState": )" +
                (ticked.count(i) ? "true" : "false") + "}";
    return list + "]";
}

struct CheckCase {
    int count;
    std::set<int> ticked;
    Bytes check_bytes;
};

class CheckBytes : public StorageTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckBytes, OneBitPerPropertyLeastSignificantFirst) {
    Describe(Checkboxes(GetParam().count, GetParam().ticked));
    EDITDATA* block = NewBlock();
    Kvor::InitialisePropertiesFromJSON(&services, block);
    ExpectBoxes({});
    EXPECT_EQ(Stored(block), GetParam().check_bytes);
    for (int i = 0; i < GetParam().count; ++i)
        EXPECT_EQ(Kvor::GetPropertyCheck(block, uint32_t(i)), GetParam().ticked.count(i) == 1) << i;
}

INSTANTIATE_TEST_SUITE_P(Counts, CheckBytes,
                         ::testing::Values(CheckCase{0, {}, {}}, CheckCase{1, {0}, {0x01}},
                                           CheckCase{8, {0, 7}, {0x81}},
                                           CheckCase{9, {8}, {0x00, 0x01}},
                                           CheckCase{9, {1, 8}, {0x02, 0x01}},
                                           CheckCase{17, {16}, {0, 0, 0x01}}));

TEST_F(StorageTest, ChkDefaultTicksOnlyWhenItIsTheBooleanTrue) {
    Describe(R"([{"Type": "Editbox String", "DefaultState": "", "ChkDefault": true},
                 {"Type": "Editbox Number", "DefaultState": 1, "ChkDefault": "true"},
                 {"Type": "Combo Box", "DefaultState": "a", "Items": ["a"], "ChkDefault": true},
                 {"Type": "Text", "ChkDefault": true}])");
    EDITDATA* block = Built();
    EXPECT_EQ(Stored(block)[0], 0x05);
}

struct CaseCase {
    const char* letter_case;
    const char* stored;
};

class LetterCase : public StorageTest, public ::testing::WithParamInterface<CaseCase> {};

TEST_P(LetterCase, ChangesOnlyAsciiLetters) {
    Describe(std::string(R"([{"Type": "editbox string", "DefaultState": "Hello, W\u00f6rld 9",
                              "Case": ")") +
             GetParam().letter_case + R"("}])");
    EDITDATA* block = Built();
    EXPECT_EQ(Stored(block), Join({{0x00}, TextBytes(GetParam().stored)}));
}

INSTANTIATE_TEST_SUITE_P(Cases, LetterCase,
                         ::testing::Values(CaseCase{"Upper", "HELLO, W\xc3\xb6RLD 9"},
                                           CaseCase{"upper", "HELLO, W\xc3\xb6RLD 9"},
                                           CaseCase{"LOWER", "hello, w\xc3\xb6rld 9"},
                                           CaseCase{"Title", "Hello, W\xc3\xb6rld 9"}));

struct DefaultCase {
    const char* entry;
    Bytes stored;  // after the one check byte
    std::vector<Box> boxes;
};

class Defaults : public StorageTest, public ::testing::WithParamInterface<DefaultCase> {};

TEST_P(Defaults, StoreTheValueOrTheFallbackWithItsWarning) {
    Describe(std::string("[") + GetParam().entry + "]");
    EDITDATA* block = NewBlock();
    Kvor::InitialisePropertiesFromJSON(&services, block);
    ExpectBoxes(GetParam().boxes);
    EXPECT_EQ(Stored(block), Join({{0x00}, GetParam().stored}));
}

const Box integer_warning = unit_support::Shown(Kvor::message::default_number_invalid);
const Box string_warning = unit_support::Shown(Kvor::message::default_text_invalid);
const Box combo_warning = unit_support::Shown(Kvor::message::default_choice_invalid);
const Box missing_item = unit_support::Shown(Kvor::message::default_choice_not_an_item);
const Box checkbox_warning = unit_support::Shown(Kvor::message::default_check_invalid);

INSTANTIATE_TEST_SUITE_P(
    Kinds, Defaults,
    ::testing::Values(
        DefaultCase{R"({"Type": "Editbox Number", "DefaultState": 7})", NumberBytes(7), {}},
        DefaultCase{
            R"({"Type": "Editbox Number", "DefaultState": -2})", NumberBytes(0xFFFFFFFE), {}},
        DefaultCase{
            R"({"Type": "Editbox Number", "DefaultState": 4294967301})", NumberBytes(5), {}},
        DefaultCase{R"({"Type": "Editbox Number", "DefaultState": 3.99})",
                    NumberBytes(3),
                    {integer_warning}},
        DefaultCase{R"({"Type": "Editbox Number", "DefaultState": "12"})",
                    NumberBytes(0),
                    {integer_warning}},
        DefaultCase{R"({"Type": "Editbox Number"})", NumberBytes(0), {integer_warning}},
        DefaultCase{
            R"({"Type": "Editbox String", "DefaultState": 5})", TextBytes(""), {string_warning}},
        DefaultCase{R"({"Type": "Combo Box", "Items": ["a", "B"], "DefaultState": "b"})",
                    NumberBytes(1),
                    {}},
        DefaultCase{R"({"Type": "Combo Box", "Items": ["a", 3, "c"], "DefaultState": ""})",
                    NumberBytes(1),
                    {}},
        DefaultCase{R"({"Type": "Combo Box", "Items": ["a", "b"], "DefaultState": "c"})",
                    NumberBytes(0),
                    {missing_item}},
        DefaultCase{
            R"({"Type": "Combo Box", "DefaultState": "c"})", NumberBytes(0), {missing_item}},
        DefaultCase{R"({"Type": "Combo Box", "Items": ["a", "b"], "DefaultState": 1})",
                    NumberBytes(0),
                    {combo_warning}},
        DefaultCase{R"({"Type": "Checkbox", "DefaultState": "yes"})", {}, {checkbox_warning}},
        // A colour keeps a Windows colour value as a number does.
        DefaultCase{R"({"Type": "Color", "DefaultState": 3381555})", NumberBytes(0x339933), {}},
        DefaultCase{
            R"({"Type": "Color", "DefaultState": "red"})", NumberBytes(0), {integer_warning}},
        DefaultCase{R"({"Type": "Edit button", "DefaultState": 1})", {}, {}}));

TEST_F(StorageTest, TheCheckboxDefaultTicksItsBit) {
    Describe(R"([{"Type": "Text"}, {"Type": "CHECKBOX", "DefaultState": true}])");
    EXPECT_EQ(Stored(Built()), (Bytes{0x02}));
}

TEST_F(StorageTest, EachEntryIsLaidOutByItsOwnTypeEvenAfterARefusedOne) {
    // The first two entries get no descriptor; their positions still count.
    Describe(R"([{"Type": "!Start item"}, {"Type": "Nonsense"}, {"Type": "Size"},
                 {"Type": "Editbox Number", "DefaultState": 9},
                 {"Type": "Editbox String", "DefaultState": "s"}])");
    EDITDATA* block = Built();
    EXPECT_EQ(Stored(block), Join({{0x00}, NumberBytes(9), TextBytes("s")}));
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 3)), 9u);
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 4)), "s");
}

TEST_F(StorageTest, TheSizingAnnouncesExactlyTheSpaceTheDefaultsTake) {
    const char* descriptions[] = {
        R"([{"Type": "Color"}, {"Type": "Editbox String", "DefaultState": "abc"}])",
        R"([{"Type": "Combo Box", "Items": ["x"], "DefaultState": "x"}, {"Type": "Folder"},
            {"Type": "Editbox Number", "DefaultState": 1}, {"Type": "FolderEnd"},
            {"Type": "Editbox String", "DefaultState": "\u00e9t\u00e9"}, {"Type": "Size"}])",
        R"([])"};
    for (const char* description : descriptions) {
        Describe(description);
        const uint32_t announced =
            Kvor::ComputeEditDataSize(Kvor::CurrentLanguage()["Properties"], false);
        EDITDATA* block = NewBlock(announced);
        Kvor::InitialisePropertiesFromJSON(&services, block);
        EXPECT_EQ(block->Tovrandi_Prop_Size, announced) << description;
    }
}

// The trailer of an object type that keeps a record of its layout: each
// entry's stored kind, the count, the CRC-32 of the storage before it, and
// the magic bytes; the size the host is told has room for it.
TEST_F(StorageTest, ALayoutRecordFollowsTheValues) {
    record = true;
    Describe(R"([{"Type": "Checkbox", "DefaultState": true},
                 {"Type": "Editbox String", "DefaultState": "ab"},
                 {"Type": "Editbox Number", "DefaultState": 7}])");
    const uint32_t announced = Kvor::ComputeEditDataSize(Kvor::StoredProperties(), true);
    EDITDATA* block = NewBlock(announced);
    Kvor::InitialisePropertiesFromJSON(&services, block);
    ExpectBoxes({});
    EXPECT_EQ(Stored(block), Join({{0x01, 'a', 'b', 0x00, 0x07, 0x00, 0x00, 0x00},
                                   {0x00, 0x01, 0x02},
                                   NumberBytes(3),
                                   NumberBytes(0x9B47E3ED),
                                   {0x4B, 0x4C, 0x52, 0xD7}}));
    EXPECT_EQ(block->Tovrandi_Prop_Size, announced);
    // A write in place leaves a fresh record, so the block still reads.
    ASSERT_TRUE(Kvor::RewriteProperty(&services, block, 2, NumberBytes(9).data(), 4));
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 2)), 9u);
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 1)), "ab");
    ExpectBoxes({});
}

TEST_F(StorageTest, WithoutAPropertiesArrayOnlyTheHeaderIsLaidOut) {
    Describe(R"({"Type": "Checkbox"})");
    EDITDATA* block = Built();
    EXPECT_EQ(block->Tovrandi_Prop_Size, 28u);
    EXPECT_EQ(block->Header.size, 28u);
}

TEST_F(StorageTest, WhenTheHostRefusesToResizeTheBlockStaysAsItWas) {
    Describe(R"([{"Type": "Editbox String", "DefaultState": "abc", "ChkDefault": true}])");
    EDITDATA* block = NewBlock(40);
    EDITDATA* original = block;
    const Bytes before = Whole(block);
    refuse_resize = true;
    Kvor::InitialisePropertiesFromJSON(&services, block);
    ExpectBoxes({unit_support::Shown(Kvor::message::layout_resize_refused)});
    EXPECT_EQ(block, original);
    EXPECT_EQ(Whole(block), before);
    EXPECT_FALSE(Kvor::PropertyStorageBuilt(block));
}

TEST_F(StorageTest, AHostWithoutAServiceEntryCountsAsRefusing) {
    Describe(R"([{"Type": "Editbox Number", "DefaultState": 1}])");
    EDITDATA* block = NewBlock();
    const Bytes before = Whole(block);
    Kvor::InitialisePropertiesFromJSON(nullptr, block);
    EXPECT_EQ(Whole(block), before);
    EDITDATA* none = nullptr;
    Kvor::InitialisePropertiesFromJSON(&services, none);
    EXPECT_EQ(none, nullptr);
    EXPECT_TRUE(calls.empty());
}

}  // namespace
}  // namespace storage_test
