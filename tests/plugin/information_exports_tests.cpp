// The information exports: capability answers, the about texts, the help
// file and the dependencies.
#include "editor_fixture.h"

using namespace lumbra_test;

namespace {

// --- capability answers -------------------------------------------------------

TEST_F(EditorExports, GetInfosAnswers) {
    Start();
    const struct {
        int32_t code;
        uint32_t answer;
    } rows[] = {
        {0, 0x300}, {1, 0}, {2, 0x100}, {3, 0}, {6, 2}, {7, 254}, {8, 1}, {9, 0}, {-1, 0},
    };
    for (const auto& row : rows) EXPECT_EQ(Call("GetInfos", row.code), row.answer) << row.code;
}

// --- about texts, help file, dependencies ------------------------------------------

constexpr size_t text_length = 260;
constexpr size_t guard_length = 8;
constexpr plenar::wchar guard = L'#';

// GetObjInfos' five buffers, each followed by guard characters.
struct InfoBuffers {
    plenar::wchar texts[5][text_length + guard_length];
    InfoBuffers() {
        for (auto& text : texts) std::fill(std::begin(text), std::end(text), guard);
    }
    std::string Text(int which) const { return utf8_from_wide(texts[which]); }
    bool GuardsIntact() const {
        for (const auto& text : texts)
            for (size_t i = text_length; i < text_length + guard_length; ++i)
                if (text[i] != guard) return false;
        return true;
    }
};

const char* const two_languages =
    R"({"Identifier": "LMBR", "Dependencies": [],
        "UK English": {"About": {"Name": "primary", "Author": "primary author"}},
        "Deutsch": {"About": {"Name": "deutsch", "Author": "Autor", "Copyright": "Recht",
                              "Comment": "Bemerkung", "URL": "https://example.de/"}}})";

class ObjectInfos : public EditorExports {
protected:
    InfoBuffers Read(plenar::HostServices* services) {
        InfoBuffers buffers;
        Call("GetObjInfos", services, nullptr, buffers.texts[0], buffers.texts[1], buffers.texts[2],
             buffers.texts[3], buffers.texts[4]);
        EXPECT_TRUE(buffers.GuardsIntact());
        return buffers;
    }
};

// An editor's "$schema" member leads, so the primary language is the first
// object member, not the third member.
const char* const schema_first =
    R"({"$schema": "description.schema.json", "Identifier": "LMBR", "Dependencies": [],
        "UK English": {"About": {"Name": "primary"}},
        "Deutsch": {"About": {"Name": "deutsch", "Author": "Autor", "Copyright": "Recht",
                              "Comment": "Bemerkung", "URL": "https://example.de/"}}})";

class PrimaryLanguage : public ObjectInfos, public ::testing::WithParamInterface<const char*> {};

TEST_P(PrimaryLanguage, GivesTheNameUnlessAnApplicationIsOpen) {
    folder.write_file(L"Tovrandi.ini", "Languages=Deutsch\r\n");
    StartWith(GetParam());
    const struct {
        const char* row;
        bool record;
        bool open;
        const char* name;
    } rows[] = {
        {"null record", false, false, "primary"},
        {"no application", true, false, "primary"},
        {"application open", true, true, "deutsch"},
    };
    for (const auto& row : rows) {
        host.set_open_application(row.open);
        InfoBuffers b = Read(row.record ? host.services() : nullptr);
        EXPECT_EQ(b.Text(0), row.name) << row.row;
        EXPECT_EQ(b.Text(1), "Autor") << row.row;
        EXPECT_EQ(b.Text(2), "Recht") << row.row;
        EXPECT_EQ(b.Text(3), "Bemerkung") << row.row;
        EXPECT_EQ(b.Text(4), "https://example.de/") << row.row;
    }
}
INSTANTIATE_TEST_SUITE_P(Layouts, PrimaryLanguage, ::testing::Values(two_languages, schema_first));

TEST_F(ObjectInfos, LumbrasOwnTexts) {
    Start();
    InfoBuffers b = Read(host.services());
    EXPECT_EQ(b.Text(0), "Lumbra");
    EXPECT_EQ(b.Text(1), "Lumbra developers");
    EXPECT_EQ(b.Text(2), "Copyright (C) 2020 Lumbra developers");
    EXPECT_EQ(b.Text(3), "Lumbra Html5 Extension for Plenar ");
    EXPECT_EQ(b.Text(4), "https://lumbra.example.org/");
}

