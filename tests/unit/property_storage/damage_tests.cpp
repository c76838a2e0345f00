// Blocks from saved projects that do not hold what the current description
// lays out. One laid out for fewer or more entries (the description changed
// since) keeps the values it holds, reads its missing entries' defaults and
// is laid out afresh at the first write; with any other damage every read
// and write stays inside the block, reports it and leaves the block as it is.
// The host's header word bounds the block only where it can be its length.
#include <cctype>

#include "storage_fixture.h"

namespace storage_test {
namespace {

constexpr const char* two_texts = R"([
    {"Type": "Editbox String", "DefaultState": "first"},
    {"Type": "Editbox Number", "DefaultState": 1},
    {"Type": "Editbox String", "DefaultState": "last"}])";

namespace message = Kvor::message;
const Box text_past_end =
    unit_support::Shown(message::properties_damaged, message::damage_text_runs_past);
const Box number_past_end =
    unit_support::Shown(message::properties_damaged, message::damage_number_runs_past);
const Box size_too_large =
    unit_support::Shown(message::properties_damaged, message::damage_size_beyond_block);
const Box no_check_room =
    unit_support::Shown(message::properties_damaged, message::damage_no_room_for_checks);
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
        // A tick too: a changed check byte could make the damage read another way.
        EXPECT_FALSE(Kvor::SetPropertyCheck(&services, block, index, true));
        EXPECT_EQ(block, pointer);
        EXPECT_EQ(Whole(block), before);
        EXPECT_TRUE(calls.empty());
        ExpectBoxes({box, box, box, box});
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
    EXPECT_FALSE(Kvor::SetPropertyCheck(&services, block, 0, true));
    EXPECT_FALSE(Kvor::GetPropertyCheck(block, 0));
    ExpectBoxes({size_too_large, size_too_large});
}

TEST_F(Damaged, ARecordedSizeSmallerThanItsValuesKeepsTheWalkInsideIt) {
    Describe(two_texts);
    EDITDATA* block = Built();
    block->Tovrandi_Prop_Size -= 3;  // the last text's NUL and a byte lie beyond it
    ExpectRefused(block, 2, text_past_end);
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 1)), 1u);
}

TEST_F(Damaged, ARecordedSizeWithoutRoomForTheCheckBytesIsRefused) {
    Describe(R"([{"Type": "Checkbox"}, {"Type": "Editbox Number"}])");
    EDITDATA* block = Built();
    for (uint32_t size : {27u, 5u}) {
        block->Tovrandi_Prop_Size = size;
        EXPECT_FALSE(Kvor::GetPropertyCheck(block, 0));
        EXPECT_FALSE(Kvor::SetPropertyCheck(&services, block, 0, true));
        EXPECT_EQ(Kvor::GetProperty(block, 1), nullptr);
        ExpectBoxes({no_check_room, no_check_room, no_check_room});
    }
}

TEST_F(Damaged, ADescriptionWhoseTypesChangedReadsOnlyInsideTheBlock) {
    Describe(R"([{"Type": "Editbox Number", "DefaultState": 1633837924}])");  // "dcba"
    EDITDATA* block = Built();
    Describe(R"([{"Type": "Editbox String"}])");
    ExpectRefused(block, 0, text_past_end);
}

// A block ending with the record's magic bytes whose record does not
// describe it is damaged as a whole: nothing in it is read or written.
struct BrokenRecord {
    const char* what;
    uint32_t from_end;  // the byte changed, counted back from the storage's end
    uint8_t value;
    bool crc_agrees;  // the CRC is written again, so that another check refuses it
};

class BrokenRecords : public Damaged, public ::testing::WithParamInterface<BrokenRecord> {};

TEST_P(BrokenRecords, RefuseEveryOperation) {
    record = true;
    Describe(two_texts);
    EDITDATA* block = Built();
    reinterpret_cast<uint8_t*>(block)[block->Tovrandi_Prop_Size - GetParam().from_end] =
        GetParam().value;
    if (GetParam().crc_agrees)
        Kvor::RefreshLayoutRecord(reinterpret_cast<uint8_t*>(block), block->Tovrandi_Prop_Size);
    const Box broken =
        unit_support::Shown(message::properties_damaged, message::damage_layout_record);
    ExpectRefused(block, 0, broken);
}

INSTANTIATE_TEST_SUITE_P(Changes, BrokenRecords,
                         ::testing::Values(BrokenRecord{"a CRC byte", 8, 0x00, false},
                                           BrokenRecord{"a value byte", 20, 'X', false},
                                           BrokenRecord{"a count above the values", 12, 0x40, true},
                                           BrokenRecord{"a count one short", 12, 0x02, true},
                                           BrokenRecord{"a kind no entry has", 13, 0x09, true},
                                           BrokenRecord{"a kind that does not walk to the record",
                                                        15, 0x02, true}),
                         [](const auto& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name;
                         });

