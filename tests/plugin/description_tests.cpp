// Finding, reading and parsing the description through the real Initialize,
// with files laid out beside a fresh copy of the plug-in and beside the host.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "plugin_fixture.h"

using lumbra_test::Description;
using lumbra_test::PluginCase;
using plenar::sim::program_folder;

namespace {

class DescriptionLookup : public PluginCase {};

TEST_F(DescriptionLookup, WithoutFilesTheEmbeddedDescriptionIsRead) {
    PlaceAndLoad();
    EXPECT_EQ(Initialize(), 0);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(CurrentName(), "Lumbra");
    auto table =
        reinterpret_cast<const plenar::wchar* const*>(plugin->call("GetDependencies").value);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0], nullptr);  // nothing from disk to ship
}

TEST_F(DescriptionLookup, TheLanguageCodedFileComesBeforeThePlainOne) {
    folder.write_file(L"Lumbra.EN.json", Description("coded"));
    folder.write_file(L"Lumbra.json", Description("plain"));
    PlaceAndLoad();
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), "coded");
}

TEST_F(DescriptionLookup, APlainFileBesideTheLibraryIsReadAndListedAsDependency) {
    folder.write_file(L"Lumbra.json", Description("plain"));
    PlaceAndLoad();
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), "plain");
    auto table =
        reinterpret_cast<const plenar::wchar* const*>(plugin->call("GetDependencies").value);
    ASSERT_NE(table[0], nullptr);
    EXPECT_EQ(plenar::sim::utf8_from_wide(table[0]), "Lumbra.json");
    EXPECT_EQ(table[1], nullptr);
    // Built once: the same table again.
    EXPECT_EQ(plugin->call("GetDependencies").value, reinterpret_cast<uintptr_t>(table));
}

// Files beside the host (the test program) are named after the plug-in copy,
// so each case uses a name of its own and removes what it wrote.
class HostFolderFile {
public:
    explicit HostFolderFile(const std::wstring& relative, const std::string& text)
        : path_(program_folder() + L"\\" + relative) {
        std::filesystem::create_directories(std::filesystem::path(path_).parent_path());
        std::ofstream(std::filesystem::path(path_), std::ios::binary) << text;
    }
    ~HostFolderFile() { std::filesystem::remove(path_); }

private:
    std::wstring path_;
};

TEST_F(DescriptionLookup, TheHostFolderIsTriedAfterTheLibraryFolder) {
    HostFolderFile host_file(L"LookupHostFolder.json", Description("host folder"));
    Load(Place(L"LookupHostFolder.pvx"));
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), "host folder");
}

TEST_F(DescriptionLookup, TheHostsDataRuntimeFolderIsTriedLast) {
    HostFolderFile runtime_file(L"Data\\Runtime\\LookupRuntime.json", Description("runtime"));
    Load(Place(L"LookupRuntime.pvx"));
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), "runtime");
}

TEST_F(DescriptionLookup, ALanguageCodedFileAnywhereBeatsAPlainFileBesideTheLibrary) {
    HostFolderFile host_file(L"LookupCodedFirst.EN.json", Description("coded in host folder"));
    folder.write_file(L"LookupCodedFirst.json", Description("plain beside"));
    Load(Place(L"LookupCodedFirst.pvx"));
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), "coded in host folder");
}

TEST_F(DescriptionLookup, ASecondInitializeKeepsTheFirstObject) {
    std::wstring description = folder.write_file(L"Lumbra.json", Description("first"));
    PlaceAndLoad();
    EXPECT_EQ(Initialize(), 0);
    folder.write_file(L"Lumbra.json", Description("second"));
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), "first");
    // A broken file is reported by the later call, and the object stays.
    folder.write_file(L"Lumbra.json", "{");
    EXPECT_EQ(Initialize(), -1);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(CurrentName(), "first");
}

