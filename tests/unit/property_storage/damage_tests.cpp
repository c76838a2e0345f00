// Blocks from saved projects that do not hold what the description lays out:
// every read and write stays inside the block, reports the damage and leaves
// the block as it is.
#include "storage_fixture.h"

namespace storage_test {
namespace {

constexpr const char* two_texts = R"([
    {"Type": "Editbox String", "DefaultState": "first"},
    {"Type": "Editbox Number", "DefaultState": 1},
    {"Type": "Editbox String", "DefaultState": "last"}])";

namespace message = Kvor::message;
const Box text_past_end = unit_support::Shown(message::properties_damaged, message::damage_text_runs_past);
const Box number_past_end = unit_support::Shown(message::properties_damaged, message::damage_number_runs_past);
const Box size_too_large = unit_support::Shown(message::properties_damaged, message::damage_size_beyond_block);
const Box no_check_room = unit_support::Shown(message::properties_damaged, message::damage_no_room_for_checks);
const Box premature = unit_support::Shown(message::properties_too_early);

class Damaged : public StorageTest {
protected:
    // Every operation on property `index` refuses with `box`, writes nothing.
    void ExpectRefused(EDITDATA*& block, uint32_t index, const Box& box,
                       const Bytes& rewrite = TextBytes("a longer text than before")) {
        const Bytes before = Whole(block);
        EDITDATA* pointer = block;
        uint32_t size = 0xAAAA;
        EXPECT_EQ(Kvor::PropIndex(block, index, size), nullptr);
        EXPECT_EQ(size, 0xAAAAu);
        EXPECT_EQ(Kvor::GetProperty(block, index), nullptr);
        EXPECT_FALSE(Kvor::RewriteProperty(&services, block, index, rewrite.data(),
                                           uint32_t(rewrite.size())));
        EXPECT_EQ(block, pointer);
        EXPECT_EQ(Whole(block), before);
        EXPECT_TRUE(calls.empty());
        ExpectBoxes({box, box, box});
    }
};

TEST_F(Damaged, ATextWithoutItsNulIsNotReadPastTheEnd) {
    Describe(two_texts);
    EDITDATA* block = Built();
    reinterpret_cast<uint8_t*>(block)[block->Tovrandi_Prop_Size - 1] = 'x';
    ExpectRefused(block, 2, text_past_end);
    // What lies before the damage still reads.
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 0)), "first");
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 1)), 1u);
}

TEST_F(Damaged, ARecordedSizeBeyondTheBlockIsRefused) {
    Describe(two_texts);
    EDITDATA* block = Built();
    block->Tovrandi_Prop_Size += 1;
    ExpectRefused(block, 0, size_too_large);
    EXPECT_FALSE(Kvor::SetPropertyCheck(block, 0, true));
    EXPECT_FALSE(Kvor::GetPropertyCheck(block, 0));
    ExpectBoxes({size_too_large, size_too_large});
}

TEST_F(Damaged, ARecordedSizeSmallerThanItsValuesKeepsTheWalkInsideIt) {
    Describe(two_texts);
    EDITDATA* block = Built();
    block->Tovrandi_Prop_Size -= 5;  // the last text's bytes lie beyond it
    ExpectRefused(block, 2, text_past_end);
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 1)), 1u);
}

TEST_F(Damaged, ARecordedSizeWithoutRoomForTheCheckBytesIsRefused) {
    Describe(R"([{"Type": "Checkbox"}, {"Type": "Editbox Number"}])");
    EDITDATA* block = Built();
    for (uint32_t size : {28u, 5u}) {
        block->Tovrandi_Prop_Size = size;
        EXPECT_FALSE(Kvor::GetPropertyCheck(block, 0));
        EXPECT_FALSE(Kvor::SetPropertyCheck(block, 0, true));
        EXPECT_EQ(Kvor::GetProperty(block, 1), nullptr);
        ExpectBoxes({no_check_room, no_check_room, no_check_room});
    }
}

TEST_F(Damaged, ADescriptionThatGrewSinceTheProjectWasSavedIsCaught) {
    Describe(R"([{"Type": "Editbox String", "DefaultState": "saved"}])");
    EDITDATA* block = Built();
    Describe(R"([{"Type": "Editbox String", "DefaultState": "saved"},
                 {"Type": "Editbox Number", "DefaultState": 3},
                 {"Type": "Editbox String"}])");
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 0)), "saved");
    ExpectRefused(block, 1, number_past_end, NumberBytes(9));
    ExpectRefused(block, 2, number_past_end);
}

TEST_F(Damaged, ADescriptionWhoseTypesChangedReadsOnlyInsideTheBlock) {
    Describe(R"([{"Type": "Editbox Number", "DefaultState": 1633837924}])");  // "dcba"
    EDITDATA* block = Built();
    Describe(R"([{"Type": "Editbox String"}])");
    ExpectRefused(block, 0, text_past_end);
}

TEST_F(Damaged, ABlockNeverLaidOutIsAPrematureCall) {
    Describe(two_texts);
    for (uint32_t size : {20u, 27u, 40u}) {
        EDITDATA* block = NewBlock(size);
        ExpectRefused(block, 0, premature);
        EXPECT_FALSE(Kvor::PropertyStorageBuilt(block));
        EXPECT_FALSE(Kvor::GetPropertyCheck(block, 0));
        EXPECT_FALSE(Kvor::SetPropertyCheck(block, 0, true));
        ExpectBoxes({premature, premature});
    }
}

TEST_F(Damaged, AShortBlockIsLaidOutAfresh) {
    Describe(two_texts);
    EDITDATA* block = NewBlock(20);
    Kvor::InitialisePropertiesFromJSON(&services, block);
    ExpectBoxes({});
    EXPECT_EQ(Stored(block), Join({{0x00}, TextBytes("first"), NumberBytes(1), TextBytes("last")}));
}

TEST_F(Damaged, PropertiesThatAreNotAnArrayAreAPrematureCall) {
    Describe(R"({"Type": "Editbox String"})");
    EDITDATA* block = Built();
    uint32_t size = 0xAAAA;
    EXPECT_EQ(Kvor::PropIndex(block, 0, size), nullptr);
    ExpectBoxes({premature});
}

TEST_F(Damaged, NoBlockAtAllIsANullAnswer) {
    Describe(two_texts);
    EDITDATA* none = nullptr;
    EXPECT_EQ(Kvor::GetProperty(none, 0), nullptr);
    EXPECT_FALSE(Kvor::GetPropertyCheck(none, 0));
    EXPECT_FALSE(Kvor::SetPropertyCheck(none, 0, true));
    const Bytes text = TextBytes("x");
    EXPECT_FALSE(Kvor::RewriteProperty(&services, none, 0, text.data(), 2));
    ExpectBoxes({});
}

}  // namespace
}  // namespace storage_test
