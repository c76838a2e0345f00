#include "menus.h"

#include <cstdint>
#include <vector>
#include "../families.h"
#include "kvor/keys.h"

namespace plenar::cli::lint {
namespace {

using Kind = JsonNode::Kind;
namespace key = Kvor::key;

// The editor's menu numbers are 16-bit ids.
constexpr double highest_id = INT16_MAX;

bool is_submenu(const JsonNode& element) {
    return element.is(Kind::array) && element.items.size() >= 2 &&
           element[size_t(key::submenu::title)].is(Kind::string) &&
           element[size_t(key::submenu::first)].is(Kind::array);
}

class MenuWalk {
public:
    MenuWalk(const Family& family, size_t entries, Findings& findings)
        : family_(family), offered_(entries), findings_(findings) {}

    // Every element of `menu`; a submenu's title is a string, passed over.
    void walk(const JsonNode& menu, const std::string& path) {
        for (size_t i = 0; i < menu.items.size(); ++i) {
            const JsonNode& element = menu.items[i];
            if (element.is(Kind::string)) continue;
            if (is_submenu(element))
                walk(element, indexed(path, i));
            else
                item(element, indexed(path, i));
        }
    }

    bool offered(size_t id) const { return offered_[id]; }

private:
    void item(const JsonNode& element, const std::string& path) {
        const JsonNode& id = element[size_t(key::menu_item::id)];
        if (!element.is(Kind::array)) {
            findings_.add(Rule::menu_to_nowhere, element,
                          "a menu element is [id, text], [title, [...]] or \"Separator\"; "
                          "this one shows nothing",
                          path);
        } else if (!id.is(Kind::integer) || id.number < 0 || id.number > highest_id) {
            findings_.add(Rule::menu_to_nowhere, id.is(Kind::none) ? element : id,
                          std::string("this item has no ") + family_.kind +
                              " id (a whole number from 0 to 32767), so the menu leaves it out",
                          path);
        } else if (static_cast<size_t>(id.number) >= offered_.size()) {
            findings_.add(Rule::menu_to_nowhere, id,
                          std::string("this item offers ") + family_.kind + " " +
                              std::to_string(static_cast<int64_t>(id.number)) + ", but " +
                              family_.entries.name + " has " + std::to_string(offered_.size()) +
                              (offered_.size() == 1 ? " entry" : " entries"),
                          path);
        } else {
            offered_[static_cast<size_t>(id.number)] = true;
        }
    }

    const Family& family_;
    std::vector<bool> offered_;
    Findings& findings_;
};

}  // namespace

void check_menus(const JsonNode& section, Findings& findings) {
    for (const Family& family : families) {
        const JsonNode& entries = section[family.entries.name];
        MenuWalk menu(family, entries.items.size(), findings);
        menu.walk(section[family.menu.name], family.menu.name);
        for (size_t id = 0; id < entries.items.size(); ++id) {
            const JsonNode& entry = entries.items[id];
            if (menu.offered(id) || !entry.is(Kind::object)) continue;
            const std::string& title = entry[key::entry::Title.name].text;
            findings.add(Rule::not_in_a_menu, entry,
                         std::string(family.kind) + " " + std::to_string(id) +
                             (title.empty() ? "" : " \"" + title + "\"") + " is in no " +
                             family.menu.name + ", so the editor never offers it",
                         indexed(family.entries.name, id));
        }
    }
}

}  // namespace plenar::cli::lint