TEST_F(Damaged, ABlockNeverLaidOutIsAPrematureCall) {
    Describe(two_texts);
    for (uint32_t size : {20u, 27u, 40u}) {
        EDITDATA* block = NewBlock(size);
        ExpectRefused(block, 0, premature);
        EXPECT_FALSE(Kvor::PropertyStorageBuilt(block));
        EXPECT_FALSE(Kvor::SetPropertyCheck(&services, block, 0, true));
        ExpectBoxes({premature});
    }
}

// Before the sheet was ever opened a box reads as laying the storage out
// will tick it, and nothing is changed or shown.
TEST_F(Damaged, ABoxOfABlockNeverLaidOutReadsItsDefault) {
    Describe(R"([{"Type": "Checkbox", "DefaultState": true},
                 {"Type": "Editbox String", "ChkDefault": true},
                 {"Type": "Editbox Number"}])");
    EDITDATA* block = NewBlock();
    const Bytes before = Whole(block);
    EXPECT_TRUE(Kvor::GetPropertyCheck(block, 0));
    EXPECT_TRUE(Kvor::GetPropertyCheck(block, 1));
    EXPECT_FALSE(Kvor::GetPropertyCheck(block, 2));
    EXPECT_EQ(Whole(block), before);
    ExpectBoxes({});
}

// A header word below the 28 bytes every block of the object has is no
// length: the saved values read as they are. One that can be the length but
// ends before the storage does is reported, and the values are kept.
TEST_F(Damaged, TheHeaderWordBoundsTheBlockOnlyWhereItCanBeItsLength) {
    Describe(two_texts);
    EDITDATA* block = Built();
    const Bytes nine = NumberBytes(9);
    for (uint32_t word : {0u, 20u, 27u}) {
        block->Header.size = word;
        EXPECT_TRUE(Kvor::PropertyStorageBuilt(block));
        EXPECT_EQ(TextOf(Kvor::GetProperty(block, 2)), "last");
        EXPECT_TRUE(Kvor::RewriteProperty(&services, block, 1, nine.data(), 4));
        EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 1)), 9u);
        ExpectBoxes({});
    }
    block->Header.size = block->Tovrandi_Prop_Size - 1;
    ExpectRefused(block, 0, size_too_large);
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
    EXPECT_FALSE(Kvor::SetPropertyCheck(&services, none, 0, true));
    const Bytes text = TextBytes("x");
    EXPECT_FALSE(Kvor::RewriteProperty(&services, none, 0, text.data(), 2));
    ExpectBoxes({});
}

// --- blocks saved for fewer or more entries ------------------------------------

constexpr const char* saved_form = R"([
    {"Type": "Editbox String", "DefaultState": "first"},
    {"Type": "Checkbox", "DefaultState": false},
    {"Type": "Editbox Number", "DefaultState": 1}])";
// The same entries and three the author added since.
constexpr const char* grown_form = R"([
    {"Type": "Editbox String", "DefaultState": "first"},
    {"Type": "Checkbox", "DefaultState": false},
    {"Type": "Editbox Number", "DefaultState": 1},
    {"Type": "Editbox String", "DefaultState": "added", "ChkDefault": true},
    {"Type": "Checkbox", "DefaultState": true},
    {"Type": "Combo Box", "Items": ["x", "y"], "DefaultState": "y"}])";
// The first two entries only.
constexpr const char* shrunk_form = R"([
    {"Type": "Editbox String", "DefaultState": "first"},
    {"Type": "Checkbox", "DefaultState": false}])";

class SavedForOtherEntries : public Damaged {
protected:
    // A block laid out for `saved_form` holding the user's own values.
    EDITDATA* Saved() {
        Describe(saved_form);
        EDITDATA* block = Built();
        const Bytes text = TextBytes("user text");
        EXPECT_TRUE(Kvor::RewriteProperty(&services, block, 0, text.data(), uint32_t(text.size())));
        EXPECT_TRUE(Kvor::RewriteProperty(&services, block, 2, NumberBytes(42).data(), 4));
        EXPECT_TRUE(Kvor::SetPropertyCheck(&services, block, 1, true));
        EXPECT_EQ(Stored(block), Join({{0x02}, TextBytes("user text"), NumberBytes(42)}));
        calls.clear();
        return block;
    }
    bool WriteNumber(EDITDATA*& block, uint32_t index, uint32_t number) {
        return Kvor::RewriteProperty(&services, block, index, NumberBytes(number).data(), 4);
    }
};

