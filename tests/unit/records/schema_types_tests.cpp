// res/description.schema.json lists the type names the SDK accepts twice,
// each made from the SDK's own type tables: an enum of the canonical
// spellings, which an editor offers for completion, and a case-blind
// pattern, with which an editor flags a misspelt type as the SDK would. Both
// must be the ones made here; on a difference, the pattern to paste is
// printed. Its keys at each level are the ones the SDK reads there.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "json/json.h"
#include "kvor/keys.h"
#include "kvor/types.h"

namespace {

// One name as a pattern that ignores the case of ASCII letters.
std::string CaseBlind(const std::string& name) {
    std::string pattern;
    for (char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            pattern += std::string("[") + char(c & ~0x20) + char(c | 0x20) + "]";
        else if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos)
            pattern += std::string("\\\\") + c;
        else
            pattern += c;
    }
    return pattern;
}

// Every name, and a custom prefix followed by anything where it is allowed.
template <typename T, size_t N>
std::string NamesPattern(const T (&table)[N], bool custom, bool sheet_only = false) {
    std::vector<std::string> names;
    for (const T& entry : table) {
        if constexpr (std::is_same_v<T, Kvor::PropertyType>)
            if (sheet_only && entry.sheet != Kvor::PropertySheet::entry) continue;
        names.push_back(CaseBlind(entry.name));
    }
    std::string pattern = "^(";
    for (size_t i = 0; i < names.size(); ++i) pattern += (i ? "|" : "") + names[i];
    if (custom) pattern += "|" + CaseBlind(Kvor::custom_type_prefix) + ".*";
    return pattern + ")$";
}

struct SchemaPattern {
    const char* where;  // in the schema: {"anyOf": [{"enum": [...]}, {"pattern": ...}]}
    std::string expected;
    std::vector<std::string> accepted;  // names an editor must accept, in table order
};

std::vector<std::string> Names(const auto& table) {
    std::vector<std::string> names;
    for (const auto& entry : table) names.push_back(entry.name);
    return names;
}

class SchemaTypes : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream file(LUMBRA_SCHEMA, std::ios::binary);
        ASSERT_TRUE(file) << LUMBRA_SCHEMA;
        std::stringstream text;
        text << file.rdbuf();
        const std::string content = text.str();
        char* copy = static_cast<char*>(malloc(content.size() + 1));
        memcpy(copy, content.c_str(), content.size() + 1);
        json_reader_settings settings = {};
        char error[256] = {};
        root = json_read(&settings, copy, content.size(), error, sizeof error);
        ASSERT_NE(root, nullptr) << error;
    }
    void TearDown() override { json_release(root); }
    json_value* root = nullptr;
};

TEST_F(SchemaTypes, EveryTypeListIsTheSdksOwnAndRefusesMisspellings) {
    std::vector<std::string> sheet_names;
    for (const Kvor::PropertyType& type : Kvor::property_types)
        if (type.sheet == Kvor::PropertySheet::entry) sheet_names.push_back(type.name);
    const SchemaPattern patterns[] = {
        {"parameterType", NamesPattern(Kvor::parameter_types, true), Names(Kvor::parameter_types)},
        {"expressionParameterType", NamesPattern(Kvor::expression_parameter_types, false),
         Names(Kvor::expression_parameter_types)},
        {"returnType", NamesPattern(Kvor::result_types, false), Names(Kvor::result_types)},
        {"propertyType", NamesPattern(Kvor::property_types, true, true), sheet_names},
    };
    for (const SchemaPattern& p : patterns) {
        const json_value& choices = (*root)["$defs"][p.where]["anyOf"];
        const json_value& canonical = choices[0]["enum"];
        std::vector<std::string> listed;
        for (uint32_t i = 0; i < canonical.length(); ++i)
            listed.push_back(canonical[int32_t(i)].text());
        EXPECT_EQ(listed, p.accepted) << p.where << ": the enum of canonical names";
        const json_value* node = &choices[1]["pattern"];
        const std::string expected_json = "\"" + p.expected + "\"";
        std::string unescaped;  // the pattern as the schema's string holds it
        for (size_t i = 0; i < p.expected.size(); ++i)
            unescaped += p.expected[i] == '\\' && p.expected[i + 1] == '\\' ? p.expected[i++]
                                                                            : p.expected[i];
        EXPECT_EQ(std::string(node->text()), unescaped)
            << p.where << " should be " << expected_json;
        if (node->text() != unescaped) continue;
        const std::regex pattern(node->text());
        for (std::string name : p.accepted) {
            EXPECT_TRUE(std::regex_match(name, pattern)) << p.where << ": " << name;
            for (char& c : name) c = Kvor::AsciiLower(c);
            EXPECT_TRUE(std::regex_match(name, pattern)) << p.where << ": " << name;
            if (!Kvor::StartsIgnoringAsciiCase(name.c_str(), Kvor::custom_type_prefix)) {
                EXPECT_FALSE(std::regex_match(name + "x", pattern))
                    << p.where << ": " << name << "x";
            }
            EXPECT_FALSE(std::regex_match(" " + name, pattern)) << p.where << ": " << name;
        }
        for (const char* misspelt : {"Txet", "Intger", "Editbox Strnig", "Colr", "Custo", ""})
            EXPECT_FALSE(std::regex_match(std::string(misspelt), pattern))
                << p.where << ": " << misspelt;
    }
}

// The keys the schema describes at each level, gathered from the
// "properties" objects that make up that level, are the ones the SDK reads
// there: kvor/keys.h. An editor's "$schema" is the one key beside them.
TEST_F(SchemaTypes, EveryLevelHasTheKeysTheSdkReads) {
    using Path = std::vector<const char*>;
    const Path action = {"$defs", "action", "properties"};
    const Path condition = {"$defs", "condition", "properties"};
    const Path expression = {"$defs", "expression", "properties"};
    namespace key = Kvor::key;
    struct Level {
        const char* where;
        std::vector<Path> paths;
        std::span<const Kvor::Key> keys;
    };
    const Level levels[] = {
        {"root", {{"properties"}}, key::root::all},
        {"language section", {{"$defs", "language", "properties"}}, key::language::all},
        {"About", {{"$defs", "about", "properties"}}, key::about::all},
        {"action", {action}, key::entry::actions},
        {"condition", {condition}, key::entry::conditions},
        {"expression", {expression}, key::entry::expressions},
        {"property", {{"$defs", "property", "properties"}}, key::property::all},
    };
    for (const Level& level : levels) {
        std::vector<std::string> described, read;
        for (const Path& path : level.paths) {
            const json_value* node = root;
            for (const char* step : path) node = &(*node)[step];
            ASSERT_EQ(node->type, json_type_object) << level.where;
            for (uint32_t i = 0; i < node->u.object.length; ++i)
                if (node->u.object.values[i].name != key::editor_schema)
                    described.push_back(node->u.object.values[i].name);
        }
        for (const Kvor::Key& k : level.keys) read.push_back(k.name);
        std::sort(described.begin(), described.end());
        described.erase(std::unique(described.begin(), described.end()), described.end());
        std::sort(read.begin(), read.end());
        EXPECT_EQ(described, read) << level.where;
    }
}

}  // namespace
