#include "load/description.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "json/json.h"
#include "platform/module.h"
#include "text/report.h"
#include "sdk.h"

namespace Kvor {

WideChar LanguageCode[3] = L"EN";
bool DescriptionFromDisk = false;

namespace {

constexpr DWORD path_capacity = MAX_PATH;

// GetModuleFileNameW, refusing a path that did not fit rather than using a
// cut one.
bool ModulePath(HMODULE module, WideChar* path) {
    DWORD length = GetModuleFileNameW(module, path, path_capacity);
    if (length == 0 || length >= path_capacity) {
        path[0] = 0;
        return false;
    }
    return true;
}

bool Exists(const WideChar* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Copies `candidate` into `path` when it fits and names an existing file.
bool TryCandidate(WideChar* path, const std::wstring& candidate) {
    if (candidate.size() >= path_capacity || !Exists(candidate.c_str())) return false;
    wcscpy(path, candidate.c_str());
    return true;
}

void ReadHostLanguage() {
    WideChar* host = static_cast<WideChar*>(calloc(path_capacity, sizeof(WideChar)));
    if (!host) return;
    if (ModulePath(nullptr, host)) {
        HMODULE executable =
            LoadLibraryExW(host, nullptr, DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE);
        if (executable) {
            WideChar number[20] = {};
            if (LoadStringW(executable, 720, number, 20) > 0) {
                long language = wcstol(number, nullptr, 10);
                if (language == 1036) wcscpy(LanguageCode, L"FR");
                if (language == 1041) wcscpy(LanguageCode, L"JP");
            }
            FreeLibrary(executable);
        }
    }
    free(host);
}

// The SDK object lives as a function-local static: built once, under the
// thread-safe initialisation of statics, destroyed when the library unloads.
Kvor::SDK& BuildSDK(plenar::HostServices* services, json_value* root, bool& built) {
    static Kvor::SDK sdk((built = true, services), root);
    return sdk;
}

}  // namespace

void SearchDataFile(WideChar* path, const WideChar* suffix) {
    path[0] = 0;
    WideChar library[path_capacity];
    if (!ModulePath(static_cast<HMODULE>(LibraryModule), library)) return;
    std::wstring beside = library;
    size_t dot = beside.rfind(L'.');
    beside = (dot == std::wstring::npos ? beside + L"." : beside.substr(0, dot + 1)) + suffix;
    if (TryCandidate(path, beside)) return;

    size_t separator = beside.find_last_of(L"\\/");
    std::wstring file_name =
        separator == std::wstring::npos ? beside : beside.substr(separator + 1);

    WideChar host_path[path_capacity];
    if (!ModulePath(GetModuleHandleW(nullptr), host_path)) return;
    std::wstring host_folder = host_path;
    size_t host_separator = host_folder.find_last_of(L"\\/");
    host_folder = host_separator == std::wstring::npos ? std::wstring()
                                                       : host_folder.substr(0, host_separator);
    if (TryCandidate(path, host_folder + L"/" + file_name)) return;
    TryCandidate(path, host_folder + L"/Data/Runtime/" + file_name);
}

void FindDataFile(WideChar* path, const WideChar* extension) {
    std::wstring suffix = std::wstring(LanguageCode) + L"." + extension;
    SearchDataFile(path, suffix.c_str());
    if (!path[0]) SearchDataFile(path, extension);
}

DataSource ReadFileOrResource(char*& text, size_t& size, const WideChar* extension, int number) {
    WideChar path[path_capacity];
    FindDataFile(path, extension);
    text = nullptr;
    if (path[0]) {
        FILE* file = _wfopen(path, L"rb");
        if (!file) return data_not_found;
        long length = -1;
        if (fseek(file, 0, SEEK_END) == 0) length = ftell(file);
        char* buffer = nullptr;
        if (length >= 0 && fseek(file, 0, SEEK_SET) == 0)
            buffer = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
        if (buffer && fread(buffer, 1, length, file) != static_cast<size_t>(length)) {
            free(buffer);
            buffer = nullptr;
        }
        fclose(file);
        if (!buffer) return data_not_found;
        buffer[length] = 0;
        text = buffer;
        size = static_cast<size_t>(length);
        return data_from_file;
    }
    if (number == 0) return data_not_found;

    HMODULE module = static_cast<HMODULE>(LibraryModule);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(number), L"KVOR");
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    void* data = loaded ? LockResource(loaded) : nullptr;
    if (data) {
        size = SizeofResource(module, resource);
        text = static_cast<char*>(data);
        return data_from_resource;
    }
    // The extensions asked for ("json", "png") are ASCII.
    const std::string type(extension, extension + wcslen(extension));
    Report(Kvor::message::resource_missing, type.c_str(), number);
    return data_not_found;
}

int32_t Init(plenar::HostServices* services) {
    wcscpy(LanguageCode, L"EN");
    ReadHostLanguage();

    char* found = nullptr;
    size_t size = 0;
    DataSource source = ReadFileOrResource(found, size, L"json", 102);
    if (source == data_not_found) {
        Report(Kvor::message::description_not_found);
        return -1;
    }
    DescriptionFromDisk = source == data_from_file;

    char* text = static_cast<char*>(malloc(size + 1));
    if (text) {
        memcpy(text, found, size);
        text[size] = 0;
    }
    if (source == data_from_file) free(found);
    if (!text) {
        Report(Kvor::message::description_no_memory);
        return -1;
    }

    json_reader_settings settings = {};
    char error[256] = {};
    json_value* root = json_read(&settings, text, size, error, sizeof error);
    if (!root) {
        Report(Kvor::message::description_not_json, error);
        return -1;
    }

    bool built = false;
    Kvor::SDK& sdk = BuildSDK(services, root, built);
    // A later Init reads and checks the description again but keeps the first
    // SDK object, which owns the first tree: this one has no owner.
    if (!built) json_release(root);
    ::SDK = &sdk;
    return 0;
}

}  // namespace Kvor
