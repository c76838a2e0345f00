// Where the description a plug-in reads comes from, as the host can tell it:
// its own language, the description files present in the places a plug-in
// looks (language-coded name first, beside the plug-in, in the host's folder,
// in its Data/Runtime folder), the settings file, and the language the
// object's texts then come from.
#include <windows.h>

#include <string>
#include <vector>
#include "output.h"
#include "show_sections.h"

namespace plenar::cli {
namespace {

std::wstring host_language_id() {
    wchar_t text[20] = {};
    LoadStringW(GetModuleHandleW(nullptr), 720, text, 20);
    return text;
}

std::wstring language_code(const std::wstring& id) {
    if (id == L"1036") return L"FR";
    if (id == L"1041") return L"JP";
    return L"EN";
}

std::wstring folder_of(const std::wstring& path) {
    size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> candidates(const std::wstring& plugin, const std::wstring& code) {
    wchar_t host[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, host, MAX_PATH);
    std::wstring host_folder = folder_of(host);
    size_t dot = plugin.rfind(L'.');
    std::wstring stem = dot == std::wstring::npos ? plugin + L"." : plugin.substr(0, dot + 1);
    std::vector<std::wstring> paths;
    for (const std::wstring& suffix : {code + L".json", std::wstring(L"json")}) {
        std::wstring beside = stem + suffix;
        std::wstring name = beside.substr(beside.find_last_of(L"\\/") + 1);
        paths.push_back(beside);
        paths.push_back(host_folder + L"/" + name);
        paths.push_back(host_folder + L"/Data/Runtime/" + name);
    }
    return paths;
}

std::wstring settings_file(const std::wstring& plugin) {
    std::wstring folder = folder_of(plugin);
    if (folder.size() >= 7 && folder.compare(folder.size() - 7, 7, L"Unicode") == 0)
        return folder.substr(0, folder.size() - 7) + L"Tovrandi.ini";
    return folder + L"\\Tovrandi.ini";
}

}  // namespace

void show_description(ShowState& state) {
    print_section("Description");
    std::wstring id = host_language_id();
    std::wstring code = language_code(id);
    print_field("host language", sim::utf8_from_wide(id.empty() ? L"(none)" : id) + " (" +
                                     sim::utf8_from_wide(code) + ")");
    bool found = false;
    for (const std::wstring& path : candidates(state.plugin.path(), code)) {
        if (!exists(path)) continue;
        print_field(found ? "also present" : "read from", sim::utf8_from_wide(path));
        found = true;
    }
    if (!found) print_field("read from", "the plug-in's resource \"KVOR\" 102 (no file found)");
    std::wstring settings = settings_file(state.plugin.path());
    print_field("settings file", exists(settings) ? sim::utf8_from_wide(settings) : "none");
    if (exported(state, "GetObjInfos")) {
        wchar name[260] = {}, other[4][260] = {};
        state.host.set_open_application(true);
        state.plugin.call("GetObjInfos", state.host.services(), nullptr, name, other[0], other[1],
                          other[2], other[3]);
        print_field("language chosen", "the one whose About \"Name\" is " + quoted_wide(name));
        report_message_boxes(state);
    }
}

}  // namespace plenar::cli