TEST_F(SavedForOtherEntries, AGrownDescriptionReadsTheSavedValuesAndTheAddedDefaults) {
    EDITDATA* block = Saved();
    Describe(grown_form);
    const Bytes before = Whole(block);
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 0)), "user text");
    EXPECT_TRUE(Kvor::GetPropertyCheck(block, 1));
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 2)), 42u);
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 3)), "added");
    EXPECT_TRUE(Kvor::GetPropertyCheck(block, 3));
    EXPECT_TRUE(Kvor::GetPropertyCheck(block, 4));
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 5)), 1u);
    uint32_t size = 0xAAAA;
    EXPECT_EQ(Kvor::PropIndex(block, 3, size), nullptr);  // not in the block yet
    EXPECT_EQ(size, 0xAAAAu);
    EXPECT_EQ(Whole(block), before);
    EXPECT_TRUE(calls.empty());
    ExpectBoxes({});
}

// A value or a box: either first write lays the block out for the current
// entries, with the saved values and the added defaults; later writes are
// in place again.
TEST_F(SavedForOtherEntries, TheFirstWriteLaysAGrownBlockOutAfresh) {
    for (bool box : {false, true}) {
        SCOPED_TRACE(box ? "box" : "value");
        EDITDATA* block = Saved();
        Describe(grown_form);
        EXPECT_TRUE(box ? Kvor::SetPropertyCheck(&services, block, 4, false)
                        : WriteNumber(block, 2, 7));
        EXPECT_EQ(Stored(block), Join({{uint8_t(box ? 0x0A : 0x1A)},
                                       TextBytes("user text"),
                                       NumberBytes(box ? 42 : 7),
                                       TextBytes("added"),
                                       NumberBytes(1)}));
        EXPECT_EQ(block->Tovrandi_Prop_Size, block->Header.size);
        EXPECT_EQ(calls.size(), 1u);
        calls.clear();
        EXPECT_TRUE(WriteNumber(block, 5, 0));
        EXPECT_TRUE(calls.empty());
        ExpectBoxes({});
    }
}

TEST_F(SavedForOtherEntries, AShrunkDescriptionKeepsTheRemainingValues) {
    EDITDATA* block = Saved();
    Describe(shrunk_form);
    const Bytes before = Whole(block);
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 0)), "user text");
    EXPECT_TRUE(Kvor::GetPropertyCheck(block, 1));
    EXPECT_EQ(Whole(block), before);
    EXPECT_TRUE(calls.empty());
    // The first write leaves the removed entry's value out.
    const Bytes text = TextBytes("user text");
    EXPECT_TRUE(Kvor::RewriteProperty(&services, block, 0, text.data(), uint32_t(text.size())));
    EXPECT_EQ(Stored(block), Join({{0x02}, TextBytes("user text")}));
    EXPECT_EQ(block->Tovrandi_Prop_Size, block->Header.size);
    ExpectBoxes({});
}

// A colour keeps its 4 bytes in entry order, as a number does.
constexpr const char* with_colours = R"([
    {"Type": "Color", "DefaultState": 255},
    {"Type": "Editbox String", "DefaultState": "first"},
    {"Type": "Color", "DefaultState": 65280},
    {"Type": "Editbox Number", "DefaultState": 1}])";

TEST_F(SavedForOtherEntries, ColoursLieInEntryOrder) {
    Describe(with_colours);
    EDITDATA* block = Built();
    EXPECT_EQ(
        Stored(block),
        Join({{0x00}, NumberBytes(255), TextBytes("first"), NumberBytes(65280), NumberBytes(1)}));
    EXPECT_TRUE(WriteNumber(block, 2, 0x123456));
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 2)), 0x123456u);
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 0)), 255u);
    EXPECT_EQ(Kvor::StoredNumber(block, 2, 77), 0x123456u);
    // A text of a new length moves the later colour with the rest.
    const Bytes text = TextBytes("a longer text");
    EXPECT_TRUE(Kvor::RewriteProperty(&services, block, 1, text.data(), uint32_t(text.size())));
    EXPECT_EQ(Stored(block), Join({{0x00},
                                   NumberBytes(255),
                                   TextBytes("a longer text"),
                                   NumberBytes(0x123456),
                                   NumberBytes(1)}));
    // Removing the last entry leaves every colour its value.
    Describe(R"([{"Type": "Color", "DefaultState": 255},
                 {"Type": "Editbox String", "DefaultState": "first"},
                 {"Type": "Color", "DefaultState": 65280}])");
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 2)), 0x123456u);
    ExpectBoxes({});
}

