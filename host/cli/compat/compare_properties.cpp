// The property sheet: instances keep their values by position, each value
// as its entry's stored kind, a Combo Box's as its item's position. So an
// entry keeps its position and stored kind for good, and a Combo Box its
// items' positions; only the end of either list may change.
#include "judge.h"
#include "kvor/types.h"

namespace plenar::cli::compat {
namespace {

using Kind = JsonNode::Kind;
using Kvor::PropertyStore;

PropertyStore store_of(const JsonNode& entry) {
    const Kvor::PropertyType* type = Kvor::FindPropertyType(entry["Type"].text.c_str());
    return type ? type->store : PropertyStore::unsupported;
}

Kvor::StoredKind stored_kind(const JsonNode& entry) { return Kvor::StoredKindOf(store_of(entry)); }

const char* kind_name(Kvor::StoredKind kind) {
    static const char* const names[] = {"nothing", "a text", "a number", "an item position",
                                        "a colour"};  // by StoredKind
    return names[static_cast<int>(kind)];
}

bool is_true(const JsonNode& value) { return value.is(Kind::boolean) && value.boolean; }

// Whether a new instance starts with the entry's box ticked.
bool starts_ticked(const JsonNode& entry) {
    return store_of(entry) == PropertyStore::check ? is_true(entry["DefaultState"])
                                                   : is_true(entry["ChkDefault"]);
}

size_t item_position(const JsonNode& items, const std::string& text) {
    for (size_t k = 0; k < items.items.size(); ++k)
        if (same_name(items.items[k].text, text)) return k;
    return items.items.size();
}

// The default a new instance stores, as a text to compare and show.
std::string default_of(const JsonNode& entry) {
    const JsonNode& state = entry["DefaultState"];
    std::string value;
    switch (store_of(entry)) {
        case PropertyStore::text: {
            value = state.text;
            const std::string letter_case = entry["Case"].text;
            for (char& c : value)
                if (same_name(letter_case, "Upper") && c >= 'a' && c <= 'z')
                    c = char(c - 'a' + 'A');
                else if (same_name(letter_case, "Lower"))
                    c = Kvor::AsciiLower(c);
            value = "\"" + value + "\"";
            break;
        }
        case PropertyStore::number:
        case PropertyStore::colour: value = std::to_string(uint32_t(whole_number(state))); break;
        case PropertyStore::choice: {
            const size_t k = state.is(Kind::string) ? item_position(entry["Items"], state.text) : 0;
            value = "item " + std::to_string(k < entry["Items"].size() ? k : 0);
            break;
        }
        default: break;
    }
    if (starts_ticked(entry)) value += value.empty() ? "ticked" : ", ticked";
    return value.empty() ? "unticked" : value;
}

uint32_t check_bytes(size_t count) { return uint32_t((count + 7) / 8); }

class PropertyComparison {
public:
    PropertyComparison(Judge& judge, const JsonNode& before, const JsonNode& after, bool unrecorded)
        : judge_(judge),
          after_(after),
          old_list_(before["Properties"]),
          new_list_(after["Properties"]),
          unrecorded_(unrecorded) {}

    void run() {
        const size_t old_count = count_of(old_list_), new_count = count_of(new_list_);
        const std::vector<int> paired =
            pair_entries(old_list_, new_list_, judge_.releases() ? Mode::releases : Mode::sections);
        if (!judge_.releases() && old_count != new_count)
            report(Rule::section_count_differs, new_list_, "Properties",
                   counted(new_count, "property", "properties") + " here, " +
                       std::to_string(old_count) + " " + judge_.reference());
        std::vector<bool> kept(new_count, false);
        for (size_t i = 0; i < old_count; ++i) {
            if (paired[i] >= 0) kept[size_t(paired[i])] = true;
            if (paired[i] == int(i))
                compare_entry(i);
            else if (paired[i] >= 0)
                report(Rule::property_moved, new_list_[size_t(paired[i])], path(size_t(paired[i])),
                       title_of(old_list_[i]) + " moved from position " + std::to_string(i) +
                           " to " + std::to_string(paired[i]) +
                           ": values are saved by position, so it no longer reads its own");
            else if (i < new_count)
                report(Rule::property_removed, new_list_[i], path(i),
                       title_of(old_list_[i]) + " (position " + std::to_string(i) +
                           ") removed: the entries after it read values saved for others");
            else
                report(Rule::property_removed_at_end, new_list_, "Properties",
                       title_of(old_list_[i]) + " (position " + std::to_string(i) +
                           ") removed from the end: its saved values are dropped");
        }
        if (!judge_.releases()) return;
        for (size_t j = 0; j < new_count; ++j) {
            if (kept[j]) continue;
            if (j < old_count)
                report(Rule::property_inserted, new_list_[j], path(j),
                       title_of(new_list_[j]) + " inserted at position " + std::to_string(j) +
                           ": it reads the value saved for " + title_of(old_list_[j]));
            else if (unrecorded_ && stored_kind(new_list_[j]) == Kvor::StoredKind::nothing &&
                     starts_ticked(new_list_[j]))
                report(Rule::unrecorded_unstored_entry, new_list_[j], path(j),
                       title_of(new_list_[j]) +
                           " added: a saved block without a layout record gives it an unticked "
                           "box, not its ticked default");
        }
        if (unrecorded_ && check_bytes(old_count) != check_bytes(new_count))
            report(Rule::unrecorded_check_bytes, new_list_, "Properties",
                   std::to_string(old_count) + " entries became " + std::to_string(new_count) +
                       ", and their check bytes " + std::to_string(check_bytes(old_count)) +
                       " became " + std::to_string(check_bytes(new_count)) +
                       ": a saved block without a layout record can read wrong values");
    }

private:
    std::string path(size_t i) const { return item_path("Properties", i); }

