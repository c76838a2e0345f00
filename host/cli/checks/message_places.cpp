#include "message_places.h"

#include "kvor/types.h"
#include "message_match.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <regex>
#include <vector>

namespace plenar::cli {
namespace {

using Kind = JsonNode::Kind;

bool same_letters(std::string_view a, std::string_view b) {
    return Kvor::SameIgnoringAsciiCase(std::string(a).c_str(), std::string(b).c_str());
}

bool known_parameter_type(std::string_view name, bool expression) {
    const std::string type(name);
    if (expression)
        return Kvor::FindType(Kvor::expression_parameter_types, type.c_str()) != nullptr;
    return Kvor::StartsIgnoringAsciiCase(type.c_str(), Kvor::custom_type_prefix) ||
           Kvor::FindType(Kvor::parameter_types, type.c_str()) != nullptr;
}

bool known_return_type(std::string_view name) {
    return Kvor::FindType(Kvor::result_types, std::string(name).c_str()) != nullptr;
}

bool known_property_type(std::string_view name) {
    return Kvor::AcceptedPropertyType(std::string(name).c_str());
}

const char* family_key(std::string_view kind) {
    if (kind == "action") return "Actions";
    if (kind == "condition") return "Conditions";
    return "Expressions";
}

DescriptionPlace place_of(const JsonNode& node, std::string path) {
    return {node.line, node.column, std::move(path)};
}

std::string indexed(const std::string& key, size_t index) {
    return key + "[" + std::to_string(index) + "]";
}

std::string text_of(const JsonNode& node) {
    return node.is(Kind::string) ? node.text : std::string();
}

// Every entry of a language array with its path, for a predicate to choose from.
using EntryTest =
    std::function<std::optional<DescriptionPlace>(const JsonNode&, const std::string&)>;

std::vector<DescriptionPlace> matching(const JsonNode& language, const std::string& key,
                                       const EntryTest& test) {
    std::vector<DescriptionPlace> places;
    const JsonNode& array = language[key];
    for (size_t i = 0; i < array.items.size(); ++i)
        if (auto place = test(array.items[i], indexed(key, i))) places.push_back(*place);
    return places;
}

std::vector<DescriptionPlace> properties_of_type(const JsonNode& language, std::string_view type,
                                                 const std::function<bool(const JsonNode&)>& wrong,
                                                 const char* member) {
    return matching(
        language, "Properties",
        [&](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
            if (!same_letters(text_of(entry["Type"]), type) || !wrong(entry)) return std::nullopt;
            const JsonNode& value = entry[member];
            return value.is(Kind::none) ? place_of(entry, path)
                                        : place_of(value, path + "." + member);
        });
}

// The candidates a message of the record or property code may be about.
std::vector<DescriptionPlace> candidates(const JsonNode& language, const sim::MessageBoxCall& box) {
    namespace message = Kvor::message;
    const auto is = [&](const Kvor::Message& m) { return match_message(m, box.caption, box.text); };
    if (const auto m = is(message::unknown_parameter_type)) {
        const std::string& name = m->arguments[0];
        std::vector<DescriptionPlace> places;
        for (const char* key : {"Actions", "Conditions", "Expressions"}) {
            const bool expression = std::string_view(key) == "Expressions";
            auto found = matching(
                language, key,
                [&](const JsonNode& entry,
                    const std::string& path) -> std::optional<DescriptionPlace> {
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
    if (const auto m = is(message::unknown_return_type)) {
        const std::string& name = m->arguments[0];
        return matching(
            language, "Expressions",
            [&](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
                const JsonNode& returns = entry["Returns"];
                if (text_of(returns) != name || known_return_type(name) || !entry.is(Kind::object))
                    return std::nullopt;
                return returns.is(Kind::none) ? place_of(entry, path)
                                              : place_of(returns, path + ".Returns");
            });
    }
    if (const auto m = is(message::too_many_parameters)) {
        return matching(
            language, family_key(m->kind),
            [](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
                const JsonNode& parameters = entry["Parameters"];
                if (parameters.size() <= size_t(Kvor::MaxParameters)) return std::nullopt;
                return place_of(parameters, path + ".Parameters");
            });
    }
    if (const auto m = is(message::entry_not_object)) {
        return matching(
            language, family_key(m->kind),
            [](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
                if (entry.is(Kind::object)) return std::nullopt;
                return place_of(entry, path);
            });
    }
    auto linked = is(message::link_mismatch);
    if (!linked) linked = is(message::link_beyond_declared);
    if (linked) {
        const std::string key = family_key(linked->kind);
        const JsonNode& array = language[key];
        // The id comes from the plug-in's text: anything but a number is no place.
        const std::string& text = linked->arguments[1];
        size_t id = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
        if (error != std::errc{} || end != text.data() + text.size()) return {};
        if (id < array.items.size()) return {place_of(array.items[id], indexed(key, id))};
        // A member beyond the declared entries: the array that is too short,
        // or the language section that has none.
        return {place_of(array.is(Kind::none) ? language : array, key)};
    }
    if (const auto m = is(message::unhandled_property_type)) {
        const std::string& name = m->arguments[0];
        return matching(
            language, "Properties",
            [&](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
                const JsonNode& type = entry["Type"];
                if (text_of(type) != name) return std::nullopt;
                return type.is(Kind::none) ? place_of(entry, path) : place_of(type, path + ".Type");
            });
    }
    const auto refused = is(message::refused_property_type);
    const auto unrecognised = is(message::unknown_property_type);
    if (refused || unrecognised) {
        const std::string& wanted = (refused ? refused : unrecognised)->arguments[0];
        return matching(
            language, "Properties",
            [&](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
                const JsonNode& type = entry["Type"];
                const std::string name = text_of(type);
                const bool fits = refused ? (name == wanted && name.rfind('!', 0) == 0)
                                          : (name == wanted && !known_property_type(name));
                if (!fits) return std::nullopt;
                return type.is(Kind::none) ? place_of(entry, path) : place_of(type, path + ".Type");
            });
    }
    if (is(message::custom_property)) {
        return matching(
            language, "Properties",
            [](const JsonNode& entry, const std::string& path) -> std::optional<DescriptionPlace> {
                if (!Kvor::IsCustomProperty(text_of(entry["Type"]).c_str())) return std::nullopt;
                return place_of(entry["Type"], path + ".Type");
            });
    }
    const auto not_string = [](const JsonNode& entry) {
        return !entry["DefaultState"].is(Kind::string);
    };
    if (is(message::combo_without_items))
        return properties_of_type(
            language, "Combo Box", [](const JsonNode& e) { return e["Items"].size() == 0; },
            "Items");
    if (is(message::default_text_invalid))
        return properties_of_type(language, "Editbox String", not_string, "DefaultState");
    if (is(message::default_number_invalid))
        return properties_of_type(
            language, "Editbox Number",
            [](const JsonNode& e) { return !e["DefaultState"].is(Kind::integer); }, "DefaultState");
    if (is(message::default_choice_invalid))
        return properties_of_type(language, "Combo Box", not_string, "DefaultState");
    if (is(message::default_choice_not_an_item))
        return properties_of_type(
            language, "Combo Box",
            [](const JsonNode& e) {
                const std::string wanted = text_of(e["DefaultState"]);
                return std::none_of(
                    e["Items"].items.begin(), e["Items"].items.end(),
                    [&](const JsonNode& item) { return same_letters(text_of(item), wanted); });
            },
            "DefaultState");
    if (is(message::default_check_invalid))
        return properties_of_type(
            language, "Checkbox",
            [](const JsonNode& e) { return !e["DefaultState"].is(Kind::boolean); }, "DefaultState");
    return {};
}

}  // namespace

const JsonNode* primary_language(const JsonNode& root) {
    if (root.members.size() >= 3 && root.members[2].value.is(Kind::object))
        return &root.members[2].value;
    for (const auto& [name, value] : root.members)
        if (value.is(Kind::object)) return &value;
    return nullptr;
}

std::vector<const JsonMember*> language_sections(const JsonNode& root) {
    std::vector<const JsonMember*> sections;
    for (const JsonMember& member : root.members)
        if (member.value.is(Kind::object)) sections.push_back(&member);
    return sections;
}

MessagePlaces::MessagePlaces(std::string_view text, const JsonNode* root, const JsonNode* section)
    : text_(text),
      language_(section ? section
                : root  ? primary_language(*root)
                        : nullptr) {}

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
