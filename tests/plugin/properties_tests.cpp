// The property sheet through the real exports, as the host's editor drives
// it: opening the sheet builds the storage in a block the host moves, values
// of every host class are written and read back, identifiers wrap, and a
// block saved to a file reads back the same in a fresh process.
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "plugin_fixture.h"

using lumbra_test::PluginCase;
using plenar::sim::checked_call;
using plenar::sim::Convention;
using plenar::sim::utf8_from_wide;

namespace {

constexpr const char* sheet = R"({"Identifier": "TEST", "UK English": {
    "About": {"Name": "Sheet"},
    "Properties": [
        {"Title": "Ticked", "Type": "Checkbox", "DefaultState": false},
        {"Title": "Name", "Type": "Editbox String", "DefaultState": "abc"},
        {"Title": "Count", "Type": "Editbox Number", "DefaultState": 5},
        {"Title": "Choice", "Type": "Combo Box", "Items": ["a", "b", "c"], "DefaultState": "b"},
        {"Title": "Tail", "Type": "Editbox String", "DefaultState": "tail"},
        {"Title": "Group", "Type": "Folder"},
        {"Type": "FolderEnd"}]}})";

enum : uint32_t { ticked = 0, name = 1, count = 2, choice = 3, tail = 4, group = 5 };
constexpr uint32_t Id(uint32_t index) { return plenar::property_id_base + index; }

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) {
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

Bytes Number(uint32_t value) {
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

using plenar::sim::HostValue;
using HostData = plenar::sim::HostValueData;

plenar::Word Pointer(const void* pointer) { return plenar::sim::word(pointer); }

// The text a returned STRW value points to.
const wchar_t* TextOf(void* value) {
    return static_cast<const wchar_t*>(
        plenar::PropLayout<plenar::PropPointerLayout>(static_cast<plenar::PropValue*>(value)).data);
}

// The host's view of a returned value: the slots, called with the object in ECX.
class ValueSlots {
public:
    explicit ValueSlots(void* value) : value_(value) {}
    plenar::Word Call(int slot, std::initializer_list<plenar::Word> arguments = {}) {
        const void* const* table = *static_cast<const void* const* const*>(value_);
        std::vector<plenar::Word> words(arguments);
        auto result = checked_call(table[slot], words, Convention::thiscall, value_);
        result.bytes_expected = int32_t(4 * words.size());
        EXPECT_TRUE(result.balanced()) << "slot " << slot;
        return result.value;
    }

private:
    void* value_;
};

class SheetExports : public PluginCase {
protected:
    void Start(const std::string& description = sheet) {
        folder.write_file(L"Lumbra.json", description);
        PlaceAndLoad();
        ASSERT_EQ(Initialize(), 0);
        block = host.edit_data().create(28, 0x524D424C);
        Interception().clear();
        host.clear_calls();
    }
    static plenar::sim::Interception& Interception() {
        return plenar::sim::Interception::instance();
    }
    // Calls an export, checks its stack balance and follows the block the
    // host moved while the export ran.
    template <typename... A>
    plenar::Word Call(const char* name, A... arguments) {
        const size_t before = host.service_calls().size();
        auto result = plugin->call(name, arguments...);
        EXPECT_TRUE(result.balanced()) << name;
        for (size_t i = before; i < host.service_calls().size(); ++i) {
            const auto& call = host.service_calls()[i];
            if (call.code == plenar::service_resize_edit_data && call.result)
                block = reinterpret_cast<void*>(call.result);
        }
        return result.value;
    }
    void OpenSheet() { ASSERT_EQ(Call("GetProperties", host.services(), block, 0), 1u); }
    void Set(uint32_t id, HostValue& value) {
        Call("SetPropValue", host.services(), block, id, static_cast<plenar::PropValue*>(&value));
    }
    void* Get(uint32_t id) {
        return reinterpret_cast<void*>(Call("GetPropValue", host.services(), block, id));
    }
    // A value read back, freed through its slot 1 as the host frees it.
    std::string GetText(uint32_t id) {
        void* value = Get(id);
        if (!value) return "<null>";
        ValueSlots slots(value);
        EXPECT_EQ(slots.Call(4), uint32_t(plenar::prop_class_wstr));
        std::string converted = utf8_from_wide(TextOf(value));
        slots.Call(1);
        return converted;
    }
    uint32_t GetNumber(uint32_t id) {
        void* value = Get(id);
        if (!value) return 0xDEADBEEF;
        ValueSlots slots(value);
        EXPECT_EQ(slots.Call(4), uint32_t(plenar::prop_class_dword));
        const uint32_t number =
            plenar::PropLayout<plenar::PropNumberLayout>(static_cast<plenar::PropValue*>(value)).value;
        slots.Call(1);
        return number;
    }
    uint32_t GetCheck(uint32_t id) {
        return static_cast<uint32_t>(Call("GetPropCheck", host.services(), block, id));
    }
    void SetCheck(uint32_t id, int32_t state) {
        Call("SetPropCheck", host.services(), block, id, state);
    }
    const uint8_t* Data() const { return static_cast<const uint8_t*>(block); }
    uint32_t PropSize() const { return *reinterpret_cast<const uint32_t*>(Data() + 24); }
    Bytes Stored() const { return Bytes(Data() + 28, Data() + PropSize()); }
    Bytes Whole() { return Bytes(Data(), Data() + host.edit_data().length(block)); }
    size_t Calls(int32_t code) const { return host.count(code); }
    void ExpectNoFaults() {
        EXPECT_TRUE(host.faults().empty()) << host.faults().front();
        EXPECT_TRUE(plugin->faults().empty()) << plugin->faults().front();
    }

    void* block = nullptr;
};

const Bytes sheet_defaults = Join({{0x00}, Text("abc"), Number(5), Number(1), Text("tail")});

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

const wchar_t wide_abc[] = L"abc";
const wchar_t wide_long[] = L"a longer name";
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

const lumbra_test::ShownMessage wrong_width = lumbra_test::Shown(Kvor::message::number_value_width, 8u);

INSTANTIATE_TEST_SUITE_P(
    Classes, HostClasses,
    ::testing::Values(
        ClassCase{"Int", plenar::prop_class_int, count, {.number = uint32_t(-7)},
                  Join({{0x00}, Text("abc"), Number(uint32_t(-7)), Number(1), Text("tail")})},
        ClassCase{"Dword", plenar::prop_class_dword, choice, {.number = 2},
                  Join({{0x00}, Text("abc"), Number(5), Number(2), Text("tail")})},
        ClassCase{"Float", plenar::prop_class_float, count, {.number = 0x3FC00000},
                  Join({{0x00}, Text("abc"), Number(0x3FC00000), Number(1), Text("tail")})},
        ClassCase{"Double", plenar::prop_class_double, count, {.real = 1.5}, {}, wrong_width},
        ClassCase{"Int2", plenar::prop_class_int2, choice, {.first = 1, .second = 2}, {}, wrong_width},
        ClassCase{"Size", plenar::prop_class_size, count, {.first = 3, .second = 4}, {}, wrong_width},
        ClassCase{"WideText", plenar::prop_class_wstr, tail, {.pointer = wide_long},
                  Join({{0x00}, Text("abc"), Number(5), Number(1), Text("a longer name")})},
        ClassCase{"WideTextInPlace", plenar::prop_class_wstr, name, {.pointer = L"xyz"},
                  Join({{0x00}, Text("xyz"), Number(5), Number(1), Text("tail")})},
        ClassCase{"AnsiText", plenar::prop_class_astr, name, {.pointer = ansi_text},
                  Join({{0x00}, Text("ansi text"), Number(5), Number(1), Text("tail")})},
        ClassCase{"DataText", plenar::prop_class_data, name, {.pointer = L"data"},
                  Join({{0x00}, Text("data"), Number(5), Number(1), Text("tail")})},
        ClassCase{"DataShort", plenar::prop_class_data, tail, {.pointer = L"t"},
                  Join({{0x00}, Text("abc"), Number(5), Number(1), Text("t")})},
        ClassCase{"DataOnNumber", plenar::prop_class_data, count, {.pointer = wide_abc}, {},
                  lumbra_test::Shown(Kvor::message::data_value_on_number)},
        ClassCase{"FourBytesOfTextOnNumber", plenar::prop_class_wstr, count,
                  {.pointer = wide_abc},
                  Join({{0x00}, Text("abc"), Text("abc"), Number(1), Text("tail")})},
        ClassCase{"Custom", 0x43555354, name, {}, {}, lumbra_test::Shown(Kvor::message::custom_value_class)}),
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

// The host's header word says nothing of whether the storage was built: a
// word that cannot be the block's length leaves the saved values as they
// are, and one shorter than the storage is reported with the values kept.
TEST_F(SheetExports, TheHeaderWordNeverHasTheSavedValuesLaidOutAgain) {
    Start();
    OpenSheet();
    HostValue nine(plenar::prop_class_dword, {.number = 9});
    Set(Id(count), nine);
    SetCheck(Id(ticked), 1);
    const Bytes saved = Stored();
    for (uint32_t word : {0u, 20u, 27u}) {
        SCOPED_TRACE(word);
        plenar::sim::EditDataStore::header(block)->size = word;
        host.clear_calls();
        OpenSheet();
        EXPECT_EQ(Calls(plenar::service_resize_edit_data), 0u);
        EXPECT_EQ(Stored(), saved);
        EXPECT_EQ(GetNumber(Id(count)), 9u);
        EXPECT_EQ(GetCheck(Id(ticked)), 1u);
        EXPECT_TRUE(Boxes().empty());
    }
    plenar::sim::EditDataStore::header(block)->size = PropSize() - 1;
    OpenSheet();
    EXPECT_EQ(Get(Id(count)), nullptr);
    EXPECT_EQ(Stored(), saved);
    ASSERT_EQ(Boxes().size(), 1u);
    lumbra_test::ExpectShown(Boxes()[0], lumbra_test::Shown(Kvor::message::properties_damaged,
                                                           Kvor::message::damage_size_beyond_block));
    ExpectNoFaults();
}

// Boxes reached before the sheet was ever opened: a read answers the
// default and changes nothing; a tick lays the storage out, as opening the
// sheet would, and is kept. Nothing is shown.
TEST_F(SheetExports, BoxesBeforeTheSheetWasOpenedLoseNothing) {
    Start(R"({"Identifier": "TEST", "UK English": {"About": {"Name": "Sheet"}, "Properties": [
        {"Type": "Checkbox", "DefaultState": true},
        {"Type": "Editbox String", "DefaultState": "abc"}]}})");
    const Bytes before = Whole();
    EXPECT_EQ(GetCheck(Id(0)), 1u);
    EXPECT_EQ(GetCheck(Id(1)), 0u);
    EXPECT_EQ(Whole(), before);
    EXPECT_TRUE(host.service_calls().empty());
    SetCheck(Id(1), 1);
    EXPECT_EQ(Stored(), Join({{0x03}, Text("abc")}));
    EXPECT_EQ(Calls(plenar::service_edit_data_notice), 1u);
    EXPECT_EQ(GetCheck(Id(1)), 1u);
    OpenSheet();
    EXPECT_EQ(Stored(), Join({{0x03}, Text("abc")}));
    EXPECT_TRUE(Boxes().empty());
    ExpectNoFaults();
}