// What the host asks before a description was read, and after a failed
// Initialize, is answered for no description and forgotten: the first good
// Initialize brings the right size and dependencies.
TEST_F(DescriptionLookup, AnswersBeforeTheFirstGoodInitializeAreNotKept) {
    const std::string text37(37, 't');
    const std::string good = R"({"Identifier": "LMBR", "Dependencies": ["a.dll"], "UK English": {
        "About": {"Name": "good"},
        "Properties": [{"Type": "Checkbox", "DefaultState": false},
                       {"Type": "Editbox String", "DefaultState": ")" +
                             text37 + R"("}]}})";
    folder.write_file(L"Lumbra.json", "{");
    PlaceAndLoad();
    auto edit_data_size = [&] {
        plenar::RunObjectInfo info{};
        plugin->call("GetRunObjectInfos", host.services(), &info);
        return info.edit_data_size;
    };
    auto dependencies = [&] {
        std::vector<std::string> names;
        auto table =
            reinterpret_cast<const plenar::wchar* const*>(plugin->call("GetDependencies").value);
        for (; table && *table; ++table) names.push_back(plenar::sim::utf8_from_wide(*table));
        return names;
    };
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(edit_data_size(), 28) << attempt;
        EXPECT_EQ(dependencies(), std::vector<std::string>{}) << attempt;
        EXPECT_EQ(Initialize(), -1);  // the broken description
    }
    folder.write_file(L"Lumbra.json", good);
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(edit_data_size(), 28 + 1 + 37 + 1);
    EXPECT_EQ(dependencies(), (std::vector<std::string>{"Lumbra.json", "a.dll"}));
}

struct FailureCase {
    const char* name;
    const char* file_text;  // Lumbra.json beside the library; null: a folder of that name
    const char* text;       // the reader's message; null: the catalogue's text
    const Kvor::Message* message;
};

class DescriptionFailures : public PluginCase, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DescriptionFailures, AreReportedAndLeaveNoObject) {
    const FailureCase& c = GetParam();
    if (c.file_text)
        folder.write_file(L"Lumbra.json", c.file_text);
    else
        std::filesystem::create_directory(folder.file(L"Lumbra.json"));
    PlaceAndLoad();
    EXPECT_EQ(Initialize(), -1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, c.text ? c.text : c.message->text);
    EXPECT_EQ(Boxes()[0].caption, Kvor::MessageCaption(*c.message, "Lumbra"));
    EXPECT_EQ(Boxes()[0].style, c.message->style);
    EXPECT_FALSE(Boxes()[0].wide);
    EXPECT_EQ(Boxes()[0].owner, 0u);
    for (int which = 0; which < 5; ++which)
        EXPECT_EQ(ObjectInfo(which), "") << which;  // no SDK object answers
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DescriptionFailures,
    ::testing::Values(
        // Found but not readable: no fallback to the resource.
        FailureCase{"FolderInsteadOfFile", nullptr, nullptr, &Kvor::message::description_not_found},
        FailureCase{"NotJson", "{\n  \"Identifier\" \"LMBR\"\n}", "2:16: Expected : before \"",
                    &Kvor::message::description_not_json},
        FailureCase{"Empty", "", "1:0: Unexpected ", &Kvor::message::description_not_json},
        // The reader quotes a byte of what is not UTF-8 text; it is shown as it is.
        FailureCase{"ByteOrderMark", "\xEF\xBB\xBF{}",
                    "1:0: Unexpected \xC3\xAF when seeking value",
                    &Kvor::message::description_not_json},
        FailureCase{"UnclosedLineComment", "{} // end",
                    "Line 0, char 3: Opened // comment but no newline encountered.",
                    &Kvor::message::description_not_json}),
    [](const auto& info) { return std::string(info.param.name); });

