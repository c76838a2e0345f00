// Actions, conditions and expressions: ids are positions in their arrays,
// and saved events hold an id and values of the parameter types of its
// record, so an entry keeps its position and its record's types for good.
#include <set>
#include "../families.h"
#include "judge.h"
#include "kvor/types.h"

namespace plenar::cli::compat {
namespace {

using Kind = JsonNode::Kind;

// What the record holds for one parameter.
struct ParameterRecord {
    std::string name;
    uint16_t code = 0;
    Kvor::ArgumentKind kind = Kvor::ArgumentKind::generic;
};

ParameterRecord parameter_record(const JsonNode& parameter, bool expression) {
    ParameterRecord record;
    if (parameter[size_t{0}].is(Kind::string)) record.name = parameter[size_t{0}].text;
    const char* name = record.name.c_str();
    const Kvor::ParameterType* type = expression
                                          ? Kvor::FindType(Kvor::expression_parameter_types, name)
                                          : Kvor::FindType(Kvor::parameter_types, name);
    if (type) {
        record.code = type->code;
        record.kind = type->kind;
    } else if (!expression && Kvor::StartsIgnoringAsciiCase(name, Kvor::custom_type_prefix)) {
        record.code = Kvor::CustomParameterCode(name);
    }
    return record;
}

uint16_t result_code(const JsonNode& entry) {
    const Kvor::ResultType* type =
        Kvor::FindType(Kvor::result_types, entry["Returns"].text.c_str());
    return type ? type->code : 0;
}

bool triggered(const JsonNode& entry) {
    return entry["Triggered"].is(Kind::boolean) && entry["Triggered"].boolean;
}

std::string describe(const ParameterRecord& p) {
    return "\"" + p.name + "\" (code " + std::to_string(p.code) + ")";
}

// The entries a menu offers and its shape, texts included.
struct MenuView {
    std::set<int64_t> offered;
    std::string shape;
};

void read_menu(const JsonNode& menu, size_t first, MenuView& view) {
    for (size_t at = first; at < menu.items.size(); ++at) {
        const JsonNode& item = menu.items[at];
        if (item.is(Kind::string)) {
            if (same_name(item.text, "Separator")) view.shape += "-|";
        } else if (item[size_t{0}].is(Kind::string) && item[size_t{1}].is(Kind::array)) {
            view.shape += item[size_t{0}].text + "{";
            read_menu(item, 1, view);
            view.shape += "}|";
        } else {
            const int64_t id = whole_number(item[size_t{0}]);
            view.offered.insert(id);
            view.shape +=
                std::to_string(id) + "=" + item[size_t{1}].text +
                (item[size_t{2}].is(Kind::boolean) && item[size_t{2}].boolean ? "~" : "") + "|";
        }
    }
}

class EntryComparison {
public:
    EntryComparison(Judge& judge, const Family& family, const JsonNode& before,
                    const JsonNode& after)
        : judge_(judge),
          family_(family),
          before_(before),
          after_(after),
          old_list_(before[family.entries.name]),
          new_list_(after[family.entries.name]) {}

    void run() {
        const std::vector<int> paired = pair_entries(old_list_, new_list_, mode());
        const size_t old_count = count_of(old_list_), new_count = count_of(new_list_);
        if (!judge_.releases() && old_count != new_count)
            report(Rule::section_count_differs, new_list_, family_.entries.name,
                   counted(new_count, family_.kind, family_.plural) + " here, " +
                       std::to_string(old_count) + " " + judge_.reference());
        std::vector<bool> kept(new_count, false);
        for (size_t i = 0; i < old_count; ++i) {
            if (paired[i] >= 0) kept[size_t(paired[i])] = true;
            if (paired[i] == int(i))
                compare_entry(i);
            else if (paired[i] >= 0)
                moved(i, size_t(paired[i]));
            else if (judge_.releases())
                removed(i);
        }
        if (!judge_.releases()) return;
        for (size_t j = 0; j < new_count && j < old_count; ++j)
            if (!kept[j])
                report(Rule::entry_inserted, new_list_[j], path(j),
                       title_of(new_list_[j]) + " inserted as " + id(j) +
                           ": events saved with it now run it instead of " +
                           title_of(old_list_[j]));
        compare_menus(paired);
    }

private:
    Mode mode() const { return judge_.releases() ? Mode::releases : Mode::sections; }
    std::string id(size_t i) const { return std::string(family_.kind) + " " + std::to_string(i); }
    std::string path(size_t i) const { return item_path(family_.entries.name, i); }

    void report(Rule rule, const JsonNode& at, const std::string& where, const std::string& text) {
        judge_.report(rule, at, new_list_.line ? new_list_ : after_, where, text);
    }

    // What events saved with id `i` run now.
    std::string now_running(size_t i) const {
        return i < count_of(new_list_) ? "now run " + title_of(new_list_[i])
                                       : "now name no " + std::string(family_.kind);
    }