// A block saved with the sheet above, opened by a library whose description
// has gained an entry since: the saved values stay, the new entry reads its
// default, and the first change lays the block out for the new description.
TEST_F(SheetExports, ABlockSavedBeforeTheDescriptionGrewKeepsItsValues) {
    Start();
    OpenSheet();
    HostValue new_name(plenar::prop_class_wstr, {.pointer = L"mine"});
    Set(Id(name), new_name);
    SetCheck(Id(ticked), 1);
    const Bytes saved = Whole();

    std::string grown = sheet;
    grown.replace(grown.find(R"(        {"Type": "FolderEnd"}]}})"), std::string::npos,
                  R"(        {"Type": "FolderEnd"},
        {"Title": "Added", "Type": "Editbox Number", "DefaultState": 77}]}})");
    folder.write_file(L"Grown.json", grown);
    Load(Place(L"Grown.pvx"));
    ASSERT_EQ(Initialize(), 0);
    block = host.edit_data().create(uint32_t(saved.size()));
    std::memcpy(block, saved.data(), saved.size());
    host.clear_calls();
    OpenSheet();
    EXPECT_EQ(Calls(plenar::service_resize_edit_data), 0u);
    EXPECT_EQ(GetText(Id(name)), "mine");
    EXPECT_EQ(GetCheck(Id(ticked)), 1u);
    EXPECT_EQ(GetNumber(Id(7)), 77u);
    EXPECT_EQ(Whole(), saved);
    HostValue count_value(plenar::prop_class_int, {.number = 3});
    Set(Id(count), count_value);
    EXPECT_EQ(Stored(), Join({{0x01}, Text("mine"), Number(3), Number(1), Text("tail"), Number(77)}));
    EXPECT_EQ(PropSize(), host.edit_data().length(block));
    EXPECT_TRUE(Boxes().empty());
    ExpectNoFaults();
}

