// Reading one property back as a value object, locating its bytes,
// rewriting them in place or with the block resized, the check bits, and a
// stored number as an Extension reads it at run time.
#include "storage_fixture.h"
#include "properties/run_values.h"

namespace storage_test {
namespace {

constexpr const char* mixed = R"([
    {"Type": "Editbox String", "DefaultState": "abc"},
    {"Type": "Editbox Number", "DefaultState": 5},
    {"Type": "Checkbox", "DefaultState": true},
    {"Type": "Combo Box", "Items": ["a", "b", "c"], "DefaultState": "c"},
    {"Type": "Editbox String", "DefaultState": "zz"},
    {"Type": "Text", "DefaultState": "Just text"},
    {"Type": "Edit button", "DefaultState": "Press"},
    {"Type": "Folder"},
    {"Type": "Size"}])";

class Access : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        Describe(mixed);
        block = Built();
    }
    bool Rewrite(uint32_t index, const Bytes& bytes) {
        return Kvor::RewriteProperty(&services, block, index, bytes.data(), uint32_t(bytes.size()));
    }
    EDITDATA* block = nullptr;
};

const Bytes mixed_stored =
    Join({{0x04, 0x00}, TextBytes("abc"), NumberBytes(5), NumberBytes(2), TextBytes("zz")});

TEST_F(Access, TheDefaultsAreStoredInEntryOrder) { EXPECT_EQ(Stored(block), mixed_stored); }

TEST_F(Access, EachKindIsReadBackAsItsValue) {
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 0)), "abc");
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 1)), 5u);
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 3)), 2u);
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 4)), "zz");
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 5)), "Just text");
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 6)), "Press");
    ExpectBoxes({});
}

TEST_F(Access, CheckboxesAndFoldersHaveNoValueAndSayNothing) {
    EXPECT_EQ(Kvor::GetProperty(block, 2), nullptr);
    EXPECT_EQ(Kvor::GetProperty(block, 7), nullptr);
    ExpectBoxes({});
}

TEST_F(Access, ATypeWithoutAValueIsReported) {
    EXPECT_EQ(Kvor::GetProperty(block, 8), nullptr);
    ExpectBoxes({unit_support::Shown(Kvor::message::no_value_for_type)});
}

TEST_F(Access, AStoredTextIsConvertedFromUtf8) {
    const Bytes text = TextBytes("gr\xc3\xbc\xc3\x9f");
    ASSERT_TRUE(Rewrite(0, text));
    auto* value = static_cast<Kvor::Prop_WStr*>(Kvor::GetProperty(block, 0));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(Kvor::WideString(value->Text), Kvor::WideString(KVOR_WIDE("gr\u00fc\u00df")));
    value->Delete();
}

struct IndexCase {
    uint32_t index;
    uint32_t offset;  // from the block start; 0 for none
    uint32_t size;
};

class Locating : public Access, public ::testing::WithParamInterface<IndexCase> {};

TEST_P(Locating, PropIndexGivesTheFirstByteAndTheCount) {
    uint32_t size = 0xAAAA;
    uint8_t* found = Kvor::PropIndex(block, GetParam().index, size);
    if (!GetParam().offset) {
        EXPECT_EQ(found, nullptr);
        EXPECT_EQ(size, 0xAAAAu);
    } else {
        EXPECT_EQ(found, reinterpret_cast<uint8_t*>(block) + GetParam().offset);
        EXPECT_EQ(size, GetParam().size);
    }
    ExpectBoxes({});
}

INSTANTIATE_TEST_SUITE_P(Mixed, Locating,
                         ::testing::Values(IndexCase{0, 30, 4}, IndexCase{1, 34, 4},
                                           IndexCase{2, 0, 0}, IndexCase{3, 38, 4},
                                           IndexCase{4, 42, 3}, IndexCase{5, 0, 0},
                                           IndexCase{6, 0, 0}, IndexCase{7, 0, 0},
                                           IndexCase{8, 0, 0}));

TEST_F(Access, ALongerTextGrowsTheBlockAndMovesTheLaterValues) {
    EDITDATA* before = block;
    const uint32_t size = block->Tovrandi_Prop_Size;
    ASSERT_TRUE(Rewrite(0, TextBytes("abcdef")));
    EXPECT_NE(block, before);
    EXPECT_EQ(block->Tovrandi_Prop_Size, size + 3);
    EXPECT_EQ(block->Header.size, size + 3);
    EXPECT_EQ(block->Width, 150);
    EXPECT_EQ(
        Stored(block),
        Join({{0x04, 0x00}, TextBytes("abcdef"), NumberBytes(5), NumberBytes(2), TextBytes("zz")}));
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 1)), 5u);
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 4)), "zz");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].size, intptr_t(size + 3));
}

TEST_F(Access, AShorterTextShrinksTheBlock) {
    const uint32_t size = block->Tovrandi_Prop_Size;
    ASSERT_TRUE(Rewrite(4, TextBytes("")));
    EXPECT_EQ(block->Tovrandi_Prop_Size, size - 2);
    EXPECT_EQ(
        Stored(block),
        Join({{0x04, 0x00}, TextBytes("abc"), NumberBytes(5), NumberBytes(2), TextBytes("")}));
    ASSERT_TRUE(Rewrite(0, TextBytes("a")));
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 0)), "a");
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 3)), 2u);
}

TEST_F(Access, ATextOfTheSameLengthIsOverwrittenInPlace) {
    EDITDATA* before = block;
    ASSERT_TRUE(Rewrite(0, TextBytes("xyz")));
    EXPECT_EQ(block, before);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(
        Stored(block),
        Join({{0x04, 0x00}, TextBytes("xyz"), NumberBytes(5), NumberBytes(2), TextBytes("zz")}));
}

