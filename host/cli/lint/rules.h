// The rules of check's lint pass, stated once: the name each finding
// carries as its rule, how grave it is and what it finds.
#pragma once

#include <string>
#include "../diagnostics.h"
#include "../json_places.h"

namespace plenar::cli::lint {

enum class Rule {
    unknown_key,
    wrong_kind,
    menu_to_nowhere,
    not_in_a_menu,
    placeholder_beyond_parameters,
    too_many_properties,
    byte_order_mark,
};

struct RuleInfo {
    const char* name;
    Severity severity;
};

const RuleInfo& rule_info(Rule rule);

// The findings of one language section (or of the root): each placed, and
// named by the section when the description has more than one.
class Findings {
public:
    Findings(Diagnostics& found, std::string section)
        : found_(found), section_(std::move(section)) {}

    void add(Rule rule, int line, int column, std::string text, std::string path);
    void add(Rule rule, const JsonNode& at, std::string text, std::string path) {
        add(rule, at.line, at.column, std::move(text), std::move(path));
    }

private:
    Diagnostics& found_;
    std::string section_;
};

// "Actions[2]", "Actions[2].Title": a step added to a path.
std::string indexed(const std::string& path, size_t index);
std::string member(const std::string& path, const std::string& name);

}  // namespace plenar::cli::lint
