// The library's attach routine: remembers its own module for the SDK.
#include <windows.h>

#include "platform/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH && !Kvor::LibraryModule) {
        Kvor::LibraryModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