TEST_F(Access, NumbersAndItemsAreOverwrittenInPlace) {
    ASSERT_TRUE(Rewrite(1, NumberBytes(0x01020304)));
    ASSERT_TRUE(Rewrite(3, NumberBytes(0)));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(Stored(block), Join({{0x04, 0x00},
                                   TextBytes("abc"),
                                   NumberBytes(0x01020304),
                                   NumberBytes(0),
                                   TextBytes("zz")}));
}

TEST_F(Access, ANumberOfAnotherWidthIsRefusedAndNothingMoves) {
    const Bytes before = Whole(block);
    EXPECT_FALSE(Rewrite(1, Join({NumberBytes(7), NumberBytes(8)})));
    EXPECT_FALSE(Rewrite(3, TextBytes("ab")));
    EXPECT_EQ(Whole(block), before);
    ExpectBoxes({unit_support::Shown(Kvor::message::number_value_width, 8u),
                 unit_support::Shown(Kvor::message::number_value_width, 3u)});
}

TEST_F(Access, ATextMustEndWithItsOnlyNul) {
    const Bytes before = Whole(block);
    EXPECT_FALSE(Rewrite(0, Bytes{'a', 'b'}));
    EXPECT_FALSE(Rewrite(0, Bytes{'a', 0, 'b', 0}));
    EXPECT_FALSE(Rewrite(0, Bytes{}));
    EXPECT_EQ(Whole(block), before);
    const Box refused = unit_support::Shown(Kvor::message::text_value_without_nul);
    ExpectBoxes({refused, refused, refused});
}

TEST_F(Access, WhenTheHostRefusesToResizeTheTextStaysAsItWas) {
    EDITDATA* before_pointer = block;
    const Bytes before = Whole(block);
    refuse_resize = true;
    EXPECT_FALSE(Rewrite(4, TextBytes("longer text")));
    EXPECT_EQ(block, before_pointer);
    EXPECT_EQ(Whole(block), before);
    ExpectBoxes({unit_support::Shown(Kvor::message::rewrite_resize_refused)});
}

TEST_F(Access, CheckboxesAndFoldersTakeNoBytesAndOtherTypesAreReported) {
    const Bytes before = Whole(block);
    EXPECT_FALSE(Rewrite(2, NumberBytes(1)));
    EXPECT_FALSE(Rewrite(7, NumberBytes(1)));
    ExpectBoxes({});
    EXPECT_FALSE(Rewrite(5, TextBytes("t")));
    EXPECT_FALSE(Rewrite(8, NumberBytes(1)));
    const Box fatal = unit_support::Shown(Kvor::message::no_write_for_type);
    ExpectBoxes({fatal, fatal});
    EXPECT_EQ(Whole(block), before);
}

TEST_F(Access, CheckBitsAreSetAndClearedOneAtATime) {
    EXPECT_TRUE(Kvor::GetPropertyCheck(block, 2));
    EXPECT_FALSE(Kvor::GetPropertyCheck(block, 8));
    EXPECT_TRUE(Kvor::SetPropertyCheck(&services, block, 8, true));
    EXPECT_TRUE(Kvor::SetPropertyCheck(&services, block, 0, true));
    EXPECT_EQ(Stored(block)[0], 0x05);
    EXPECT_EQ(Stored(block)[1], 0x01);
    EXPECT_TRUE(Kvor::SetPropertyCheck(&services, block, 2, false));
    EXPECT_EQ(Stored(block)[0], 0x01);
    EXPECT_TRUE(Kvor::GetPropertyCheck(block, 8));
    EXPECT_TRUE(calls.empty());  // laid out for these entries: written in place
    EXPECT_FALSE(Kvor::SetPropertyCheck(&services, block, 9, true));  // no such property
    EXPECT_FALSE(Kvor::GetPropertyCheck(block, 9));
    ExpectBoxes({});
}

// An item list that shrank since the position was saved: the position
// past it reads as the default item, and stays stored until written.
TEST_F(Access, AnItemPastTheListReadsAsTheDefaultItem) {
    ASSERT_TRUE(Rewrite(3, NumberBytes(2)));
    const std::string three = R"(["a", "b", "c"], "DefaultState": "c")";
    std::string shrunk = mixed;
    shrunk.replace(shrunk.find(three), three.size(), R"(["a", "b"], "DefaultState": "b")");
    Describe(shrunk);
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 3)), 1u);
    EXPECT_EQ(Kvor::StoredNumber(block, 3, 77), 1u);
    uint32_t size = 0;
    const uint8_t* stored = Kvor::PropIndex(block, 3, size);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(Bytes(stored, stored + size), NumberBytes(2));
    ExpectBoxes({});
}

TEST_F(Access, AnExtensionReadsStoredNumbersAndItemsAndOtherwiseItsFallback) {
    EXPECT_EQ(Kvor::StoredNumber(block, 1, 77), 5u);
    EXPECT_EQ(Kvor::StoredNumber(block, 3, 77), 2u);
    EXPECT_EQ(Kvor::StoredNumber(block, 0, 77), 77u);  // a text, though "abc" takes 4 bytes too
    EXPECT_EQ(Kvor::StoredNumber(block, 2, 77), 77u);  // a check box
    EXPECT_EQ(Kvor::StoredNumber(block, 8, 77), 77u);  // a type that keeps nothing
    EXPECT_EQ(Kvor::StoredNumber(block, 99, 77), 77u);
    // A block whose sheet was never opened: the default the sheet will show.
    EXPECT_EQ(Kvor::StoredNumber(NewBlock(), 1, 77), 5u);
    ExpectBoxes({});
}

}  // namespace
}  // namespace storage_test
