// The library's attach routine: remembers its own module for the SDK.
#include <windows.h>

#include "platform/module.h"

namespace {

// Thread-safe statics share a lock that the C++ runtime makes, through its
// thread library, when the first of them is built; that library cannot
// survive being refused memory there. Building the first one here, while
// the library is loaded, keeps the allocation out of Initialize, whose own
// static (the SDK object) may meet a host short of memory.
void BuildFirstGuardedStatic(HINSTANCE instance) {
    static const HINSTANCE first = instance;
    (void)first;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH && !Kvor::LibraryModule) {
        Kvor::LibraryModule = instance;
        DisableThreadLibraryCalls(instance);
        BuildFirstGuardedStatic(instance);
    }
    return TRUE;
}
