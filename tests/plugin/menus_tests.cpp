// The editor menus and texts through the plug-in's exports, as the host sees
// them: each case loads its own copy of Lumbra.pvx beside a description file.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "plenar_sim/sim.h"

namespace {

using plenar::sim::Host;
using plenar::sim::Plugin;
using plenar::sim::TempFolder;

// Enough actions, conditions and expressions for the text exports.
const char* const ace_entries = R"(
  "Actions": [
    { "Title": "Set text to %0", "Parameters": [["String", "New text"], ["Integer"]] },
    { "Title": "Lumbra Source " }
  ],
  "Conditions": [
    { "Title": "%0 equals %1", "Triggered": false,
      "Parameters": [["Integer", "First number"], ["Integer", "Second number"]] }
  ],
  "Expressions": [
    { "Title": "Add(", "Returns": "Integer", "Parameters": [["Integer", "Left"]] },
    { "Title": "Get", "Returns": "Integer" },
    { "Title": "", "Returns": "Integer" },
    { "Returns": "Integer" }
  ])";

constexpr wchar_t untouched = L'#';

class EditorMenusAndTexts : public ::testing::Test {
protected:
    // Loads a copy of the plug-in beside a description whose language object
    // holds `menus` (members, comma-separated) and the entries above.
    void Load(const std::string& menus, bool initialize = true) {
        std::string body = menus.empty() ? ace_entries : menus + "," + ace_entries;
        folder.write_file(L"Lumbra.json",
                          R"({ "Identifier": "LMBR", "Dependencies": [],
                               "UK English": { "About": { "Name": "Lumbra" }, )" +
                              body + "}}");
        plugin = std::make_unique<Plugin>(
            folder.place_copy(plenar::sim::program_folder() + L"\\Lumbra.pvx"));
        if (initialize) {
            ASSERT_EQ(Call("Initialize", host.services(), 0), 0u);
        }
    }

    template <typename... A>
    plenar::Word Call(const char* name, A... arguments) {
        plenar::sim::CallResult result = plugin->call(name, arguments...);
        EXPECT_TRUE(result.balanced()) << name;
        return result.value;
    }

    HMENU Menu(const char* name) {
        return reinterpret_cast<HMENU>(Call(name, host.services(), nullptr, nullptr));
    }

    // A text export's answer in a buffer filled with `untouched` beforehand.
    std::wstring String(const char* name, int32_t code) {
        std::wstring buffer(256, untouched);
        plenar::Word result = Call(name, host.services(), code, buffer.data(), 256);
        EXPECT_EQ(result, reinterpret_cast<uintptr_t>(buffer.data())) << name;
        return buffer.c_str();
    }
    std::wstring Prompt(const char* name, int32_t code, int32_t parameter) {
        std::wstring buffer(256, untouched);
        plenar::Word result = Call(name, host.services(), code, parameter, buffer.data(), 256);
        EXPECT_EQ(result, reinterpret_cast<uintptr_t>(buffer.data())) << name;
        return buffer.c_str();
    }

    TempFolder folder;
    Host host;
    std::unique_ptr<Plugin> plugin;
};

