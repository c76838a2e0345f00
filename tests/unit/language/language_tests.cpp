// The language choice: settings file rules and the default rule, on parsed
// descriptions. Built natively only: there the settings file and the
// library's name are stand-ins the tests set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "kvor/messages.h"
#include "load/language.h"
#include "platform/module_recorder.h"
#include "platform/platform_recorder.h"
#include "sdk.h"
#include "platform/settings_file_recorder.h"

namespace {

json_value* Parse(const char* text) {
    size_t length = strlen(text);
    char* copy = static_cast<char*>(malloc(length + 1));
    memcpy(copy, text, length + 1);
    json_reader_settings settings = {};
    char error[256] = {};
    json_value* root = json_read(&settings, copy, length, error, sizeof error);
    EXPECT_NE(root, nullptr) << error;
    return root;
}

const char* const two_languages = R"json({
  "Identifier": "LMBR", "Dependencies": [],
  "UK English": { "About": { "Name": "Lumbra" } },
  "French": { "About": { "Name": "Lumbra (fr)" } }
})json";

// Each case owns an SDK object over its own description.
class LanguageChoice : public ::testing::Test {
protected:
    void Use(const char* description) {
        sdk = new Kvor::SDK(nullptr, Parse(description));
        ::SDK = sdk;
    }
    void SetUp() override {
        Kvor::CachedLanguage = &json_none;
        Kvor::Platform::ClearRecords();
        Kvor::SetSettingsFile(Kvor::SettingsRead::absent);
    }
    void TearDown() override {
        delete sdk;
        ::SDK = nullptr;
        Kvor::CachedLanguage = &json_none;
    }
    std::string ChosenName() { return Kvor::CurrentLanguage()["About"]["Name"].text(); }
    Kvor::SDK* sdk = nullptr;
};

TEST_F(LanguageChoice, WithoutSettingsTheDefaultIsChosenSilentlyAtEveryCall) {
    Use(two_languages);
    int reads = Kvor::SettingsFileReads();
    EXPECT_EQ(ChosenName(), "Lumbra");
    EXPECT_EQ(ChosenName(), "Lumbra");
    EXPECT_EQ(Kvor::SettingsFileReads(), reads + 2);  // nothing cached on the default path
    EXPECT_TRUE(Kvor::Platform::RecordedBoxes().empty());
}

struct SettingsCase {
    const char* name;
    const char* ini;
    const char* chosen;  // About/Name of the language chosen
    bool cached;
};

