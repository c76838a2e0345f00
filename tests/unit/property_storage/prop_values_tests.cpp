// The value objects as the host uses them: every slot called through the
// class pointer's table with the object in ECX, in the host's slot order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "properties/value_objects.h"

namespace {

using Kvor::Prop_UInt;
using Kvor::Prop_WStr;
using Kvor::WideChar;
using Kvor::WideString;

// The host's view of a value's class table.
struct Slots {
    void(PLENAR_THISCALL* destroy)(void* self, uint32_t flags);
    void(PLENAR_THISCALL* remove)(void* self);
    void*(PLENAR_THISCALL* create_copy)(void* self);
    int32_t(PLENAR_THISCALL* is_equal)(void* self, void* other);
    uint32_t(PLENAR_THISCALL* class_id)(void* self);
    int32_t(PLENAR_THISCALL* copy_into)(void* self, void* target);
};

const Slots& SlotsOf(void* value) { return **static_cast<Slots**>(value); }

// Data word 1, where the host reads a DWRD's value and keeps a STRW's first word.
uint32_t FirstWord(void* value) {
    return plenar::PropLayout<plenar::PropNumberLayout>(static_cast<plenar::PropValue*>(value))
        .value;
}

// Data word 2 of a STRW: its text.
const WideChar* TextWord(void* value) {
    return static_cast<const WideChar*>(
        plenar::PropLayout<plenar::PropPointerLayout>(static_cast<plenar::PropValue*>(value)).data);
}

// A host value of another class with a STRW-like layout: its text is the host's.
struct HostText {
    const void* table;
    uint32_t first = 0x11111111;
    const WideChar* text;
};

TEST(PropValueSlots, UIntAnswersItsClassAndKeepsItsValueInTheFirstDataWord) {
    void* value = new Prop_UInt(0x12345678);
    EXPECT_EQ(FirstWord(value), 0x12345678u);
    EXPECT_EQ(SlotsOf(value).class_id(value), 0x44575244u);  // DWRD
    SlotsOf(value).remove(value);
}

TEST(PropValueSlots, UIntCopiesCompareAndCopyIntoByValue) {
    void* value = new Prop_UInt(7);
    void* copy = SlotsOf(value).create_copy(value);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, value);
    EXPECT_EQ(FirstWord(copy), 7u);
    EXPECT_EQ(SlotsOf(value).is_equal(value, copy), 1);
    void* other = new Prop_UInt(8);
    EXPECT_EQ(SlotsOf(value).is_equal(value, other), 0);
    EXPECT_EQ(SlotsOf(value).is_equal(value, nullptr), 0);
    EXPECT_EQ(SlotsOf(value).copy_into(value, other), 1);
    EXPECT_EQ(FirstWord(other), 7u);
    EXPECT_EQ(SlotsOf(value).copy_into(value, nullptr), 0);
    SlotsOf(value).remove(value);
    SlotsOf(copy).destroy(copy, 1);
    SlotsOf(other).remove(other);
}

TEST(PropValueSlots, DestroyWithoutBitZeroEndsTheObjectButKeepsItsMemory) {
    void* memory = ::operator new(sizeof(Prop_WStr));
    void* value = new (memory) Prop_WStr(KVOR_WIDE("owned"));
    SlotsOf(value).destroy(value, 0);  // the text goes; the leak checker would see it stay
    ::operator delete(memory);
    memory = ::operator new(sizeof(Prop_UInt));
    value = new (memory) Prop_UInt(1);
    SlotsOf(value).destroy(value, 2);
    ::operator delete(memory);
}

TEST(PropValueSlots, WStrOwnsACopyOfItsText) {
    WideString source = KVOR_WIDE("Lumbra");
    void* value = new Prop_WStr(source.c_str());
    EXPECT_EQ(SlotsOf(value).class_id(value), 0x53545257u);  // STRW
    EXPECT_NE(TextWord(value), source.c_str());
    source[0] = 'X';
    EXPECT_EQ(WideString(TextWord(value)), KVOR_WIDE("Lumbra"));
    SlotsOf(value).remove(value);

    void* empty = new Prop_WStr(nullptr);
    ASSERT_NE(TextWord(empty), nullptr);
    EXPECT_EQ(TextWord(empty)[0], 0);
    SlotsOf(empty).remove(empty);
}