TEST_F(ObjectInfos, MissingOrNonTextMembersGiveEmptyTexts) {
    StartWith(R"({"Identifier": "LMBR", "Dependencies": [],
                  "UK English": {"About": {"Name": "n", "Author": 5, "URL": ["x"]}}})");
    InfoBuffers b = Read(host.services());
    EXPECT_EQ(b.Text(0), "n");
    for (int which = 1; which < 5; ++which) EXPECT_EQ(b.Text(which), "") << which;
}

TEST_F(ObjectInfos, LongTextsAreCutAndTerminated) {
    const std::string long_author(300, 'a');
    // A two-unit character that would straddle the last place is left out whole.
    const std::string straddling = std::string(258, 'b') + "\xF0\x9F\x98\x80" + "tail";
    const std::string accented = std::string(259, 'c') + "\xC3\xA9";
    StartWith(R"({"Identifier": "LMBR", "Dependencies": [], "UK English": {"About": {"Name": ")" +
              std::string(259, 'n') + R"(", "Author": ")" + long_author + R"(", "Copyright": ")" +
              straddling + R"(", "Comment": ")" + accented + R"(", "URL": ")" +
              std::string(1000, 'u') + R"("}}})");
    InfoBuffers b = Read(host.services());
    EXPECT_EQ(b.Text(0), std::string(259, 'n'));  // fits exactly
    EXPECT_EQ(b.Text(1), std::string(259, 'a'));
    EXPECT_EQ(b.Text(2), std::string(258, 'b'));
    EXPECT_EQ(b.Text(3), std::string(259, 'c'));
    EXPECT_EQ(b.Text(4), std::string(259, 'u'));
}

TEST_F(EditorExports, HelpFileName) {
    Start();
    auto name = reinterpret_cast<const plenar::wchar*>(Call("GetHelpFileName"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(utf8_from_wide(name), "Help/Example.chm");
}

TEST_F(EditorExports, LongHelpFileNameIsCut) {
    StartWith(R"({"Identifier": "LMBR", "Dependencies": [], "UK English": {"About": {"Help": ")" +
              std::string(400, 'h') + R"("}}})");
    auto name = reinterpret_cast<const plenar::wchar*>(Call("GetHelpFileName"));
    EXPECT_EQ(utf8_from_wide(name), std::string(259, 'h'));
}

TEST_F(EditorExports, HelpFileNameMissingIsEmpty) {
    StartWith(Description("no help"));
    auto name = reinterpret_cast<const plenar::wchar*>(Call("GetHelpFileName"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(utf8_from_wide(name), "");
}

std::vector<std::string> Table(plenar::Word address) {
    std::vector<std::string> names;
    auto table = reinterpret_cast<const plenar::wchar* const*>(address);
    if (!table) return {"<null table>"};
    for (; *table; ++table) names.push_back(utf8_from_wide(*table));
    return names;
}

TEST_F(EditorExports, DependenciesFromTheResourceAreEmpty) {
    Start();
    const plenar::Word first = Call("GetDependencies");
    EXPECT_EQ(Table(first), std::vector<std::string>{});
    EXPECT_EQ(Call("GetDependencies"), first);
}

TEST_F(EditorExports, DependenciesFromDiskListTheDescriptionThenTheNames) {
    folder.write_file(
        L"Other.json",
        std::string(R"({"Identifier": "LMBR", "Dependencies": ["a.dll", "sub/b.txt", 5, ")") +
            "\xC3\xA9" + R"(.ini"], "UK English": {}})");
    Load(Place(L"Other.pvx"));
    ASSERT_EQ(Initialize(), 0);
    const plenar::Word first = Call("GetDependencies");
    const std::vector<std::string> expected{"Other.json", "a.dll", "sub/b.txt", "", "\xC3\xA9.ini"};
    EXPECT_EQ(Table(first), expected);
    EXPECT_EQ(Call("GetDependencies"), first);
    EXPECT_EQ(Table(first), expected);
}

}  // namespace