TEST_F(SheetExports, WhenTheHostRefusesToGrowATextTheBlockStays) {
    Start();
    OpenSheet();
    const Bytes before = Whole();
    void* kept = block;
    host.refuse_resize(true);
    HostValue value(plenar::prop_class_wstr, {.pointer = wide_long});
    Set(Id(name), value);
    EXPECT_EQ(block, kept);
    EXPECT_EQ(Whole(), before);
    ASSERT_EQ(Boxes().size(), 1u);
    lumbra_test::ExpectShown(Boxes()[0], lumbra_test::Shown(Kvor::message::rewrite_resize_refused));
}

// The round trip a user relies on: values set in the sheet, the block saved
// with the project, and the project opened again by a fresh process.
constexpr const wchar_t* saved_folder_variable = L"LUMBRA_SAVED_PROPERTIES";

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

DWORD RunSelf(const std::wstring& filter) {
    const plenar::sim::ProcessRun run =
        plenar::sim::run_process(plenar::sim::own_program(), {L"--gtest_filter=" + filter, L"--gtest_brief=1"});
    return run.started ? run.exit_code : 0xFFFFFFFF;
}

TEST_F(SheetExports, SavedValuesReadBackTheSameInAFreshProcess) {
    Start();
    OpenSheet();
    HostValue new_name(plenar::prop_class_wstr, {.pointer = L"Gr\u00fc\u00dfe aus Lumbra"});
    HostValue new_count(plenar::prop_class_int, {.number = uint32_t(-12345)});
    HostValue new_choice(plenar::prop_class_dword, {.number = 2});
    HostValue new_tail(plenar::prop_class_astr, {.pointer = "t"});
    Set(Id(name), new_name);
    Set(Id(count), new_count);
    Set(Id(choice), new_choice);
    Set(Id(tail), new_tail);
    SetCheck(Id(ticked), 1);
    ASSERT_TRUE(Boxes().empty());
    const Bytes saved = Whole();
    folder.write_file(L"saved.bin", std::string(saved.begin(), saved.end()));

    ASSERT_TRUE(SetEnvironmentVariableW(saved_folder_variable, folder.path().c_str()));
    const DWORD result = RunSelf(L"SheetExports.ASavedBlockReadsBack");
    SetEnvironmentVariableW(saved_folder_variable, nullptr);
    EXPECT_EQ(result, 0u) << "the fresh process did not read the saved values back";
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder.file(L"read back"))))
        << "the fresh process did not run its case";
}

