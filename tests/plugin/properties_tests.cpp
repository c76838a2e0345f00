// The property sheet through the real exports, as the host's editor drives
// it: opening the sheet builds the storage in a block the host moves, values
// of every host class are written and read back, identifiers wrap, and every
// export is safe on odd input.
#include "properties_fixture.h"

using namespace lumbra_test;

namespace {

TEST_F(SheetExports, OpeningTheSheetInsertsTheDescriptorsAndBuildsTheStorage) {
    Start();
    void* created = block;
    OpenSheet();
    const auto& calls = host.service_calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].code, plenar::service_insert_properties);
    EXPECT_EQ(calls[0].edit_data, created);
    EXPECT_NE(calls[0].a, 0);
    EXPECT_EQ(calls[0].b, 1);
    EXPECT_EQ(calls[0].c, 1);
    const auto* descriptors = reinterpret_cast<const plenar::PropertyDescriptor*>(calls[0].a);
    EXPECT_EQ(descriptors[0].id, Id(0));
    EXPECT_EQ(calls[1].code, plenar::service_resize_edit_data);
    EXPECT_NE(block, created);  // the simulator always moves a resized block
    // The notice names the block the host now holds.
    EXPECT_EQ(calls[2].code, plenar::service_edit_data_notice);
    EXPECT_EQ(calls[2].edit_data, block);
    EXPECT_EQ(Stored(), sheet_defaults);
    EXPECT_EQ(PropSize(), host.edit_data().size(block));
    EXPECT_TRUE(Boxes().empty());
    ExpectNoFaults();
}

TEST_F(SheetExports, OpeningItAgainInsertsTheDescriptorsButKeepsTheStorage) {
    Start();
    OpenSheet();
    void* built = block;
    host.clear_calls();
    OpenSheet();
    EXPECT_EQ(block, built);
    EXPECT_EQ(Calls(plenar::service_insert_properties), 1u);
    EXPECT_EQ(Calls(plenar::service_resize_edit_data), 0u);
    EXPECT_EQ(Calls(plenar::service_edit_data_notice), 0u);
    EXPECT_EQ(Stored(), sheet_defaults);
}

TEST_F(SheetExports, TheDefaultsReadBackAsTheHostsValues) {
    Start();
    OpenSheet();
    EXPECT_EQ(GetText(Id(name)), "abc");
    EXPECT_EQ(GetNumber(Id(count)), 5u);
    EXPECT_EQ(GetNumber(Id(choice)), 1u);
    EXPECT_EQ(GetText(Id(tail)), "tail");
    EXPECT_EQ(Get(Id(ticked)), nullptr);
    EXPECT_EQ(Get(Id(group)), nullptr);
    EXPECT_TRUE(Boxes().empty());
    ExpectNoFaults();
}

const char ansi_text[] = "ansi text";

struct ClassCase {
    const char* label;
    uint32_t class_id;
    uint32_t index;
    HostData data;
    Bytes stored;  // the storage after the write; empty: unchanged
    std::optional<lumbra_test::ShownMessage> box = {};  // the one message expected, if any
};

class HostClasses : public SheetExports, public ::testing::WithParamInterface<ClassCase> {};

TEST_P(HostClasses, EachClassStoresItsBytesOrIsRefused) {
    const ClassCase& c = GetParam();
    Start();
    OpenSheet();
    const Bytes before = Stored();
    HostValue value(c.class_id, c.data);
    Set(Id(c.index), value);
    EXPECT_EQ(value.class_asks(), 1);
    EXPECT_EQ(Stored(), c.stored.empty() ? before : c.stored);
    EXPECT_EQ(PropSize(), host.edit_data().size(block));
    if (c.box) {
        ASSERT_EQ(Boxes().size(), 1u);
        lumbra_test::ExpectShown(Boxes()[0], *c.box);
    } else {
        EXPECT_TRUE(Boxes().empty()) << Boxes()[0].text;
    }
    ExpectNoFaults();
}

const lumbra_test::ShownMessage wrong_width =
    lumbra_test::Shown(Kvor::message::number_value_width, 8u);

