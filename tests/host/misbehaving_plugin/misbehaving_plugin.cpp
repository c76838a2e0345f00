// A tiny plug-in that misbehaves where a test tells it to, without being
// rebuilt: each export first reads misbehaviour.txt beside the plug-in, one
// "EXPORT ACTION" a line, and does every action named for it:
//   print  writes a line to standard output, as a chatty plug-in does
//   crash  writes to an address nothing is mapped at (an access violation)
//   hang   sleeps for ever
//   exit   ends the process with exit code 0, as a plug-in calling exit() does
// and then answers as a quiet plug-in with nothing to offer would, whatever
// the host passed.
#include <windows.h>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

HINSTANCE self;

std::wstring orders_path() {
    wchar_t path[MAX_PATH];
    const std::wstring file(path, GetModuleFileNameW(self, path, MAX_PATH));
    return file.substr(0, file.find_last_of(L"\\/") + 1) + L"misbehaviour.txt";
}

void misbehave(const char* export_name) {
    std::ifstream orders(orders_path().c_str());
    std::string name, action;
    while (orders >> name >> action) {
        if (name != export_name) continue;
        if (action == "print") {
            std::printf("misbehaving plug-in: %s was called\n", export_name);
            std::fflush(stdout);
        } else if (action == "crash") {
            volatile uintptr_t nowhere =
                16;  // read at run time: the compiler cannot call it undefined
            *reinterpret_cast<volatile int*>(nowhere) = 1;
        } else if (action == "hang") {
            for (;;) Sleep(INFINITE);
        } else if (action == "exit") {
            ExitProcess(0);
        }
    }
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

int32_t __stdcall Initialize(void*, int32_t) {
    misbehave("Initialize");
    return 0;
}

void* __stdcall GetActionMenu(void*, void*, void*) {
    misbehave("GetActionMenu");
    return nullptr;
}

int32_t __stdcall Free(void*) {
    misbehave("Free");
    return 0;
}

}  // extern "C"
