#include "editor/menus.h"

#include <windows.h>

#include <cstdlib>
#include <initializer_list>
#include <optional>

#include "kvor/keys.h"
#include "text/converters.h"

namespace Kvor {

MenuHandle ActionMenu = nullptr;
MenuHandle ConditionMenu = nullptr;
MenuHandle ExpressionMenu = nullptr;

namespace {

// Codes reach the host's later calls as signed 16-bit numbers and name
// positions from 0, so an entry's number must be an integer in 0..32767.
// Anything else (a double, a string, a boolean, a number beyond that range,
// an element that is no array, an empty array) is left out rather than turned
// into an item whose identifier would run an element the author never named:
// read as a number, such shapes give the bare base (element 0) or an aliased
// code. Keeping identifiers at base + 0..32767 also keeps them clear of 0 and
// of all bits set, which the copy reads back as a separator and a popup.
constexpr int64_t highest_menu_number = INT16_MAX;

std::optional<int32_t> EntryNumber(const json_value& element) {
    const json_value& number = element[key::menu_item::id];
    if (number.type != json_type_integer) return std::nullopt;
    if (number.u.integer < 0 || number.u.integer > highest_menu_number) return std::nullopt;
    return static_cast<int32_t>(number.u.integer);
}

bool IsSeparatorText(const char* text) {
    static const char separator[] = "separator";
    for (size_t i = 0; i < sizeof separator; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != separator[i]) return false;
    }
    return true;
}

bool IsSubmenu(const json_value& element) {
    return element.type == json_type_array && element.length() >= 2 &&
           element[key::submenu::title].type == json_type_string &&
           element[key::submenu::first].type == json_type_array;
}

// Appends with the text converted to wide; an unconvertible text is empty.
void AppendItem(HMENU target, UINT flags, UINT_PTR identifier, const char* text) {
    WideChar* wide = UTF8ToNewWide(text);
    AppendMenuW(target, flags, identifier, wide ? wide : L"");
    free(wide);
}

void AppendElement(int32_t base, const json_value& element, HMENU target) {
    if (element.type == json_type_string) {
        if (IsSeparatorText(element.text())) AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
        return;
    }
    if (IsSubmenu(element)) {
        // The title is element 0 and is passed over as a plain string while
        // the popup is filled, unless it reads "Separator".
        MenuHandle popup = BuildMenuFromJSON(base, element, CreatePopupMenu());
        AppendItem(target, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                   element[key::submenu::title].text());
        return;
    }
    if (element.type != json_type_array) return;
    std::optional<int32_t> number = EntryNumber(element);
    if (!number) return;
    UINT flags = MF_STRING;
    if (element.length() > 2 && element[key::menu_item::greyed].type == json_type_boolean &&
        element[key::menu_item::greyed].boolean())
        flags |= MF_GRAYED;
    AppendItem(target, flags, static_cast<UINT_PTR>(base + *number),
               element[key::menu_item::text].text());
}

// The state bits of a text item that carry over into the copy.
constexpr UINT copied_state = MF_GRAYED | MF_DISABLED | MF_CHECKED;
constexpr int copy_buffer_length = 80;

// A cut that splits a surrogate pair would leave half a character.
void DropHalfCharacter(WideChar* text, int length) {
    if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
        text[length - 1] = 0;
}

}  // namespace

MenuHandle BuildMenuFromJSON(int32_t base, const json_value& array, MenuHandle target_or_null) {
    HMENU target = target_or_null ? static_cast<HMENU>(target_or_null) : CreateMenu();
    for (uint32_t i = 0; array.type == json_type_array && i < array.length(); ++i)
        AppendElement(base, array[static_cast<int32_t>(i)], target);
    return target;
}

void CopyMenuForHost(MenuHandle target_handle, MenuHandle source_handle) {
    HMENU target = static_cast<HMENU>(target_handle);
    HMENU source = static_cast<HMENU>(source_handle);
    WideChar text[copy_buffer_length];
    int count = GetMenuItemCount(source);
    for (int position = 0; position < count; ++position) {
        UINT identifier = GetMenuItemID(source, position);
        if (identifier == 0) {
            AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        text[0] = 0;
        int length = GetMenuStringW(source, position, text, copy_buffer_length, MF_BYPOSITION);
        DropHalfCharacter(text, length);
        if (identifier == static_cast<UINT>(-1)) {
            HMENU popup = CreatePopupMenu();
            AppendMenuW(target, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), text);
            CopyMenuForHost(popup, GetSubMenu(source, position));
            continue;
        }
        UINT state = GetMenuState(source, position, MF_BYPOSITION) & copied_state;
        AppendMenuW(target, MF_STRING | state, identifier, text);
    }
}

void BuildMenus(const json_value& language) {
    ActionMenu = BuildMenuFromJSON(action_menu_base, language[key::language::ActionMenu], nullptr);
    ConditionMenu =
        BuildMenuFromJSON(condition_menu_base, language[key::language::ConditionMenu], nullptr);
    ExpressionMenu =
        BuildMenuFromJSON(expression_menu_base, language[key::language::ExpressionMenu], nullptr);
}

// The host only ever holds copies, so the stored menus can go with the
// library: a host that loads and unloads the plug-in repeatedly keeps no
// menus behind.
void DestroyMenus() {
    for (MenuHandle* menu : {&ActionMenu, &ConditionMenu, &ExpressionMenu}) {
        if (*menu) DestroyMenu(static_cast<HMENU>(*menu));
        *menu = nullptr;
    }
}

}  // namespace Kvor