std::wstring ItemText(HMENU menu, int position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

bool IsGreyed(HMENU menu, int position) {
    return (GetMenuState(menu, position, MF_BYPOSITION) & MF_GRAYED) != 0;
}

bool IsSeparator(HMENU menu, int position) {
    return (GetMenuState(menu, position, MF_BYPOSITION) & MF_SEPARATOR) != 0;
}

TEST_F(EditorMenusAndTexts, SubmenuWithOneEntryLeadsBackToCodeZero) {
    Load(R"("ActionMenu": [["Options", [0, "Set"]]])");
    HMENU menu = Menu("GetActionMenu");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(ItemText(menu, 0), L"Options");
    HMENU options = GetSubMenu(menu, 0);
    ASSERT_NE(options, nullptr);
    ASSERT_EQ(GetMenuItemCount(options), 1);
    EXPECT_EQ(ItemText(options, 0), L"Set");
    EXPECT_EQ(GetMenuItemID(options, 0), 25000u);
    EXPECT_EQ(static_cast<int32_t>(Call("GetActionCodeFromMenu", host.services(), 25000)), 0);
}

TEST_F(EditorMenusAndTexts, EachFamilyHasItsOwnBase) {
    Load(R"("ActionMenu": [[1, "A"]], "ConditionMenu": [[2, "C"]], "ExpressionMenu": [[3, "E"]])");
    const struct {
        const char* menu;
        const char* code;
        UINT identifier;
        int32_t number;
    } cases[] = {
        {"GetActionMenu", "GetActionCodeFromMenu", 25001, 1},
        {"GetConditionMenu", "GetConditionCodeFromMenu", 26002, 2},
        {"GetExpressionMenu", "GetExpressionCodeFromMenu", 27003, 3},
    };
    for (const auto& c : cases) {
        HMENU menu = Menu(c.menu);
        ASSERT_EQ(GetMenuItemCount(menu), 1) << c.menu;
        EXPECT_EQ(GetMenuItemID(menu, 0), c.identifier) << c.menu;
        EXPECT_EQ(static_cast<int32_t>(Call(c.code, host.services(), c.identifier)), c.number);
    }
    // No test of any kind on the way back.
    EXPECT_EQ(static_cast<int32_t>(Call("GetConditionCodeFromMenu", nullptr, 5)), 5 - 26000);
}

// The identifier less the base for every identifier whose difference is a
// 32-bit number; below that no item of ours has the identifier, and the
// answer is -1, which names none either.
TEST_F(EditorMenusAndTexts, IdentifiersAtTheEndsOfTheRangeGiveTheirCodeOrMinusOne) {
    Load("");
    const struct {
        const char* code;
        int32_t base;
    } families[] = {
        {"GetActionCodeFromMenu", 25000},
        {"GetConditionCodeFromMenu", 26000},
        {"GetExpressionCodeFromMenu", 27000},
    };
    for (const auto& family : families) {
        const struct {
            int32_t identifier;
            int32_t code;
        } rows[] = {
            {family.base, 0},
            {family.base + 32767, 32767},
            {0, -family.base},
            {INT32_MAX, INT32_MAX - family.base},
            {INT32_MIN + family.base, INT32_MIN},
            {INT32_MIN + family.base - 1, -1},
            {INT32_MIN, -1},
        };
        for (const auto& row : rows)
            EXPECT_EQ(static_cast<int32_t>(Call(family.code, host.services(), row.identifier)),
                      row.code)
                << family.code << " " << row.identifier;
    }
}

TEST_F(EditorMenusAndTexts, GreyedEntriesStayGreyedInTheHostsCopy) {
    Load(R"("ActionMenu": [[0, "On", true], [1, "Off", false], [2, "Text", "true"],
                           [3, "Number", 1], [4, "Plain"]])");
    HMENU menu = Menu("GetActionMenu");
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    EXPECT_TRUE(IsGreyed(menu, 0));
    for (int position = 1; position < 5; ++position)
        EXPECT_FALSE(IsGreyed(menu, position)) << ItemText(menu, position);
}

TEST_F(EditorMenusAndTexts, SeparatorInAnyCaseAndAsASubmenusFirstElement) {
    Load(R"("ConditionMenu": ["separator", "SEPARATOR", "Separator", "Other text",
                              ["Separator", [0, "Inside"]]])");
    HMENU menu = Menu("GetConditionMenu");
    ASSERT_EQ(GetMenuItemCount(menu), 4);  // "Other text" gives nothing
    for (int position = 0; position < 3; ++position) EXPECT_TRUE(IsSeparator(menu, position));
    EXPECT_EQ(ItemText(menu, 3), L"Separator");
    HMENU popup = GetSubMenu(menu, 3);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 2);
    EXPECT_TRUE(IsSeparator(popup, 0));
    EXPECT_EQ(ItemText(popup, 1), L"Inside");
    EXPECT_EQ(GetMenuItemID(popup, 1), 26000u);
}

TEST_F(EditorMenusAndTexts, NestedSubmenusAreCopiedWhole) {
    Load(R"("ExpressionMenu": [["Outer", ["Inner", [5, "Deep"]], [1, "Shallow"]]])");
    HMENU outer = GetSubMenu(Menu("GetExpressionMenu"), 0);
    ASSERT_NE(outer, nullptr);
    ASSERT_EQ(GetMenuItemCount(outer), 2);
    HMENU inner = GetSubMenu(outer, 0);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(ItemText(inner, 0), L"Deep");
    EXPECT_EQ(GetMenuItemID(inner, 0), 27005u);
    EXPECT_EQ(GetMenuItemID(outer, 1), 27001u);
}

