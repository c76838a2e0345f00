#include <windows.h>

#include <cstring>

#include "platform_spy.h"

namespace TextTests {
namespace {

std::vector<SeenBox> boxes;
std::vector<SeenDebugPiece> debug_pieces;

std::string ToUTF8(const wchar_t* text) {
    if (!text) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string converted(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), length, nullptr, nullptr);
    converted.resize(length > 0 ? length - 1 : 0);
    return converted;
}

int WINAPI SeeMessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT style) {
    boxes.push_back({false, text ? text : "", caption ? caption : "", style});
    return IDOK;
}

int WINAPI SeeMessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT style) {
    boxes.push_back({true, ToUTF8(text), ToUTF8(caption), style});
    return IDOK;
}

void WINAPI SeeOutputDebugStringA(LPCSTR text) {
    debug_pieces.push_back({false, text ? text : ""});
}

void WINAPI SeeOutputDebugStringW(LPCWSTR text) { debug_pieces.push_back({true, ToUTF8(text)}); }

// Points this program's import slot for dll!name at replacement.
bool RedirectImport(const char* dll, const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; import->Name; ++import) {
        if (_stricmp(reinterpret_cast<char*>(base + import->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(by_name->Name), name) != 0) continue;
            DWORD protection;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            slots->u1.Function = reinterpret_cast<DWORD_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

bool RedirectAll() {
    return RedirectImport("user32.dll", "MessageBoxA", reinterpret_cast<void*>(SeeMessageBoxA)) &&
           RedirectImport("user32.dll", "MessageBoxW", reinterpret_cast<void*>(SeeMessageBoxW)) &&
           RedirectImport("kernel32.dll", "OutputDebugStringA",
                          reinterpret_cast<void*>(SeeOutputDebugStringA)) &&
           RedirectImport("kernel32.dll", "OutputDebugStringW",
                          reinterpret_cast<void*>(SeeOutputDebugStringW));
}

}  // namespace

bool StartWatching() {
    static const bool redirected = RedirectAll();
    boxes.clear();
    debug_pieces.clear();
    return redirected;
}

std::vector<SeenBox> SeenBoxes() { return boxes; }

std::vector<SeenDebugPiece> SeenDebugPieces() { return debug_pieces; }

}  // namespace TextTests