INSTANTIATE_TEST_SUITE_P(
    Classes, HostClasses,
    ::testing::Values(
        ClassCase{"Int",
                  plenar::prop_class_int,
                  count,
                  {.number = uint32_t(-7)},
                  Join({{0x00},
                        TextBytes("abc"),
                        NumberBytes(uint32_t(-7)),
                        NumberBytes(1),
                        TextBytes("tail")})},
        ClassCase{
            "Dword",
            plenar::prop_class_dword,
            choice,
            {.number = 2},
            Join({{0x00}, TextBytes("abc"), NumberBytes(5), NumberBytes(2), TextBytes("tail")})},
        ClassCase{"Float",
                  plenar::prop_class_float,
                  count,
                  {.number = 0x3FC00000},
                  Join({{0x00},
                        TextBytes("abc"),
                        NumberBytes(0x3FC00000),
                        NumberBytes(1),
                        TextBytes("tail")})},
        ClassCase{"Double", plenar::prop_class_double, count, {.real = 1.5}, {}, wrong_width},
        ClassCase{
            "Int2", plenar::prop_class_int2, choice, {.first = 1, .second = 2}, {}, wrong_width},
        ClassCase{
            "Size", plenar::prop_class_size, count, {.first = 3, .second = 4}, {}, wrong_width},
        ClassCase{"WideText",
                  plenar::prop_class_wstr,
                  tail,
                  {.pointer = wide_long},
                  Join({{0x00},
                        TextBytes("abc"),
                        NumberBytes(5),
                        NumberBytes(1),
                        TextBytes("a longer name")})},
        ClassCase{
            "WideTextInPlace",
            plenar::prop_class_wstr,
            name,
            {.pointer = L"xyz"},
            Join({{0x00}, TextBytes("xyz"), NumberBytes(5), NumberBytes(1), TextBytes("tail")})},
        ClassCase{"AnsiText",
                  plenar::prop_class_astr,
                  name,
                  {.pointer = ansi_text},
                  Join({{0x00},
                        TextBytes("ansi text"),
                        NumberBytes(5),
                        NumberBytes(1),
                        TextBytes("tail")})},
        ClassCase{
            "DataText",
            plenar::prop_class_data,
            name,
            {.pointer = L"data"},
            Join({{0x00}, TextBytes("data"), NumberBytes(5), NumberBytes(1), TextBytes("tail")})},
        ClassCase{"DataShort",
                  plenar::prop_class_data,
                  tail,
                  {.pointer = L"t"},
                  Join({{0x00}, TextBytes("abc"), NumberBytes(5), NumberBytes(1), TextBytes("t")})},
        ClassCase{"DataOnNumber",
                  plenar::prop_class_data,
                  count,
                  {.pointer = wide_abc},
                  {},
                  lumbra_test::Shown(Kvor::message::data_value_on_number)},
        ClassCase{
            "FourBytesOfTextOnNumber",
            plenar::prop_class_wstr,
            count,
            {.pointer = wide_abc},
            Join({{0x00}, TextBytes("abc"), TextBytes("abc"), NumberBytes(1), TextBytes("tail")})},
        ClassCase{"Custom",
                  0x43555354,
                  name,
                  {},
                  {},
                  lumbra_test::Shown(Kvor::message::custom_value_class)}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(SheetExports, ATextOnANumberIsRefusedUnlessItsBytesAreFour) {
    Start();
    OpenSheet();
    const Bytes before = Stored();
    HostValue five(plenar::prop_class_wstr, {.pointer = L"abcd"});  // 5 bytes with its NUL
    Set(Id(count), five);
    EXPECT_EQ(Stored(), before);
    ASSERT_EQ(Boxes().size(), 1u);
    lumbra_test::ExpectShown(Boxes()[0], lumbra_test::Shown(Kvor::message::number_value_width, 5u));
}

TEST_F(SheetExports, TheClassIsAskedForEvenWhenTheIdentifierIsOutOfRange) {
    Start();
    OpenSheet();
    const Bytes before = Whole();
    HostValue value(plenar::prop_class_dword, {.number = 1});
    Set(plenar::property_folder_end_id, value);
    Set(Id(999), value);
    EXPECT_EQ(value.class_asks(), 2);
    EXPECT_EQ(Whole(), before);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SheetExports, IdentifiersWrapEveryThousand) {
    Start();
    OpenSheet();
    EXPECT_EQ(GetText(Id(1000 + name)), "abc");
    EXPECT_EQ(GetNumber(Id(3000 + count)), 5u);
    HostValue value(plenar::prop_class_dword, {.number = 2});
    Set(Id(2000 + choice), value);
    EXPECT_EQ(GetNumber(Id(choice)), 2u);
    SetCheck(Id(1000 + ticked), 1);
    EXPECT_EQ(GetCheck(Id(ticked)), 1u);
}

TEST_F(SheetExports, TheFolderEndIdentifierIsIndex295AndAnswersNothingHere) {
    Start();
    OpenSheet();
    const Bytes before = Whole();
    EXPECT_EQ(Get(plenar::property_folder_end_id), nullptr);
    EXPECT_EQ(GetCheck(plenar::property_folder_end_id), 0u);
    SetCheck(plenar::property_folder_end_id, 1);
    EXPECT_EQ(Whole(), before);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SheetExports, TheFolderEndIdentifierReachesProperty295WhenThereIsOne) {
    std::string properties;
    for (int i = 0; i < 296; ++i)
        properties += std::string(i ? ", " : "") +
                      (i == 295 ? R"({"Type": "Editbox Number", "DefaultState": 42})"
                                : R"({"Type": "Checkbox", "DefaultState": false})");
    Start(R"({"Identifier": "TEST", "UK English": {"About": {"Name": "Many"}, "Properties": [)" +
          properties + "]}}");
    OpenSheet();
    EXPECT_EQ(GetNumber(plenar::property_folder_end_id), 42u);
    SetCheck(Id(294), 1);
    EXPECT_EQ(GetCheck(Id(294)), 1u);
    EXPECT_EQ(GetCheck(plenar::property_folder_end_id), 0u);
}

TEST_F(SheetExports, CheckStatesAreAnyNonzeroState) {
    Start();
    OpenSheet();
    EXPECT_EQ(GetCheck(Id(ticked)), 0u);
    SetCheck(Id(ticked), 7);
    EXPECT_EQ(GetCheck(Id(ticked)), 1u);
    EXPECT_EQ(Stored()[0], 0x01);
    SetCheck(Id(tail), -1);
    EXPECT_EQ(Stored()[0], 0x11);
    SetCheck(Id(ticked), 0);
    EXPECT_EQ(GetCheck(Id(ticked)), 0u);
    EXPECT_EQ(Stored()[0], 0x10);
}

TEST_F(SheetExports, ReturnedValuesAnswerEverySlotInTheHostsOrder) {
    Start();
    OpenSheet();
    void* text = Get(Id(name));
    void* number = Get(Id(count));
    ASSERT_NE(text, nullptr);
    ASSERT_NE(number, nullptr);
    ValueSlots text_slots(text), number_slots(number);
    EXPECT_EQ(text_slots.Call(4), uint32_t(plenar::prop_class_wstr));
    EXPECT_EQ(number_slots.Call(4), uint32_t(plenar::prop_class_dword));
    // Slot 2 copies, slot 3 compares.
    void* text_copy = reinterpret_cast<void*>(text_slots.Call(2));
    void* number_copy = reinterpret_cast<void*>(number_slots.Call(2));
    ASSERT_NE(text_copy, nullptr);
    ASSERT_NE(number_copy, nullptr);
    EXPECT_EQ(text_slots.Call(3, {Pointer(text_copy)}), 1u);
    EXPECT_EQ(number_slots.Call(3, {Pointer(number_copy)}), 1u);
    HostValue other_number(plenar::prop_class_dword, {.number = 6});
    EXPECT_EQ(number_slots.Call(3, {Pointer(&other_number)}), 0u);
    HostValue other_text(plenar::prop_class_wstr, {.pointer = L"abd"});
    EXPECT_EQ(text_slots.Call(3, {Pointer(&other_text)}), 0u);
    // Slot 5 copies into a value of the same class.
    HostValue target(plenar::prop_class_dword, {.number = 0});
    EXPECT_EQ(number_slots.Call(5, {Pointer(&target)}), 1u);
    EXPECT_EQ(target.number(), 5u);
    void* other_name = Get(Id(tail));
    EXPECT_EQ(text_slots.Call(5, {Pointer(other_name)}), 1u);
    EXPECT_EQ(utf8_from_wide(TextOf(other_name)), "abc");
    EXPECT_EQ(text_slots.Call(5, {Pointer(&other_text)}), 0u);
    // Slot 0 with bit 0 and slot 1 both free a value.
    ValueSlots(other_name).Call(0, {1});
    ValueSlots(text_copy).Call(0, {1});
    ValueSlots(number_copy).Call(1);
    text_slots.Call(1);
    number_slots.Call(1);
}

TEST_F(SheetExports, EveryExportIsSafeWithoutEditData) {
    Start();
    HostValue value(plenar::prop_class_dword, {.number = 1});
    EXPECT_EQ(Call("GetProperties", host.services(), nullptr, 0), 0u);
    EXPECT_EQ(Call("GetPropValue", host.services(), nullptr, Id(count)), 0u);
    EXPECT_EQ(Call("GetPropCheck", host.services(), nullptr, Id(ticked)), 0u);
    Call("SetPropValue", host.services(), nullptr, Id(count),
         static_cast<plenar::PropValue*>(&value));
    Call("SetPropCheck", host.services(), nullptr, Id(ticked), 1);
    Call("ReleaseProperties", host.services(), nullptr, 0);
    Call("SetPropValue", host.services(), block, Id(count),
         static_cast<plenar::PropValue*>(nullptr));
    EXPECT_TRUE(host.service_calls().empty());
    EXPECT_TRUE(Boxes().empty());
    ExpectNoFaults();
}

TEST_F(SheetExports, EveryExportIsSafeBeforeInitialize) {
    folder.write_file(L"Lumbra.json", sheet);
    PlaceAndLoad();
    block = host.edit_data().create(28);
    const Bytes before = Whole();
    HostValue value(plenar::prop_class_dword, {.number = 1});
    EXPECT_EQ(Call("GetProperties", host.services(), block, 0), 0u);
    EXPECT_EQ(Call("GetPropValue", host.services(), block, Id(count)), 0u);
    EXPECT_EQ(Call("GetPropCheck", host.services(), block, Id(ticked)), 0u);
    Set(Id(count), value);
    SetCheck(Id(ticked), 1);
    Call("ReleaseProperties", host.services(), block, 0);
    EXPECT_EQ(Whole(), before);
    EXPECT_TRUE(host.service_calls().empty());
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