TEST_F(EditorMenusAndTexts, LongTextsAreCutTo79CharactersInTheCopy) {
    std::string exact(79, 'b'), long_text(100, 'a');
    std::string split_pair = std::string(78, 'c') + "\xF0\x9F\x98\x80";  // U+1F600 at 78..79
    Load(R"("ActionMenu": [[0, ")" + long_text + R"("], [1, ")" + exact + R"("], ["Title )" +
         long_text + R"(", [2, "x"]], [3, ")" + split_pair + R"("]])");
    HMENU menu = Menu("GetActionMenu");
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(ItemText(menu, 0), std::wstring(79, L'a'));
    EXPECT_EQ(ItemText(menu, 1), std::wstring(79, L'b'));
    EXPECT_EQ(ItemText(menu, 2), L"Title " + std::wstring(73, L'a'));
    EXPECT_EQ(ItemText(menu, 3), std::wstring(78, L'c'));  // no half character left
}

TEST_F(EditorMenusAndTexts, ElementsThatWouldNameAnUnwrittenCodeAreLeftOut) {
    Load(R"("ActionMenu": [[1.5, "Double"], ["1", "Text number"], [true, "Boolean"], [],
                           7, {"Number": 1}, null, [-1, "Negative"], [32768, "Too big"],
                           [4294967296, "Wraps to zero"], [2, "Kept"], [3], [4, 5],
                           [32767, "Last code"]])");
    HMENU menu = Menu("GetActionMenu");
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(GetMenuItemID(menu, 0), 25002u);
    EXPECT_EQ(ItemText(menu, 0), L"Kept");
    EXPECT_EQ(GetMenuItemID(menu, 1), 25003u);  // no text: an empty one
    EXPECT_EQ(ItemText(menu, 1), L"");
    EXPECT_EQ(GetMenuItemID(menu, 2), 25004u);  // a text that is no string: empty
    EXPECT_EQ(ItemText(menu, 2), L"");
    EXPECT_EQ(GetMenuItemID(menu, 3), 25000u + 32767u);
}

TEST_F(EditorMenusAndTexts, MissingOrEmptyMenusGiveEmptyMenus) {
    Load(R"("ActionMenu": [], "ConditionMenu": "not an array")");
    for (const char* name : {"GetActionMenu", "GetConditionMenu", "GetExpressionMenu"}) {
        HMENU menu = Menu(name);
        ASSERT_NE(menu, nullptr) << name;
        EXPECT_EQ(GetMenuItemCount(menu), 0) << name;
    }
}

TEST_F(EditorMenusAndTexts, EveryRequestGetsItsOwnCopy) {
    Load(R"("ActionMenu": [[0, "Set"]])");
    HMENU first = Menu("GetActionMenu");
    HMENU second = Menu("GetActionMenu");
    ASSERT_NE(first, second);
    EXPECT_TRUE(DestroyMenu(first));
    EXPECT_EQ(GetMenuItemCount(second), 1);
    EXPECT_EQ(GetMenuItemCount(Menu("GetActionMenu")), 1);
}

TEST_F(EditorMenusAndTexts, DisplayStringsAndPrompts) {
    Load("");
    const struct {
        const char* name;
        int32_t code;
        const wchar_t* expected;
    } strings[] = {
        {"GetActionString", 0, L"Set text to %0"},
        {"GetActionString", 1, L"Lumbra Source "},
        {"GetActionString", 2, L""},
        {"GetActionString", -1, L""},
        {"GetActionString", 0x10000, L"Set text to %0"},  // codes are 16-bit
        {"GetConditionString", 0, L"%0 equals %1"},
        {"GetConditionString", 1, L""},
        {"GetExpressionString", 0, L"Add("},
        {"GetExpressionString", 1, L"Get"},
        {"GetExpressionString", 9, L""},
    };
    for (const auto& c : strings) EXPECT_EQ(String(c.name, c.code), c.expected) << c.name;

    const struct {
        const char* name;
        int32_t code, parameter;
        const wchar_t* expected;
    } prompts[] = {
        {"GetActionTitle", 0, 0, L"New text"},
        {"GetActionTitle", 0, 1, L""},  // a one-element parameter
        {"GetActionTitle", 0, 2, L""},
        {"GetActionTitle", 0, -1, L""},
        {"GetActionTitle", 1, 0, L""},  // no parameters
        {"GetActionTitle", 5, 0, L""},
        {"GetConditionTitle", 0, 1, L"Second number"},
        {"GetConditionTitle", -1, 0, L""},
        {"GetExpressionParam", 0, 0, L"Left"},
        {"GetExpressionParam", 0, 1, L""},
    };
    for (const auto& c : prompts)
        EXPECT_EQ(Prompt(c.name, c.code, c.parameter), c.expected)
            << c.name << " " << c.code << " " << c.parameter;
}