TEST(PropValueSlots, WStrCopiesGetTheirOwnText) {
    void* value = new Prop_WStr(KVOR_WIDE("abc"));
    void* copy = SlotsOf(value).create_copy(value);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(TextWord(copy), TextWord(value));
    EXPECT_EQ(WideString(TextWord(copy)), KVOR_WIDE("abc"));
    SlotsOf(value).remove(value);
    EXPECT_EQ(WideString(TextWord(copy)), KVOR_WIDE("abc"));
    SlotsOf(copy).remove(copy);
}

struct EqualCase {
    const WideChar* mine;
    const WideChar* theirs;
    int32_t equal;
};

class WStrEquality : public ::testing::TestWithParam<EqualCase> {};

TEST_P(WStrEquality, ComparesUnitByUnit) {
    void* value = new Prop_WStr(GetParam().mine);
    HostText other = {nullptr, 0, GetParam().theirs};
    EXPECT_EQ(SlotsOf(value).is_equal(value, &other), GetParam().equal);
    SlotsOf(value).remove(value);
}

INSTANTIATE_TEST_SUITE_P(Texts, WStrEquality,
                         ::testing::Values(EqualCase{KVOR_WIDE("abc"), KVOR_WIDE("abc"), 1},
                                           EqualCase{KVOR_WIDE("abc"), KVOR_WIDE("abd"), 0},
                                           EqualCase{KVOR_WIDE("abc"), KVOR_WIDE("ab"), 0},
                                           EqualCase{KVOR_WIDE("ab"), KVOR_WIDE("abc"), 0},
                                           EqualCase{KVOR_WIDE("abc"), KVOR_WIDE("ABC"), 0},
                                           EqualCase{KVOR_WIDE(""), KVOR_WIDE(""), 1},
                                           EqualCase{KVOR_WIDE("abc"), nullptr, 1}));

TEST(PropValueSlots, WStrEqualsItselfAndNothingElseThatIsNull) {
    void* value = new Prop_WStr(KVOR_WIDE("x"));
    EXPECT_EQ(SlotsOf(value).is_equal(value, value), 1);
    EXPECT_EQ(SlotsOf(value).is_equal(value, nullptr), 0);
    SlotsOf(value).remove(value);
}

TEST(PropValueSlots, WStrCopyIntoGivesAnotherWStrAFreshTextInPlaceOfItsOwn) {
    auto* value = new Prop_WStr(KVOR_WIDE("new text"));
    value->Reserved = 0xCAFE;
    void* target = new Prop_WStr(KVOR_WIDE("old"));
    EXPECT_EQ(SlotsOf(value).copy_into(value, target), 1);
    EXPECT_EQ(FirstWord(target), 0xCAFEu);
    EXPECT_NE(TextWord(target), value->Text);
    EXPECT_EQ(WideString(TextWord(target)), KVOR_WIDE("new text"));
    value->Delete();
    EXPECT_EQ(WideString(TextWord(target)), KVOR_WIDE("new text"));
    SlotsOf(target).remove(target);
}

TEST(PropValueSlots, WStrCopyIntoRefusesTargetsOfAnotherClass) {
    void* value = new Prop_WStr(KVOR_WIDE("mine"));
    void* number = new Prop_UInt(3);
    EXPECT_EQ(SlotsOf(value).copy_into(value, number), 0);
    EXPECT_EQ(FirstWord(number), 3u);
    const WideChar host_text[] = KVOR_WIDE("host's");
    HostText host = {&host, 0x11111111, host_text};
    EXPECT_EQ(SlotsOf(value).copy_into(value, &host), 0);
    EXPECT_EQ(host.text, host_text);
    EXPECT_EQ(host.first, 0x11111111u);
    EXPECT_EQ(SlotsOf(value).copy_into(value, nullptr), 0);
    EXPECT_EQ(SlotsOf(value).copy_into(value, value), 1);
    EXPECT_EQ(WideString(TextWord(value)), KVOR_WIDE("mine"));
    SlotsOf(value).remove(value);
    SlotsOf(number).remove(number);
}

}  // namespace
