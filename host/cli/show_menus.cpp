// The three menus of the event editor as trees, read from the menu copies
// the plug-in hands over (which then belong to the host and are destroyed).
#include <windows.h>
#include <iterator>
#include "output.h"
#include "show_sections.h"

namespace plenar::cli {
namespace {

// Each item with the code the plug-in gives back for its identifier; the
// items as the picture draws them.
std::vector<MenuLine> print_menu(ShowState& show, const char* code_export, HMENU menu, int depth) {
    std::vector<MenuLine> lines;
    const int count = GetMenuItemCount(menu);
    if (count <= 0) print_item("(empty)", depth);
    for (int position = 0; position < count; ++position) {
        const UINT state = GetMenuState(menu, position, MF_BYPOSITION);
        wchar_t text[256] = {};
        GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
        const std::string label = sim::utf8_from_wide(text);
        if (state & MF_SEPARATOR) {
            print_item("----------", depth);
            lines.push_back({MenuLine::Kind::separator, "", false, {}});
        } else if (HMENU popup = GetSubMenu(menu, position)) {
            print_item(padded("popup", 6) + quoted(label), depth);
            lines.push_back({MenuLine::Kind::popup, label, false,
                             print_menu(show, code_export, popup, depth + 1)});
        } else {
            const UINT id = GetMenuItemID(menu, position);
            std::string code;
            if (show.plugin.address(code_export))
                code = "  -> code " +
                       std::to_string(static_cast<int32_t>(
                           show.plugin.call(code_export, show.host.services(), id).value));
            print_item(padded(std::to_string(id), 6) + label +
                           ((state & MF_GRAYED) ? "  (greyed)" : "") + code,
                       depth);
            lines.push_back({MenuLine::Kind::item, label, (state & MF_GRAYED) != 0, {}});
        }
    }
    return lines;
}

}  // namespace

void show_menus(ShowState& state) {
    print_section("Menus");
    const std::pair<const char*, const char*> families[] = {
        {"GetActionMenu", "GetActionCodeFromMenu"},
        {"GetConditionMenu", "GetConditionCodeFromMenu"},
        {"GetExpressionMenu", "GetExpressionCodeFromMenu"}};
    for (size_t family = 0; family < std::size(families); ++family) {
        const auto& [name, code_export] = families[family];
        MenuPreview& shown = state.preview.menus[family];
        if (!exported(state, name)) {
            shown.absent = "(" + std::string(name) + " missing)";
            continue;
        }
        const HMENU menu = reinterpret_cast<HMENU>(
            state.plugin.call(name, state.host.services(), nullptr, state.edit_data).value);
        print_item(std::string(name) + ":");
        if (!menu) {
            print_item("(no menu)", 2);
            shown.absent = "(no menu)";
        } else if (!IsMenu(menu)) {
            print_item("not a menu: " + hex_address(reinterpret_cast<uintptr_t>(menu)), 2);
            shown.absent = "(not a menu)";
        } else {
            shown.items = print_menu(state, code_export, menu, 2);
            DestroyMenu(menu);
        }
        report_message_boxes(state, 2);
    }
}

}  // namespace plenar::cli
