#include "paths.h"

#include <windows.h>
#include "plenar_sim/utf8.h"

namespace plenar::cli {
namespace {

// Wine's own conversion, when running under Wine.
std::wstring dos_path_from_unix(const std::wstring& path) {
    using Convert = wchar_t*(CDECL*)(const char*);
    static const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!convert) return path;
    wchar_t* dos = convert(sim::utf8_from_wide(path).c_str());
    if (!dos) return path;
    std::wstring result = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

}  // namespace

std::wstring windows_path(const std::wstring& argument) {
    std::wstring path =
        !argument.empty() && argument[0] == L'/' ? dos_path_from_unix(argument) : argument;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::wstring(full, length) : path;
}

}  // namespace plenar::cli
