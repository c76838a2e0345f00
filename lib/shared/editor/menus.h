// The editor menus of actions, conditions and expressions: built once from the
// language object's "ActionMenu", "ConditionMenu" and "ExpressionMenu" arrays,
// kept for the life of the process, and copied afresh for every host request.
// Windows only: these are real Win32 menus. The header leaves <windows.h> out
// (its macros would rename the SDK's own routines where a name is also a Win32 function), so
// handles travel as MenuHandle.
#pragma once

#include <cstdint>

#include "json/json.h"

namespace Kvor {

using MenuHandle = void*;  // a Windows HMENU

// An entry's identifier is its family's base plus its number, the element's
// position in "Actions", "Conditions" or "Expressions".
constexpr int32_t action_menu_base = 25000;
constexpr int32_t condition_menu_base = 26000;
constexpr int32_t expression_menu_base = 27000;

// The stored menus; null until BuildMenus ran and after DestroyMenus.
extern MenuHandle ActionMenu;
extern MenuHandle ConditionMenu;
extern MenuHandle ExpressionMenu;

// Appends one item per element of `array` to `target` (a new menu when null)
// and returns it. Elements: [number, "text", true?] an entry (greyed when the
// third element is true); ["title", [...], ...] a popup filled from the same
// array; the string "Separator" in any letter case a separator line. Elements
// whose identifier could not be taken back to the code the author meant are
// left out (see menus.cpp).
MenuHandle BuildMenuFromJSON(int32_t base, const json_value& array, MenuHandle target);

// Appends to `target` a copy of every item of `source`, popups included;
// texts are cut to 79 characters.
void CopyMenuForHost(MenuHandle target, MenuHandle source);

// Builds the three stored menus from a language object; a missing or empty
// menu array gives an empty menu.
void BuildMenus(const json_value& language);

// Destroys the stored menus (when the SDK object goes with the library).
void DestroyMenus();

}  // namespace Kvor
