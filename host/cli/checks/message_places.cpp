#include "message_places.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <regex>
#include <vector>

namespace plenar::cli {
namespace {

using Kind = JsonNode::Kind;

bool same_letters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool begins_with_letters(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && same_letters(text.substr(0, start.size()), start);
}

bool in_list(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::any_of(names.begin(), names.end(), [&](std::string_view n) { return same_letters(name, n); });
}

bool known_parameter_type(std::string_view name, bool expression) {
    if (expression) return in_list(name, {"Text", "String", "Float", "Integer", "Unsigned Integer"});
    return begins_with_letters(name, "Custom") ||
           in_list(name, {"Text", "String", "Filename", "File", "Float", "Integer", "Unsigned Integer",
                          "Object", "Position", "Create", "SysCreate", "Animation", "Nop", "Player",
                          "Every", "Key", "Speed", "JoyDirection", "Shoot", "Zone", "Comparison",
                          "StringComparison", "Colour", "Color", "Frame", "SampleLoop", "MusicLoop",
                          "NewDirection", "TextNumber", "Click", "Program"});
}

bool known_return_type(std::string_view name) {
    return in_list(name, {"Integer", "Float", "Text", "String", "Short", "Unsigned Integer"});
}

bool known_property_type(std::string_view name) {
    return begins_with_letters(name, "Custom") ||
           in_list(name, {"Text", "Folder", "FolderEnd", "Edit button", "Editbox String", "Editbox Number",
                          "Combo Box", "Size", "Color", "Checkbox", "Edit slider", "Edit spin",
                          "Edit direction", "Group", "!List button", "Editbox File", "Font", "Custom",
                          "Editbox Image File", "Combo Box Button", "Editbox Float",
                          "Editbox String Multiline", "Image List", "Combo Box Icons", "URL button"});
}

const char* family_key(std::string_view kind) {
    if (kind == "action") return "Actions";
    if (kind == "condition") return "Conditions";
    return "Expressions";
}

// The family a caption or text speaks of ("action", "condition", "expression").
std::string family_named_in(const std::string& text) {
    for (const char* kind : {"action", "condition", "expression"})
        if (text.find(kind) != std::string::npos) return kind;
    return {};
}

DescriptionPlace place_of(const JsonNode& node, std::string path) {
    return {node.line, node.column, std::move(path)};
}

std::string indexed(const std::string& key, size_t index) { return key + "[" + std::to_string(index) + "]"; }

std::string text_of(const JsonNode& node) { return node.is(Kind::string) ? node.text : std::string(); }

// Every entry of a language array with its path, for a predicate to choose from.
using EntryTest = std::function<std::optional<DescriptionPlace>(const JsonNode&, const std::string&)>;

std::vector<DescriptionPlace> matching(const JsonNode& language, const std::string& key, const EntryTest& test) {
    std::vector<DescriptionPlace> places;
    const JsonNode& array = language[key];
    for (size_t i = 0; i < array.items.size(); ++i)
        if (auto place = test(array.items[i], indexed(key, i))) places.push_back(*place);
    return places;
}

std::vector<DescriptionPlace> properties_of_type(const JsonNode& language, std::string_view type,
                                                 const std::function<bool(const JsonNode&)>& wrong,
                                                 const char* member) {
    return matching(language, "Properties", [&](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
        if (!same_letters(text_of(entry["Type"]), type) || !wrong(entry)) return std::nullopt;
        const JsonNode& value = entry[member];
        return value.is(Kind::none) ? place_of(entry, path) : place_of(value, path + "." + member);
    });
}

std::optional<std::string> bracketed(const std::string& text, const std::string& start) {
    if (text.rfind(start, 0) != 0) return std::nullopt;
    const size_t end = text.find(']', start.size());
    if (end == std::string::npos) return std::nullopt;
    return text.substr(start.size(), end - start.size());
}

// The candidates a message of the record or property code may be about.
std::vector<DescriptionPlace> candidates(const JsonNode& language, const sim::MessageBoxCall& box) {
    const std::string& text = box.text;
    const std::string& caption = box.caption;
    static const std::regex parameter_type("^Error reading Parameter type \"(.*)\"; text did not match anything\\.$");
    static const std::regex return_type("^Error reading expression return; returns '(.*)', which is unrecognised\\.$");
    static const std::regex linked("(action|condition|expression) (\\d+)");
    std::smatch match;
    if (std::regex_match(text, match, parameter_type)) {
        const std::string name = match[1];
        std::vector<DescriptionPlace> places;
        for (const char* key : {"Actions", "Conditions", "Expressions"}) {
            const bool expression = std::string_view(key) == "Expressions";
            auto found = matching(language, key, [&](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
                const JsonNode& parameters = entry["Parameters"];
                for (size_t p = 0; p < parameters.items.size(); ++p) {
                    const JsonNode& parameter = parameters.items[p];
                    const std::string type = text_of(parameter[size_t{0}]);
                    if (type == name && !known_parameter_type(type, expression))
                        return place_of(parameter, path + "." + indexed("Parameters", p));
                }
                return std::nullopt;
            });
            places.insert(places.end(), found.begin(), found.end());
        }
        return places;
    }
    if (std::regex_match(text, match, return_type)) {
        const std::string name = match[1];
        return matching(language, "Expressions", [&](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
            const JsonNode& returns = entry["Returns"];
            if (text_of(returns) != name || known_return_type(name) || !entry.is(Kind::object)) return std::nullopt;
            return returns.is(Kind::none) ? place_of(entry, path) : place_of(returns, path + ".Returns");
        });
    }
    if (text.rfind("Too many parameters in ", 0) == 0) {
        return matching(language, family_key(family_named_in(text)), [](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
            const JsonNode& parameters = entry["Parameters"];
            if (parameters.size() <= 16) return std::nullopt;
            return place_of(parameters, path + ".Parameters");
        });
    }
    if (text == "Invalid JSON reference, expected object.") {
        return matching(language, family_key(family_named_in(caption)), [](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
            if (entry.is(Kind::object)) return std::nullopt;
            return place_of(entry, path);
        });
    }
    if (caption.rfind("Tovrandi - Error linking ", 0) == 0 && std::regex_search(text, match, linked)) {
        const std::string key = family_key(std::string(match[1]));
        const JsonNode& array = language[key];
        const size_t id = std::stoul(match[2]);
        if (id < array.items.size()) return {place_of(array.items[id], indexed(key, id))};
        // A member beyond the declared entries: the array that is too short,
        // or the language section that has none.
        return {place_of(array.is(Kind::none) ? language : array, key)};
    }
    static const std::regex unhandled_type("^Can't handle property type \"(.*)\"\\.$");
    if (std::regex_match(text, match, unhandled_type)) {
        const std::string name = match[1];
        return matching(language, "Properties", [&](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
            const JsonNode& type = entry["Type"];
            if (text_of(type) != name) return std::nullopt;
            return type.is(Kind::none) ? place_of(entry, path) : place_of(type, path + ".Type");
        });
    }
    const auto invalid = bracketed(text, "You have specified an invalid Parameter type: [");
    const auto unrecognised = bracketed(text, "The Parameter type specified was unrecognised: [");
    if (invalid || unrecognised) {
        return matching(language, "Properties", [&](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
            const JsonNode& type = entry["Type"];
            const std::string name = text_of(type);
            const bool fits = invalid ? (name == *invalid && name.rfind('!', 0) == 0)
                                      : (name == *unrecognised && !known_property_type(name));
            if (!fits) return std::nullopt;
            return type.is(Kind::none) ? place_of(entry, path) : place_of(type, path + ".Type");
        });
    }
    if (text == "Detected as custom.") {
        return matching(language, "Properties", [](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
            if (!begins_with_letters(text_of(entry["Type"]), "Custom")) return std::nullopt;
            return place_of(entry["Type"], path + ".Type");
        });
    }
    const auto not_string = [](const JsonNode& entry) { return !entry["DefaultState"].is(Kind::string); };
    if (text == "Warning: no items detected in combobox property.")
        return properties_of_type(language, "Combo Box", [](const JsonNode& e) { return e["Items"].size() == 0; }, "Items");
    if (text == "Invalid or no default string value specified.")
        return properties_of_type(language, "Editbox String", not_string, "DefaultState");
    if (text == "Invalid or no default integer value specified.")
        return properties_of_type(language, "Editbox Number",
                                  [](const JsonNode& e) { return !e["DefaultState"].is(Kind::integer); }, "DefaultState");
    if (text == "Invalid or no default string specified.")
        return properties_of_type(language, "Combo Box", not_string, "DefaultState");
    if (text == "Specified a default string in a combobox property that does not exist in items list.")
        return properties_of_type(language, "Combo Box", [](const JsonNode& e) {
            const std::string wanted = text_of(e["DefaultState"]);
            return std::none_of(e["Items"].items.begin(), e["Items"].items.end(),
                                [&](const JsonNode& item) { return same_letters(text_of(item), wanted); });
        }, "DefaultState");
    if (text == "Invalid or no default checkbox value specified.")
        return properties_of_type(language, "Checkbox",
                                  [](const JsonNode& e) { return !e["DefaultState"].is(Kind::boolean); }, "DefaultState");
    return {};
}

}  // namespace

const JsonNode* primary_language(const JsonNode& root) {
    if (root.members.size() >= 3 && root.members[2].value.is(Kind::object)) return &root.members[2].value;
    for (const auto& [name, value] : root.members)
        if (value.is(Kind::object)) return &value;
    return nullptr;
}

MessagePlaces::MessagePlaces(std::string_view text, const JsonNode* root)
    : text_(text), language_(root ? primary_language(*root) : nullptr) {}

std::optional<DescriptionPlace> MessagePlaces::reader_place(const std::string& text) const {
    static const std::regex line_colon("^(-?\\d+):(-?\\d+): ");
    static const std::regex at_place("\\(at (-?\\d+):(-?\\d+)\\)");
    static const std::regex comment_place("^Line (\\d+), char (\\d+): ");
    std::smatch match;
    if (std::regex_search(text, match, line_colon) || std::regex_search(text, match, at_place)) {
        // The reader counts columns from 0 on the first line and from 1 on later ones.
        const int line = std::stoi(match[1]), column = std::stoi(match[2]);
        return DescriptionPlace{line, line == 1 ? column + 1 : column, {}};
    }
    if (std::regex_search(text, match, comment_place)) {
        // The comment pass gives the line feeds before the comment and its offset in the text.
        const auto [line, column] = line_and_column(text_, std::stoul(match[2]));
        return DescriptionPlace{line, column, {}};
    }
    return std::nullopt;
}

std::optional<DescriptionPlace> MessagePlaces::claim(const sim::MessageBoxCall& box,
                                                     const std::vector<DescriptionPlace>& found) {
    if (found.empty()) return std::nullopt;
    size_t& next = claimed_[box.caption + '\n' + box.text];
    // A message repeated beyond its entries is about the last of them again
    // (a refused record is met again by every later one of its kind).
    const DescriptionPlace& place = found[std::min(next, found.size() - 1)];
    ++next;
    return place;
}

std::optional<DescriptionPlace> MessagePlaces::find(const sim::MessageBoxCall& box) {
    if (auto place = reader_place(box.text)) return place;
    if (!language_) return std::nullopt;
    return claim(box, candidates(*language_, box));
}

}  // namespace plenar::cli
