#include "plenar_sim/temp_folder.h"

#include <windows.h>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include "plenar_sim/utf8.h"

namespace plenar::sim {
namespace {

void remove_tree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                remove_tree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::wstring file_name_of(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::wstring(base) + L"plenar-sim-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + utf8_from_wide(path_));
    }
}

TempFolder::~TempFolder() { remove_tree(path_); }

std::wstring TempFolder::file(std::wstring_view name) const {
    return path_ + L"\\" + std::wstring(name);
}

std::wstring TempFolder::place_copy(const std::wstring& source, std::wstring_view name) {
    const std::wstring target = file(name.empty() ? file_name_of(source) : std::wstring(name));
    if (!CopyFileW(source.c_str(), target.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + utf8_from_wide(source) + " to " +
                                 utf8_from_wide(target));
    return target;
}

std::wstring TempFolder::write_file(std::wstring_view name, std::string_view bytes) {
    const std::wstring target = file(name);
    HANDLE handle = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        handle != INVALID_HANDLE_VALUE &&
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    if (!ok) throw std::runtime_error("cannot write " + utf8_from_wide(target));
    return target;
}

std::wstring program_folder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::string read_file(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace plenar::sim