// Run by the case above in a process of its own; skipped on its own.
TEST_F(SheetExports, ASavedBlockReadsBack) {
    const std::wstring saved_folder = Environment(saved_folder_variable);
    if (saved_folder.empty())
        GTEST_SKIP() << "started by SavedValuesReadBackTheSameInAFreshProcess";
    Load(saved_folder + L"\\Lumbra.pvx");
    ASSERT_EQ(Initialize(), 0);
    std::ifstream file(std::filesystem::path(saved_folder + L"\\saved.bin"), std::ios::binary);
    const Bytes saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GE(saved.size(), 28u);
    block = host.edit_data().create(uint32_t(saved.size()));
    std::memcpy(block, saved.data(), saved.size());
    EXPECT_EQ(Call("LoadObject", host.services(), nullptr, block, 0), 0u);
    EXPECT_EQ(GetText(Id(name)), "Gr\xc3\xbc\xc3\x9f" "e aus Lumbra");
    EXPECT_EQ(GetNumber(Id(count)), uint32_t(-12345));
    EXPECT_EQ(GetNumber(Id(choice)), 2u);
    EXPECT_EQ(GetText(Id(tail)), "t");
    EXPECT_EQ(GetCheck(Id(ticked)), 1u);
    // Opening the sheet again keeps what was saved.
    OpenSheet();
    EXPECT_EQ(Calls(plenar::service_resize_edit_data), 0u);
    EXPECT_EQ(Whole(), saved);
    EXPECT_TRUE(Boxes().empty());
    ExpectNoFaults();
    if (!HasFailure()) std::ofstream(std::filesystem::path(saved_folder + L"\\read back"));
}

}  // namespace
