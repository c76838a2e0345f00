#include "compare.h"

#include "judge.h"

namespace plenar::cli::compat {
namespace {

using Kind = JsonNode::Kind;

bool records_layout(const JsonNode& section) {
    return section["LayoutRecord"].is(Kind::boolean) && section["LayoutRecord"].boolean;
}

// The language sections' names, in document order.
std::vector<std::string> section_names(const JsonNode& description) {
    std::vector<std::string> names;
    for (const JsonMember& member : description.members)
        if (member.value.is(Kind::object)) names.push_back(member.name);
    return names;
}

std::string name_of(const JsonNode& description, const JsonNode* section) {
    for (const JsonMember& member : description.members)
        if (&member.value == section) return member.name;
    return {};
}

// The four bytes projects save the object type under.
std::string identifier_of(const JsonNode& description) {
    return description["Identifier"].text.substr(0, 4);
}

// The About texts: shown by the host's object information, saved nowhere.
void compare_about(Judge& judge, const JsonNode& before, const JsonNode& after) {
    const JsonNode& was = before["About"];
    const JsonNode& is = after["About"];
    for (const JsonMember& member : is.members)
        if (member.value.text != was[member.name].text)
            judge.report(Rule::text_changed, member.value, after, "About." + member.name,
                         "About " + member.name + " \"" + was[member.name].text + "\" is now \"" +
                             member.value.text + "\"");
}

}  // namespace

const JsonNode* first_section(const JsonNode& description) {
    for (const JsonMember& member : description.members)
        if (member.value["About"]["Name"].is(Kind::string)) return &member.value;
    if (description.members.empty() || !description.members.back().value.is(Kind::object))
        return nullptr;
    return &description.members.back().value;
}

void compare_releases(const JsonNode& released, const JsonNode& current, Diagnostics& found) {
    Judge whole(found, Mode::releases, "", "before");
    if (identifier_of(released) != identifier_of(current))
        whole.report(Rule::identifier_changed, current["Identifier"], current, "Identifier",
                     "\"" + identifier_of(current) + "\" here, \"" + identifier_of(released) +
                         "\" before: saved instances name the object type by it");
    const JsonNode* old_first = first_section(released);
    const JsonNode* new_first = first_section(current);
    const std::string old_first_name = old_first ? name_of(released, old_first) : "";
    const std::string new_first_name = new_first ? name_of(current, new_first) : "";
    if (old_first && new_first && records_layout(*old_first) && !records_layout(*new_first))
        Judge(found, Mode::releases, new_first_name, "before")
            .report(Rule::layout_record_dropped, (*new_first)["LayoutRecord"], *new_first,
                    "LayoutRecord",
                    "blocks saved from now on carry no layout record, so later changes to the "
                    "sheet cannot be read exactly");
    // A first section that was renamed is still the one instances are stored by.
    const bool first_renamed = old_first && new_first &&
                               !current[old_first_name].is(Kind::object) &&
                               !released[new_first_name].is(Kind::object);
    for (const std::string& name : section_names(current)) {
        const JsonNode& section = current[name];
        Judge judge(found, Mode::releases, name, "before");
        const bool renamed = first_renamed && &section == new_first;
        const JsonNode& before = renamed ? *old_first : released[name];
        if (!before.is(Kind::object)) {
            judge.report(Rule::section_added, section, current, "", "language section added");
            continue;
        }
        if (renamed)
            judge.report(Rule::section_added, section, current, "",
                         "the first language section, compared with \"" + old_first_name +
                             "\", the first before");
        compare_about(judge, before, section);
        compare_entries(judge, before, section);
        const bool stored_by = &before == old_first && &section == new_first;
        compare_properties(judge, before, section, stored_by && !records_layout(*old_first));
    }
    for (const std::string& name : section_names(released))
        if (!current[name].is(Kind::object) && !(first_renamed && name == old_first_name))
            Judge(found, Mode::releases, name, "before")
                .report(Rule::section_removed, current, current, "",
                        "language section removed: a Tovrandi.ini naming it now gets \"" +
                            new_first_name + "\"");
}

void compare_sections(const JsonNode& description, Diagnostics& found) {
    const JsonNode* first = first_section(description);
    if (!first) return;
    const std::string reference = "in \"" + name_of(description, first) + "\"";
    for (const std::string& name : section_names(description)) {
        const JsonNode& section = description[name];
        if (&section == first) continue;
        Judge judge(found, Mode::sections, name, reference);
        compare_entries(judge, *first, section);
        compare_properties(judge, *first, section, false);
    }
}

}  // namespace plenar::cli::compat
