#include "keys.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <vector>
#include "../families.h"
#include "kvor/keys.h"
#include "kvor/types.h"

namespace plenar::cli::lint {
namespace {

using Kind = JsonNode::Kind;
using Kvor::Key;
namespace key = Kvor::key;

uint8_t kind_bit(Kind kind) {
    switch (kind) {
        case Kind::string: return Kvor::kind_string;
        case Kind::integer: return Kvor::kind_integer;
        case Kind::real: return Kvor::kind_real;
        case Kind::boolean: return Kvor::kind_boolean;
        case Kind::array: return Kvor::kind_array;
        case Kind::object: return Kvor::kind_object;
        case Kind::null: return Kvor::kind_null;
        case Kind::none: return 0;
    }
    return 0;
}

// "a string", "a string, a number or a boolean".
std::string kinds_named(uint8_t kinds) {
    const std::pair<uint8_t, const char*> names[] = {
        {Kvor::kind_string, "a string"},        {Kvor::kind_number, "a number"},
        {Kvor::kind_integer, "a whole number"}, {Kvor::kind_real, "a number with a fraction"},
        {Kvor::kind_boolean, "a boolean"},      {Kvor::kind_array, "an array"},
        {Kvor::kind_object, "an object"},       {Kvor::kind_null, "null"},
    };
    std::vector<const char*> parts;
    for (const auto& [bits, name] : names) {
        if ((kinds & bits) != bits) continue;
        parts.push_back(name);
        kinds &= static_cast<uint8_t>(~bits);
    }
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " or " : ", ") + std::string(parts[i]);
    return text;
}

// Edits (insertions, deletions, substitutions, swaps of neighbours) between
// two names, ASCII letter case ignored.
size_t edit_distance(std::string_view a, std::string_view b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const bool same = Kvor::AsciiLower(a[i - 1]) == Kvor::AsciiLower(b[j - 1]);
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + !same});
            if (i > 1 && j > 1 && Kvor::AsciiLower(a[i - 1]) == Kvor::AsciiLower(b[j - 2]) &&
                Kvor::AsciiLower(a[i - 2]) == Kvor::AsciiLower(b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// "; did you mean "Parameters"?" for the nearest key, when one is near.
std::string did_you_mean(std::string_view name, std::span<const Key> keys) {
    const Key* nearest = nullptr;
    size_t best = std::max<size_t>(1, name.size() / 3) + 1;
    for (const Key& key : keys) {
        const size_t distance = edit_distance(name, key.name);
        if (distance < best) {
            best = distance;
            nearest = &key;
        }
    }
    return nearest ? std::string("; did you mean \"") + nearest->name + "\"?" : std::string();
}

struct Level {
    const char* what;  // "an action"
    std::span<const Key> keys;
};

void check_kind(const Key& key, const JsonMember& found, const std::string& path,
                Findings& findings) {
    if (kind_bit(found.value.kind) & key.kinds) return;
    findings.add(Rule::wrong_kind, found.value,
                 "\"" + found.name + "\" should be " + kinds_named(key.kinds) + ", not " +
                     kinds_named(kind_bit(found.value.kind)),
                 member(path, found.name));
}

// An entry key of other families: "Triggered" on an action.
std::string read_elsewhere(const std::string& name) {
    std::string where;
    for (const Family& family : families)
        if (std::any_of(family.keys.begin(), family.keys.end(),
                        [&](const Key& k) { return name == k.name; }))
            where += (where.empty() ? "" : " and ") + std::string(family.plural);
    return where;
}

void check_members(const JsonNode& object, const Level& level, const std::string& path,
                   Findings& findings, bool entry = false) {
    if (!object.is(Kind::object)) return;
    for (const JsonMember& found : object.members) {
        const auto known = std::find_if(level.keys.begin(), level.keys.end(),
                                        [&](const Key& k) { return found.name == k.name; });
        if (known != level.keys.end()) {
            check_kind(*known, found, path, findings);
            continue;
        }
        std::string text = "\"" + found.name + "\" is not a key of " + level.what;
        const std::string elsewhere = entry ? read_elsewhere(found.name) : std::string();
        text += elsewhere.empty() ? did_you_mean(found.name, level.keys)
                                  : "; it is read in " + elsewhere + " only";
        findings.add(Rule::unknown_key, found.value.name_line, found.value.name_column,
                     std::move(text), member(path, found.name));
    }
}

void check_entries(const JsonNode& section, const Key& array, const Level& level,
                   Findings& findings, bool entry) {
    const JsonNode& entries = section[array.name];
    for (size_t i = 0; i < entries.items.size(); ++i)
        check_members(entries.items[i], level, indexed(array.name, i), findings, entry);
}

}  // namespace

void check_root_keys(const JsonNode& root, Findings& findings) {
    for (const JsonMember& found : root.members) {
        if (const Key* known = Kvor::FindKey(key::root::all, found.name)) {
            check_kind(*known, found, "", findings);
        } else if (!found.value.is(Kind::object) && found.name != key::editor_schema) {
            const std::string nearest = did_you_mean(found.name, key::root::all);
            findings.add(Rule::unknown_key, found.value.name_line, found.value.name_column,
                         "\"" + found.name + "\" is not a key of the root" +
                             (nearest.empty() ? " (a language section is an object)" : nearest),
                         found.name);
        }
    }
}

void check_section_keys(const JsonNode& section, Findings& findings) {
    check_members(section, {"a language section", key::language::all}, "", findings);
    check_members(section[key::language::About.name], {"About", key::about::all},
                  key::language::About.name, findings);
    for (const Family& family : families)
        check_entries(section, family.entries, {family.one, family.keys}, findings, true);
    check_entries(section, key::language::Properties, {"a property", key::property::all}, findings,
                  false);
}

}  // namespace plenar::cli::lint
