// The rules by which a description is judged against a released one (and
// the language sections of one description against its first): each with
// its name, as diagnostics and CI filters carry it, its severity, and what
// it means for what users saved.
#pragma once

#include <vector>
#include "../diagnostics.h"

namespace plenar::cli::compat {

enum class Rule {
    identifier_changed,
    entry_removed,
    entry_inserted,
    entry_moved,
    parameter_count_changed,
    parameter_type_changed,
    return_type_changed,
    property_inserted,
    property_moved,
    property_removed,
    property_kind_changed,
    combo_item_removed,
    combo_item_moved,
    saved_value_misread,
    section_count_differs,
    section_type_differs,
    property_removed_at_end,
    triggered_changed,
    number_kind_changed,
    unrecorded_check_bytes,
    unrecorded_unstored_entry,
    layout_record_dropped,
    default_changed,
    text_changed,
    menu_changed,
    entry_retired,
    property_type_changed,
    section_added,
    section_removed,
};

struct RuleInfo {
    Rule rule;
    const char* name;
    Severity severity;
    const char* meaning;  // one line
};

// Every rule, in the order of the enumeration.
const std::vector<RuleInfo>& all_rules();
const RuleInfo& rule_info(Rule rule);

}  // namespace plenar::cli::compat
