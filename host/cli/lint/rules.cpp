#include "rules.h"

namespace plenar::cli::lint {
namespace {

// In the order of Rule.
const RuleInfo rules[] = {
    // a key the SDK does not read where it stands
    {"unknown-key", Severity::error},
    // a key the SDK reads, holding a kind of value it makes nothing of
    {"wrong-kind", Severity::error},
    // a menu item whose id has no entry, or that has no id at all
    {"menu-to-nowhere", Severity::error},
    // an entry no menu offers
    {"not-in-a-menu", Severity::note},
    // a %N in a display string with no parameter N (%0 is the first)
    {"placeholder-beyond-parameters", Severity::warning},
    // more than 1000 properties: identifiers wrap onto the first ones
    {"too-many-properties", Severity::error},
    // a UTF-8 byte-order mark, which the SDK's reader refuses
    {"byte-order-mark", Severity::error},
};

}  // namespace

const RuleInfo& rule_info(Rule rule) { return rules[static_cast<size_t>(rule)]; }

void Findings::add(Rule rule, int line, int column, std::string text, std::string path) {
    const RuleInfo& info = rule_info(rule);
    found_.add(
        {info.severity, line, column, info.name, std::move(text), std::move(path), section_});
}

std::string indexed(const std::string& path, size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

std::string member(const std::string& path, const std::string& name) {
    return path.empty() ? name : path + "." + name;
}

}  // namespace plenar::cli::lint
