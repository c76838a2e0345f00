#include "rules.h"

namespace plenar::cli::compat {

const std::vector<RuleInfo>& all_rules() {
    using S = Severity;
    static const std::vector<RuleInfo> rules = {
        {Rule::identifier_changed, "identifier-changed", S::error,
         "\"Identifier\" changed: saved projects no longer find the object type"},
        {Rule::entry_removed, "entry-removed", S::error,
         "an action, condition or expression removed: saved events still name its id"},
        {Rule::entry_inserted, "entry-inserted", S::error,
         "an entry inserted before the end: saved events with its id now run it"},
        {Rule::entry_moved, "entry-moved", S::error,
         "an entry at another position: saved events with its old id run another entry"},
        {Rule::parameter_count_changed, "parameter-count-changed", S::error,
         "an entry's parameter count changed: saved events hold the old number of values"},
        {Rule::parameter_type_changed, "parameter-type-changed", S::error,
         "a parameter's host type code changed: saved events hold values of the old type"},
        {Rule::return_type_changed, "return-type-changed", S::error,
         "an expression's return type changed: saved events use the old type"},
        {Rule::property_inserted, "property-inserted", S::error,
         "a property inserted before the end: it reads the saved value of another"},
        {Rule::property_moved, "property-moved", S::error,
         "a property at another position: saved values are read by position"},
        {Rule::property_removed, "property-removed", S::error,
         "a property removed before the end: the entries after it read others' values"},
        {Rule::property_kind_changed, "property-kind-changed", S::error,
         "a property now stores another kind of value: its saved value is lost"},
        {Rule::combo_item_removed, "combo-item-removed", S::error,
         "a Combo Box item removed: saved choices of it read another item or none"},
        {Rule::combo_item_moved, "combo-item-moved", S::error,
         "a Combo Box item at another position: saved choices are item positions"},
        {Rule::saved_value_misread, "saved-value-misread", S::error,
         "(--plugin) the plug-in reads a value saved under the released description wrongly"},
        {Rule::section_count_differs, "section-count-differs", S::error,
         "a language section has another number of entries, parameters or items than the first"},
        {Rule::section_type_differs, "section-type-differs", S::error,
         "a language section gives a parameter, result, trigger or stored kind another type"},
        {Rule::property_removed_at_end, "property-removed-at-end", S::warning,
         "a property removed from the end: its saved values are dropped"},
        {Rule::triggered_changed, "triggered-changed", S::warning,
         "a condition's \"Triggered\" changed: events using it run at other times"},
        {Rule::number_kind_changed, "number-kind-changed", S::warning,
         "a parameter changed between Float and Integer: same code, another value"},
        {Rule::unrecorded_check_bytes, "unrecorded-check-bytes", S::warning,
         "no layout record, and the count crosses a multiple of 8: saved values may misread"},
        {Rule::unrecorded_unstored_entry, "unrecorded-unstored-entry", S::warning,
         "no layout record: an appended entry that stores nothing reads unticked, not its default"},
        {Rule::layout_record_dropped, "layout-record-dropped", S::warning,
         "\"LayoutRecord\" turned off: blocks saved from now on cannot be read exactly later"},
        {Rule::default_changed, "default-changed", S::note,
         "a default changed: new instances only, saved ones keep their values"},
        {Rule::text_changed, "text-changed", S::note,
         "a title, prompt, information, item or About text changed"},
        {Rule::menu_changed, "menu-changed", S::note, "a menu changed: its texts or grouping"},
        {Rule::entry_retired, "entry-retired", S::note,
         "an entry kept in its place but no longer offered in the menus: removed safely"},
        {Rule::property_type_changed, "property-type-changed", S::note,
         "a property's type changed, storing the same kind of value"},
        {Rule::section_added, "section-added", S::note, "a language section added"},
        {Rule::section_removed, "section-removed", S::note,
         "a language section removed: a Tovrandi.ini naming it now gets the first"},
    };
    return rules;
}

const RuleInfo& rule_info(Rule rule) { return all_rules()[static_cast<size_t>(rule)]; }

}  // namespace plenar::cli::compat