// Removes every resource from a library file that is not loaded.
void RemoveResources(const std::wstring& library) {
    HANDLE update = BeginUpdateResourceW(library.c_str(), TRUE);
    ASSERT_NE(update, nullptr);
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
    HMODULE data = LoadLibraryExW(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(FindResourceW(data, MAKEINTRESOURCEW(102), L"KVOR"), nullptr);
    FreeLibrary(data);
}

TEST_F(DescriptionLookup, NoFileAndNoResourceGiveTwoReports) {
    std::wstring path = Place();
    RemoveResources(path);
    Load(path);
    EXPECT_EQ(Initialize(), -1);
    ASSERT_EQ(Boxes().size(), 2u);
    lumbra_test::ExpectShown(Boxes()[0],
                             lumbra_test::Shown(Kvor::message::resource_missing, "json", 102));
    EXPECT_TRUE(Boxes()[0].wide);
    lumbra_test::ExpectShown(Boxes()[1], lumbra_test::Shown(Kvor::message::description_not_found));
    EXPECT_FALSE(Boxes()[1].wide);
}

TEST_F(DescriptionLookup, CaptionsCarryTheLibrarysOwnName) {
    folder.write_file(L"Other.json", "[");
    Load(Place(L"Other.pvx"));
    EXPECT_EQ(Initialize(), -1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption,
              Kvor::MessageCaption(Kvor::message::description_not_json, "Other"));
    EXPECT_EQ(Boxes()[0].caption, "Other - Error parsing JSON");  // the library's own name
}

TEST_F(DescriptionLookup, ALanguageThatIsNotAnObjectIsReportedOnce) {
    folder.write_file(L"Lumbra.json", R"({"Identifier": "LMBR", "Dependencies": []})");
    PlaceAndLoad();
    EXPECT_EQ(Initialize(), 0);
    ASSERT_EQ(Boxes().size(), 1u);
    lumbra_test::ExpectShown(Boxes()[0], lumbra_test::Shown(Kvor::message::no_language));
}

const char* const two_languages =
    R"({"Identifier": "LMBR", "Dependencies": [],
        "UK English": {"About": {"Name": "english"}},
        "Deutsch": {"About": {"Name": "deutsch"}}})";

struct SettingsCase {
    const char* name;
    const char* ini;
    const char* chosen;
};

class SettingsFile : public PluginCase, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsFile, ChoosesTheLanguage) {
    folder.write_file(L"Lumbra.json", two_languages);
    folder.write_file(L"Tovrandi.ini", GetParam().ini);
    PlaceAndLoad();
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), GetParam().chosen);
    EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SettingsFile,
    ::testing::Values(SettingsCase{"CrLfWithBlanks",
                                   "[Tovrandi]\r\nLanguages = French; Deutsch\r\nX=1\r\n",
                                   "deutsch"},
                      SettingsCase{"LineFeedsEndTheList", "Languages=Deutsch\nX=1\n", "deutsch"},
                      SettingsCase{"NoMatch", "Languages=French\r\n", "english"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DescriptionLookup, SettingsWithoutTheKeyAreReported) {
    folder.write_file(L"Lumbra.json", two_languages);
    folder.write_file(L"Tovrandi.ini", "[Tovrandi]\r\n");
    PlaceAndLoad();
    EXPECT_EQ(Initialize(), 0);
    ASSERT_FALSE(Boxes().empty());
    lumbra_test::ExpectShown(Boxes()[0],
                             lumbra_test::Shown(Kvor::message::settings_without_languages));
}

TEST_F(DescriptionLookup, ALibraryInAUnicodeFolderReadsTheParentsSettings) {
    std::filesystem::create_directory(folder.file(L"Unicode"));
    folder.write_file(L"Unicode\\Lumbra.json", two_languages);
    folder.write_file(L"Tovrandi.ini", "Languages=Deutsch\r\n");
    Load(folder.place_copy(lumbra_test::BuiltPlugin(), L"Unicode\\Lumbra.pvx"));
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), "deutsch");
}

TEST_F(DescriptionLookup, AVeryLongLibraryPathIsRefusedCleanly) {
    std::wstring deep = L"d";
    while (folder.path().size() + deep.size() < 250) deep += L"\\deeper";
    std::filesystem::create_directories(folder.file(deep));
    folder.write_file(deep + L"\\Lumbra.json", Description("deep"));
    Load(folder.place_copy(lumbra_test::BuiltPlugin(), deep + L"\\Lumbra.pvx"));
    // The path does not fit the lookup's buffers: the file is not found, the
    // embedded description is used, and nothing is written past a buffer.
    EXPECT_EQ(Initialize(), 0);
    EXPECT_EQ(CurrentName(), "Lumbra");
}

}  // namespace
