// The editor menus: a fresh copy of the stored menu for every request, and
// the way back from a chosen item's identifier to its code.
#include <cstdint>

#include "export_glue.h"
#include "load/host_version.h"
#include "editor/menus.h"

#include <windows.h>

namespace {
plenar::Menu CopyForHost(HostServices* services, Kvor::MenuHandle stored) {
    return Kvor::Guarded(static_cast<plenar::Menu>(nullptr), [&]() -> plenar::Menu {
        if (!Kvor::HostIsCompatible(services)) return nullptr;
        HMENU copy = CreatePopupMenu();
        // Before Initialize nothing is stored yet: the host gets an empty menu.
        if (copy && stored) Kvor::CopyMenuForHost(copy, stored);
        return copy;
    });
}

// The code of the item `menu_id`: the identifier less its family's base. An
// identifier so far below the base that the difference leaves the 32-bit range
// names no item of ours and gets -1, which names none either.
int32_t CodeFromMenu(int32_t menu_id, int32_t base) {
    const int64_t code = int64_t(menu_id) - base;
    return code < INT32_MIN ? -1 : static_cast<int32_t>(code);
}
}  // namespace

PLUGIN_EXPORT plenar::Menu PLENAR_STDCALL GetActionMenu(HostServices* services, void*, void*) {
    return CopyForHost(services, Kvor::ActionMenu);
}

PLUGIN_EXPORT plenar::Menu PLENAR_STDCALL GetConditionMenu(HostServices* services, void*, void*) {
    return CopyForHost(services, Kvor::ConditionMenu);
}

PLUGIN_EXPORT plenar::Menu PLENAR_STDCALL GetExpressionMenu(HostServices* services, void*, void*) {
    return CopyForHost(services, Kvor::ExpressionMenu);
}

PLUGIN_EXPORT int32_t PLENAR_STDCALL GetActionCodeFromMenu(HostServices*, int32_t menu_id) {
    return CodeFromMenu(menu_id, Kvor::action_menu_base);
}

PLUGIN_EXPORT int32_t PLENAR_STDCALL GetConditionCodeFromMenu(HostServices*, int32_t menu_id) {
    return CodeFromMenu(menu_id, Kvor::condition_menu_base);
}

PLUGIN_EXPORT int32_t PLENAR_STDCALL GetExpressionCodeFromMenu(HostServices*, int32_t menu_id) {
    return CodeFromMenu(menu_id, Kvor::expression_menu_base);
}