TEST_F(SavedForOtherEntries, AnEntryAddedAfterAColourLeavesTheColourItsValue) {
    constexpr const char* number_and_colour = R"([
        {"Type": "Editbox Number", "DefaultState": 1},
        {"Type": "Color", "DefaultState": 255}])";
    Describe(number_and_colour);
    EDITDATA* block = Built();
    ASSERT_TRUE(WriteNumber(block, 0, 42));
    ASSERT_TRUE(WriteNumber(block, 1, 0x123456));
    const std::string grown =
        std::string(number_and_colour).substr(0, std::string(number_and_colour).rfind(']')) +
        R"(, {"Type": "Editbox Number", "DefaultState": 9}])";
    Describe(grown.c_str());
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 0)), 42u);
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 1)), 0x123456u);
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 2)), 9u);
    EXPECT_EQ(Kvor::StoredNumber(block, 2, 77), 9u);  // at run time as on the sheet
    EXPECT_TRUE(WriteNumber(block, 2, 10));
    EXPECT_EQ(Stored(block),
              Join({{0x00}, NumberBytes(42), NumberBytes(0x123456), NumberBytes(10)}));
    ExpectBoxes({});
}

// A damaged block has no place for its colours: writing one is refused
// inside the block instead of landing past its stored values.
TEST_F(Damaged, AColourInADamagedBlockIsNotWrittenPastTheValues) {
    Describe(R"([
        {"Type": "Editbox String", "DefaultState": "abc"},
        {"Type": "Color", "DefaultState": 255},
        {"Type": "Color", "DefaultState": 65280}])");
    EDITDATA* block = Built();
    // The text loses its NUL and the storage ends there.
    block->Tovrandi_Prop_Size = 28 + 1 + 3;
    const Bytes before = Whole(block);
    EXPECT_FALSE(Kvor::RewriteProperty(&services, block, 2, NumberBytes(7).data(), 4));
    EXPECT_EQ(Whole(block), before);
    ExpectBoxes({text_past_end});
}

// Eight entries need one check byte, nine two: the saved values lie one
// byte earlier than the grown description lays them out, which only the
// layout record tells (without it the text would fit, one letter short).
TEST_F(SavedForOtherEntries, GrowingPastEightEntriesAddsACheckByte) {
    record = true;
    std::string eight = "[";
    for (int i = 0; i < 7; ++i) eight += R"({"Type": "Checkbox", "DefaultState": false}, )";
    eight += R"({"Type": "Editbox String", "DefaultState": "v"})";
    Describe(eight + "]");
    EDITDATA* block = Built();
    const Bytes mine = TextBytes("mine");
    ASSERT_TRUE(Kvor::RewriteProperty(&services, block, 7, mine.data(), uint32_t(mine.size())));
    ASSERT_TRUE(Kvor::SetPropertyCheck(&services, block, 6, true));
    Describe(eight + R"(, {"Type": "Checkbox", "DefaultState": true}])");
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 7)), "mine");
    EXPECT_TRUE(Kvor::GetPropertyCheck(block, 6));
    EXPECT_TRUE(Kvor::GetPropertyCheck(block, 8));
    EXPECT_TRUE(Kvor::SetPropertyCheck(&services, block, 8, false));
    std::vector<Kvor::StoredKind> kinds(9, Kvor::StoredKind::nothing);
    kinds[7] = Kvor::StoredKind::text;
    EXPECT_EQ(Stored(block), WithRecord(Join({{0x40, 0x00}, TextBytes("mine")}), kinds));
    ExpectBoxes({});
}

// Without a record, entries that store nothing make several entry counts
// fit a block saved before they were added. Where those readings differ (a
// box that starts ticked), none is chosen: the block is damaged.
TEST_F(Damaged, AnAppendedTickedBoxWithoutARecordIsNotGuessed) {
    Describe(R"([{"Type": "Editbox String", "DefaultState": "a"}])");
    EDITDATA* block = Built();
    Describe(R"([{"Type": "Editbox String", "DefaultState": "a"},
                 {"Type": "Checkbox", "DefaultState": true},
                 {"Type": "Editbox Number", "DefaultState": 1}])");
    ExpectRefused(
        block, 0,
        unit_support::Shown(message::properties_damaged, message::damage_layout_ambiguous));
    // With an unticked box the two readings are one: the block is read.
    Describe(R"([{"Type": "Editbox String", "DefaultState": "a"},
                 {"Type": "Checkbox", "DefaultState": false},
                 {"Type": "Editbox Number", "DefaultState": 1}])");
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 0)), "a");
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 2)), 1u);
    ExpectBoxes({});
}

TEST_F(SavedForOtherEntries, WhenTheHostRefusesTheNewLayoutTheBlockStaysAsSaved) {
    EDITDATA* block = Saved();
    Describe(grown_form);
    const Bytes before = Whole(block);
    refuse_resize = true;
    EXPECT_FALSE(WriteNumber(block, 2, 7));
    EXPECT_FALSE(Kvor::SetPropertyCheck(&services, block, 1, false));
    EXPECT_EQ(Whole(block), before);
    const Box refused = unit_support::Shown(Kvor::message::rewrite_resize_refused);
    ExpectBoxes({refused, refused});
}

}  // namespace
}  // namespace storage_test