class SettingsRules : public LanguageChoice, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsRules, ChoosesAndCachesOnlyAMatch) {
    Use(two_languages);
    Kvor::SetSettingsFile(Kvor::SettingsRead::read, GetParam().ini);
    EXPECT_EQ(ChosenName(), GetParam().chosen);
    EXPECT_EQ(Kvor::CachedLanguage != &json_none, GetParam().cached);
    EXPECT_TRUE(Kvor::Platform::RecordedBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SettingsRules,
    ::testing::Values(
        SettingsCase{"FirstKnownNameWins", "Languages=German;French;UK English\r\n", "Lumbra (fr)",
                     true},
        SettingsCase{"BlankAfterKeyAndBeforeNames", "Languages = German; UK English\r\n", "Lumbra",
                     true},
        SettingsCase{"KeyAnywhereInTheFile", "[Main]\r\nx=1\r\nLanguages=French\r\nmore\r\n",
                     "Lumbra (fr)", true},
        SettingsCase{"LastNameWithoutLineEnd", "Languages=French", "Lumbra (fr)", true},
        SettingsCase{"LineFeedEndsTheListToo", "Languages=German;French\nother=1\n", "Lumbra (fr)",
                     true},
        SettingsCase{"CaseMatters", "Languages=french\r\n", "Lumbra", false},
        SettingsCase{"AtMostTwoBlanksAreDropped", "Languages=   French\r\n", "Lumbra", false},
        SettingsCase{"NonObjectMembersAreNotLanguages", "Languages=Identifier\r\n", "Lumbra",
                     false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LanguageChoice, AMatchIsCachedAndTheFileNotReadAgain) {
    Use(two_languages);
    Kvor::SetSettingsFile(Kvor::SettingsRead::read, "Languages=French\r\n");
    EXPECT_EQ(ChosenName(), "Lumbra (fr)");
    int reads = Kvor::SettingsFileReads();
    Kvor::SetSettingsFile(Kvor::SettingsRead::read, "Languages=UK English\r\n");
    EXPECT_EQ(ChosenName(), "Lumbra (fr)");
    EXPECT_EQ(Kvor::SettingsFileReads(), reads);
}

TEST_F(LanguageChoice, SettingsWithoutTheKeyAreReported) {
    Use(two_languages);
    Kvor::SetSettingsFile(Kvor::SettingsRead::read, "Language=French\r\n");
    EXPECT_EQ(ChosenName(), "Lumbra");
    ASSERT_EQ(Kvor::Platform::RecordedBoxes().size(), 1u);
    const auto& box = Kvor::Platform::RecordedBoxes()[0];
    EXPECT_EQ(box.text, Kvor::message::settings_without_languages.text);
    EXPECT_EQ(box.caption, Kvor::message::settings_without_languages.caption);
    EXPECT_EQ(box.style, Kvor::message::settings_without_languages.style);
    EXPECT_FALSE(box.wide);
}

TEST_F(LanguageChoice, UnavailableSettingsAreReportedUnreadableOnesAreNot) {
    Use(two_languages);
    Kvor::SetSettingsFile(Kvor::SettingsRead::unavailable);
    EXPECT_EQ(ChosenName(), "Lumbra");
    ASSERT_EQ(Kvor::Platform::RecordedBoxes().size(), 1u);
    EXPECT_EQ(Kvor::Platform::RecordedBoxes()[0].text, Kvor::message::settings_unreadable.text);
    EXPECT_EQ(Kvor::Platform::RecordedBoxes()[0].caption,
              Kvor::message::settings_unreadable.caption);

    Kvor::Platform::ClearRecords();
    Kvor::SetSettingsFile(Kvor::SettingsRead::unreadable);
    EXPECT_EQ(ChosenName(), "Lumbra");
    EXPECT_TRUE(Kvor::Platform::RecordedBoxes().empty());
}

TEST_F(LanguageChoice, DefaultRuleTakesFirstObjectWithAboutName) {
    Use(R"({"Identifier": "X", "A": {"About": {"Name": 5}}, "B": {"About": {"Name": "b"}},
           "C": {"About": {"Name": "c"}}})");
    EXPECT_EQ(ChosenName(), "b");
}

TEST_F(LanguageChoice, DefaultRuleFallsBackToTheLastMember) {
    Use(R"({"Identifier": "X", "Dependencies": [], "Last": 7})");
    EXPECT_EQ(Kvor::DefaultLanguageIndex().type, json_type_integer);
    EXPECT_EQ(Kvor::DefaultLanguageIndex().integer(), 7);
}

TEST_F(LanguageChoice, AnEmptyRootHasNoLanguage) {
    Use("{}");
    EXPECT_EQ(&Kvor::DefaultLanguageIndex(), &json_none);
}

TEST_F(LanguageChoice, DefaultBeforeTheSdkExistsIsReported) {
    Kvor::SetModuleBaseName("Lumbra");
    EXPECT_EQ(&Kvor::DefaultLanguageIndex(), &json_none);
    ASSERT_EQ(Kvor::Platform::RecordedBoxes().size(), 1u);
    const auto& box = Kvor::Platform::RecordedBoxes()[0];
    EXPECT_EQ(box.text, Kvor::message::language_too_early.text);
    EXPECT_EQ(box.caption,
              "Lumbra- Tovrandi error");  // the library's name, then the catalogue's words
    EXPECT_EQ(box.style, Kvor::message::language_too_early.style);
}

TEST(SettingsFilePath, UnicodeFolderUsesTheParentsFile) {
    EXPECT_EQ(Kvor::SettingsFilePath("C:\\Plenar\\Extensions\\Unicode\\Lumbra.pvx"),
              "C:\\Plenar\\Extensions\\Tovrandi.ini");
    EXPECT_EQ(Kvor::SettingsFilePath("C:\\Plenar\\Extensions\\Lumbra.pvx"),
              "C:\\Plenar\\Extensions\\Tovrandi.ini");
    EXPECT_EQ(Kvor::SettingsFilePath("C:/x/unicode/Lumbra.pvx"), "C:/x/unicode/Tovrandi.ini");
    EXPECT_EQ(Kvor::SettingsFilePath("Lumbra.pvx"), "Tovrandi.ini");
}

TEST(SettingsFilePath, APathThatWouldNotFitIsRefused) {
    std::string deep = "C:\\" + std::string(250, 'd') + "\\Lumbra.pvx";
    EXPECT_EQ(Kvor::SettingsFilePath(deep), "");
    EXPECT_NE(Kvor::SettingsFilePath(deep, 400), "");
}

}  // namespace