TEST_F(EditorMenusAndTexts, ExpressionTitlesEndInAnOpeningParenthesis) {
    Load("");
    const std::pair<int32_t, const wchar_t*> cases[] = {{0, L"Add("}, {1, L"Get("}, {2, L"("},
                                                        {3, L"("},    {4, L"("},    {-1, L"("}};
    for (const auto& [code, expected] : cases)
        EXPECT_EQ(String("GetExpressionTitle", code), expected) << code;
}

TEST_F(EditorMenusAndTexts, TooSmallBuffersAreCutAndTerminated) {
    Load("");
    wchar_t buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), untouched);
    Call("GetActionString", host.services(), 0, buffer, 5);
    EXPECT_EQ(std::wstring(buffer, 6), std::wstring(L"Set ") + L'\0' + untouched);

    std::fill(std::begin(buffer), std::end(buffer), untouched);
    Call("GetExpressionTitle", host.services(), 1, buffer, 4);  // "Get(" needs 5
    EXPECT_EQ(buffer[3], L'\0');
    EXPECT_EQ(buffer[4], untouched);

    std::fill(std::begin(buffer), std::end(buffer), untouched);
    Call("GetConditionTitle", host.services(), 0, 0, buffer, 1);
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(buffer[1], untouched);

    std::fill(std::begin(buffer), std::end(buffer), untouched);
    for (int32_t size : {0, -1, 0x10000}) {  // 0x10000 reads as a 16-bit 0
        Call("GetActionString", host.services(), 0, buffer, size);
        Call("GetExpressionParam", host.services(), 0, 0, buffer, size);
    }
    EXPECT_EQ(buffer[0], untouched);
    Call("GetActionString", host.services(), 0, nullptr, 16);
    Call("GetExpressionTitle", host.services(), 0, nullptr, 16);
}

TEST_F(EditorMenusAndTexts, AnIncompatibleHostGetsNoMenusAndUntouchedBuffers) {
    Load(
        R"("ActionMenu": [[0, "Set"]], "ConditionMenu": [[0, "Is"]], "ExpressionMenu": [[0, "Get"]])");
    for (std::optional<uint32_t> version :
         {std::optional<uint32_t>(0x02000000 | 253), std::optional<uint32_t>(0x01000000 | 300),
          std::optional<uint32_t>()}) {
        host.set_version(version);
        for (const char* name : {"GetActionMenu", "GetConditionMenu", "GetExpressionMenu"})
            EXPECT_EQ(Menu(name), nullptr) << name;
        wchar_t buffer[8];
        std::fill(std::begin(buffer), std::end(buffer), untouched);
        for (const char* name :
             {"GetActionString", "GetConditionString", "GetExpressionString", "GetExpressionTitle"})
            EXPECT_EQ(Call(name, host.services(), 0, buffer, 8), 0u) << name;
        for (const char* name : {"GetActionTitle", "GetConditionTitle", "GetExpressionParam"})
            EXPECT_EQ(Call(name, host.services(), 0, 0, buffer, 8), 0u) << name;
        for (wchar_t c : buffer) EXPECT_EQ(c, untouched);
    }
}

TEST_F(EditorMenusAndTexts, BeforeInitializeMenusAreEmptyAndTextsBlank) {
    Load(R"("ActionMenu": [[0, "Set"]])", false);
    HMENU menu = Menu("GetActionMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    EXPECT_EQ(String("GetActionString", 0), L"");
    EXPECT_EQ(Prompt("GetActionTitle", 0, 0), L"");
    EXPECT_EQ(String("GetExpressionTitle", 0), L"(");
}

}  // namespace
