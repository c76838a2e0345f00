#include "plenar_sim/resources.h"

#include <windows.h>
#include <cstdio>
#include "plenar_sim/utf8.h"

namespace plenar::sim {
namespace {

std::string type_text(LPCWSTR type) {
    if (!IS_INTRESOURCE(type)) return utf8_from_wide(type);
    switch (reinterpret_cast<uintptr_t>(type)) {
        case 1: return "CURSOR";
        case 2: return "BITMAP";
        case 3: return "ICON";
        case 4: return "MENU";
        case 5: return "DIALOG";
        case 6: return "STRING";
        case 10: return "RCDATA";
        case 12: return "GROUP_CURSOR";
        case 14: return "GROUP_ICON";
        case 16: return "VERSION";
        case 24: return "MANIFEST";
        default:
            return std::string(1, '#').append(std::to_string(reinterpret_cast<uintptr_t>(type)));
    }
}

std::string name_text(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) return std::to_string(reinterpret_cast<uintptr_t>(name));
    return utf8_from_wide(name);
}

std::vector<uint8_t> bytes_of(HMODULE module, HRSRC resource) {
    HGLOBAL loaded = LoadResource(module, resource);
    const auto* data = static_cast<const uint8_t*>(LockResource(loaded));
    return std::vector<uint8_t>(data, data + SizeofResource(module, resource));
}

struct Listing {
    HMODULE module;
    std::vector<ResourceEntry>* entries;
    LPCWSTR type = nullptr;
    LPCWSTR name = nullptr;
};

BOOL CALLBACK each_language(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR p) {
    auto* listing = reinterpret_cast<Listing*>(p);
    ResourceEntry entry;
    entry.type = type_text(type);
    entry.name = name_text(name);
    entry.type_id =
        IS_INTRESOURCE(type) ? static_cast<uint16_t>(reinterpret_cast<uintptr_t>(type)) : 0;
    entry.id = IS_INTRESOURCE(name) ? static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name)) : 0;
    entry.language = language;
    if (HRSRC resource = FindResourceExW(module, type, name, language))
        entry.bytes = bytes_of(module, resource);
    listing->entries->push_back(std::move(entry));
    return TRUE;
}

BOOL CALLBACK each_name(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR p) {
    EnumResourceLanguagesW(module, type, name, &each_language, p);
    return TRUE;
}

BOOL CALLBACK each_type(HMODULE module, LPWSTR type, LONG_PTR p) {
    EnumResourceNamesW(module, type, &each_name, p);
    return TRUE;
}

std::string query_string(const std::vector<uint8_t>& block, const std::string& path) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring wide = wide_from_utf8(path);
    if (!VerQueryValueW(block.data(), wide.c_str(), &value, &length) || !value || !length)
        return {};
    return utf8_from_wide(static_cast<const wchar_t*>(value));
}

}  // namespace

std::vector<ResourceEntry> list_resources(void* module) {
    std::vector<ResourceEntry> entries;
    Listing listing{static_cast<HMODULE>(module), &entries};
    EnumResourceTypesW(listing.module, &each_type, reinterpret_cast<LONG_PTR>(&listing));
    return entries;
}

std::optional<std::vector<uint8_t>> find_resource(void* module, const wchar_t* type, uint16_t id) {
    auto* handle = static_cast<HMODULE>(module);
    HRSRC resource = FindResourceW(handle, MAKEINTRESOURCEW(id), type);
    if (!resource) return std::nullopt;
    return bytes_of(handle, resource);
}

std::vector<std::string> string_table_block(const std::vector<uint8_t>& bytes) {
    // Sixteen counted UTF-16 strings, each a length word then its units.
    std::vector<std::string> strings;
    size_t at = 0;
    while (strings.size() < 16 && at + 2 <= bytes.size()) {
        const uint16_t length = static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
        at += 2;
        std::wstring text;
        for (uint16_t i = 0; i < length && at + 2 <= bytes.size(); ++i, at += 2)
            text.push_back(static_cast<wchar_t>(bytes[at] | (bytes[at + 1] << 8)));
        strings.push_back(utf8_from_wide(text));
    }
    return strings;
}

VersionInfo read_version_info(const std::wstring& path) {
    VersionInfo info;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (!size) return info;
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return info;
    info.present = true;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        const DWORD words[4] = {fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                                fixed->dwProductVersionMS, fixed->dwProductVersionLS};
        for (int i = 0; i < 2; ++i) {
            info.file_version[2 * i] = HIWORD(words[i]);
            info.file_version[2 * i + 1] = LOWORD(words[i]);
            info.product_version[2 * i] = HIWORD(words[2 + i]);
            info.product_version[2 * i + 1] = LOWORD(words[2 + i]);
        }
        info.file_type = fixed->dwFileType;
        info.file_os = fixed->dwFileOS;
    }

    const WORD* translation = nullptr;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(const_cast<WORD**>(&translation)), &length) &&
        translation && length >= 4) {
        char text[9];
        snprintf(text, sizeof text, "%04X%04X", translation[0], translation[1]);
        info.translation = text;
    } else {
        info.translation = "040904B0";
    }
    for (const char* name :
         {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
          "OriginalFilename", "ProductName", "ProductVersion"}) {
        std::string value =
            query_string(block, "\\StringFileInfo\\" + info.translation + "\\" + name);
        if (!value.empty()) info.strings[name] = std::move(value);
    }
    return info;
}

}  // namespace plenar::sim
