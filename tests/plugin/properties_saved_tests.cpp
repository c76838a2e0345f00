// Saved projects through the property exports: the host's header word,
// boxes ticked before the sheet opened, a block saved before the description
// grew, a refused resize, and a saved block read back in a fresh process.
#include "properties_fixture.h"

using namespace lumbra_test;

namespace {

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
    lumbra_test::ExpectShown(Boxes()[0],
                             lumbra_test::Shown(Kvor::message::properties_damaged,
                                                Kvor::message::damage_size_beyond_block));
    ExpectNoFaults();
}

// Boxes and values reached before the sheet was ever opened: a read
// answers the default and changes nothing; a tick or a value lays the
// storage out, as opening the sheet would, and is kept. Nothing is shown.
TEST_F(SheetExports, BoxesAndValuesBeforeTheSheetWasOpenedLoseNothing) {
    Start(R"({"Identifier": "TEST", "UK English": {"About": {"Name": "Sheet"}, "Properties": [
        {"Type": "Checkbox", "DefaultState": true},
        {"Type": "Editbox String", "DefaultState": "abc"}]}})");
    for (const bool value : {false, true}) {
        SCOPED_TRACE(value ? "value" : "box");
        block = host.edit_data().create(28, 0x524D424C);
        host.clear_calls();
        const Bytes before = Whole();
        EXPECT_EQ(GetCheck(Id(0)), 1u);
        EXPECT_EQ(GetCheck(Id(1)), 0u);
        EXPECT_EQ(Whole(), before);
        EXPECT_TRUE(host.service_calls().empty());
        HostValue text(plenar::prop_class_wstr, {.pointer = L"xyz"});
        if (value)
            Set(Id(1), text);
        else
            SetCheck(Id(1), 1);
        const Bytes laid_out =
            Join({{uint8_t(value ? 0x01 : 0x03)}, TextBytes(value ? "xyz" : "abc")});
        EXPECT_EQ(Stored(), laid_out);
        EXPECT_EQ(Calls(plenar::service_edit_data_notice), 1u);
        EXPECT_EQ(GetCheck(Id(1)), value ? 0u : 1u);
        OpenSheet();
        EXPECT_EQ(Stored(), laid_out);
        EXPECT_TRUE(Boxes().empty());
        ExpectNoFaults();
    }
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
    EXPECT_EQ(Stored(), Join({{0x01},
                              TextBytes("mine"),
                              NumberBytes(3),
                              NumberBytes(1),
                              TextBytes("tail"),
                              NumberBytes(77)}));
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
    const plenar::sim::ProcessRun run = plenar::sim::run_process(
        plenar::sim::own_program(), {L"--gtest_filter=" + filter, L"--gtest_brief=1"});
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
    EXPECT_EQ(GetText(Id(name)),
              "Gr\xc3\xbc\xc3\x9f"
              "e aus Lumbra");
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