    void report(Rule rule, const JsonNode& at, const std::string& where, const std::string& text) {
        judge_.report(rule, at, new_list_.line ? new_list_ : after_, where, text);
    }

    void compare_entry(size_t i) {
        const JsonNode& old_entry = old_list_[i];
        const JsonNode& new_entry = new_list_[i];
        const std::string where = path(i);
        const Kvor::StoredKind was = stored_kind(old_entry), is = stored_kind(new_entry);
        if (was != is) {
            report(judge_.releases() ? Rule::property_kind_changed : Rule::section_type_differs,
                   new_entry["Type"], where + ".Type",
                   title_of(new_entry) + " stores " + kind_name(is) + " here, " + kind_name(was) +
                       " " + judge_.reference() +
                       (judge_.releases() ? ": saved values read as its default" : ""));
            return;
        }
        if (!judge_.releases()) {
            if (was == Kvor::StoredKind::choice &&
                count_of(old_entry["Items"]) != count_of(new_entry["Items"]))
                report(Rule::section_count_differs, new_entry["Items"], where + ".Items",
                       counted(count_of(new_entry["Items"]), "item", "items") + " here, " +
                           std::to_string(count_of(old_entry["Items"])) + " " + judge_.reference());
            return;
        }
        if (Kvor::FindPropertyType(old_entry["Type"].text.c_str()) !=
            Kvor::FindPropertyType(new_entry["Type"].text.c_str()))
            report(Rule::property_type_changed, new_entry["Type"], where + ".Type",
                   "type \"" + old_entry["Type"].text + "\" is now \"" + new_entry["Type"].text +
                       "\"; both store " + kind_name(is));
        for (const char* text : {"Title", "Info"})
            if (old_entry[text].text != new_entry[text].text)
                report(Rule::text_changed, new_entry[text], where + "." + text,
                       std::string(text) + " \"" + old_entry[text].text + "\" is now \"" +
                           new_entry[text].text + "\"");
        if (was == Kvor::StoredKind::choice) compare_items(old_entry["Items"], new_entry, where);
        if (default_of(old_entry) != default_of(new_entry))
            report(Rule::default_changed, new_entry["DefaultState"], where + ".DefaultState",
                   "default " + default_of(old_entry) + " is now " + default_of(new_entry) +
                       ": new instances only");
    }

    void compare_items(const JsonNode& was, const JsonNode& new_entry, const std::string& where) {
        const JsonNode& is = new_entry["Items"];
        const JsonNode& fallback = is.line ? is : new_entry;
        for (size_t i = 0; i < was.items.size(); ++i) {
            const std::string& text = was.items[i].text;
            const size_t j = item_position(is, text);
            const std::string at = where + ".Items[" + std::to_string(i) + "]";
            const bool found = j < is.items.size();
            if (found && j == i) continue;
            if (found)
                report(Rule::combo_item_moved, is.items[j],
                       where + ".Items[" + std::to_string(j) + "]",
                       "item \"" + text + "\" moved from " + std::to_string(i) + " to " +
                           std::to_string(j) + ": instances saved with it choose another item");
            else if (i < is.items.size() &&
                     item_position(was, is.items[i].text) == was.items.size())
                report(Rule::text_changed, is.items[i], at,
                       "item \"" + text + "\" is now \"" + is.items[i].text + "\"");
            else
                report(Rule::combo_item_removed, i < is.items.size() ? is.items[i] : fallback,
                       i < is.items.size() ? at : where + ".Items",
                       "item \"" + text + "\" (" + std::to_string(i) +
                           ") removed: instances saved with it choose another item or none");
        }
    }

    Judge& judge_;
    const JsonNode& after_;
    const JsonNode& old_list_;
    const JsonNode& new_list_;
    bool unrecorded_;
};

}  // namespace

void compare_properties(Judge& judge, const JsonNode& before, const JsonNode& after,
                        bool unrecorded) {
    PropertyComparison(judge, before, after, unrecorded).run();
}

std::vector<int> kept_properties(const JsonNode& released, const JsonNode& current) {
    const std::vector<int> paired = pair_entries(released, current, Mode::releases);
    std::vector<int> kept(count_of(current), -1);
    for (size_t i = 0; i < paired.size(); ++i)
        if (paired[i] >= 0 && stored_kind(released[i]) == stored_kind(current[size_t(paired[i])]))
            kept[size_t(paired[i])] = int(i);
    return kept;
}

}  // namespace plenar::cli::compat