    void moved(size_t i, size_t j) {
        report(Rule::entry_moved, new_list_[j], path(j),
               title_of(old_list_[i]) + " moved from " + id(i) + " to " + id(j) +
                   ": events saved with " + id(i) + " " + now_running(i));
    }

    void removed(size_t i) {
        const JsonNode& at = i < count_of(new_list_) ? new_list_[i] : new_list_;
        report(Rule::entry_removed, at, i < count_of(new_list_) ? path(i) : family_.entries.name,
               title_of(old_list_[i]) + " (" + id(i) + ") removed: events saved with it " +
                   now_running(i) + "; keep it in place and drop it from the menus instead");
    }

    void compare_entry(size_t i) {
        const JsonNode& old_entry = old_list_[i];
        const JsonNode& new_entry = new_list_[i];
        const std::string where = path(i);
        if (judge_.releases() && old_entry["Title"].text != new_entry["Title"].text)
            report(Rule::text_changed, new_entry["Title"], where + ".Title",
                   "title " + title_of(old_entry) + " is now " + title_of(new_entry));
        compare_parameters(old_entry, new_entry, where);
        if (std::string(family_.kind) == "condition" &&
            triggered(old_entry) != triggered(new_entry))
            report(judge_.releases() ? Rule::triggered_changed : Rule::section_type_differs,
                   new_entry["Triggered"], where + ".Triggered",
                   std::string("\"Triggered\" is ") + (triggered(new_entry) ? "true" : "false") +
                       " here, " + (triggered(old_entry) ? "true " : "false ") +
                       judge_.reference());
        if (family_.is_expression() && result_code(old_entry) != result_code(new_entry))
            report(judge_.releases() ? Rule::return_type_changed : Rule::section_type_differs,
                   new_entry["Returns"], where + ".Returns",
                   "returns \"" + new_entry["Returns"].text + "\" (code " +
                       std::to_string(result_code(new_entry)) + ") here, \"" +
                       old_entry["Returns"].text + "\" (code " +
                       std::to_string(result_code(old_entry)) + ") " + judge_.reference());
    }

    void compare_parameters(const JsonNode& old_entry, const JsonNode& new_entry,
                            const std::string& where) {
        const JsonNode& old_list = old_entry["Parameters"];
        const JsonNode& new_list = new_entry["Parameters"];
        if (count_of(old_list) != count_of(new_list)) {
            report(judge_.releases() ? Rule::parameter_count_changed : Rule::section_count_differs,
                   new_list.line ? new_list : new_entry, where + ".Parameters",
                   counted(count_of(new_list), "parameter", "parameters") + " here, " +
                       std::to_string(count_of(old_list)) + " " + judge_.reference());
            return;
        }
        for (size_t p = 0; p < count_of(new_list); ++p) {
            const ParameterRecord was = parameter_record(old_list[p], family_.is_expression());
            const ParameterRecord is = parameter_record(new_list[p], family_.is_expression());
            const std::string at = where + ".Parameters[" + std::to_string(p) + "]";
            if (was.code != is.code)
                report(
                    judge_.releases() ? Rule::parameter_type_changed : Rule::section_type_differs,
                    new_list[p], at,
                    "type " + describe(is) + " here, " + describe(was) + " " + judge_.reference());
            else if (was.kind != is.kind)
                report(judge_.releases() ? Rule::number_kind_changed : Rule::section_type_differs,
                       new_list[p], at,
                       "\"" + is.name + "\" here, \"" + was.name + "\" " + judge_.reference() +
                           ": the same code, but the member gets another number");
            else if (judge_.releases() &&
                     old_list[p][size_t{1}].text != new_list[p][size_t{1}].text)
                report(Rule::text_changed, new_list[p][size_t{1}], at,
                       "prompt \"" + old_list[p][size_t{1}].text + "\" is now \"" +
                           new_list[p][size_t{1}].text + "\"");
        }
    }

    void compare_menus(const std::vector<int>& paired) {
        MenuView was, is;
        read_menu(before_[family_.menu.name], 0, was);
        read_menu(after_[family_.menu.name], 0, is);
        const JsonNode& menu = after_[family_.menu.name];
        if (was.shape != is.shape)
            report(Rule::menu_changed, menu, family_.menu.name,
                   std::string(family_.menu.name) + " changed (texts, order or grouping)");
        for (size_t i = 0; i < paired.size(); ++i)
            if (paired[i] == int(i) && was.offered.count(int64_t(i)) &&
                !is.offered.count(int64_t(i)))
                report(Rule::entry_retired, new_list_[i], path(i),
                       title_of(new_list_[i]) + " (" + id(i) +
                           ") is no longer offered in the menus; it stays in place for the events "
                           "saved with it");
    }

    Judge& judge_;
    const Family& family_;
    const JsonNode& before_;
    const JsonNode& after_;
    const JsonNode& old_list_;
    const JsonNode& new_list_;
};

}  // namespace

void compare_entries(Judge& judge, const JsonNode& before, const JsonNode& after) {
    for (const Family& family : families) EntryComparison(judge, family, before, after).run();
}

}  // namespace plenar::cli::compat
