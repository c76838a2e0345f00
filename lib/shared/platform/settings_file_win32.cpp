#include "platform/settings_file.h"

#include <windows.h>
#include <share.h>
#include <cstdio>

#include "platform/module.h"

namespace Kvor {

SettingsRead ReadSettingsFile(std::string& text) {
    char library[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(static_cast<HMODULE>(LibraryModule), library, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return SettingsRead::absent;
    std::string path = SettingsFilePath(library, MAX_PATH);
    if (path.empty()) return SettingsRead::absent;  // would not fit: treated as no file

    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? SettingsRead::absent
                                                      : SettingsRead::unavailable;

    FILE* file = _fsopen(path.c_str(), "rb", _SH_DENYWR);
    if (!file) return SettingsRead::unreadable;
    SettingsRead result = SettingsRead::unreadable;
    if (fseek(file, 0, SEEK_END) == 0) {
        long size = ftell(file);
        if (size >= 0 && fseek(file, 0, SEEK_SET) == 0) {
            try {
                text.assign(static_cast<size_t>(size), '\0');
                if (fread(text.data(), 1, text.size(), file) == text.size())
                    result = SettingsRead::read;
            } catch (const std::bad_alloc&) {}
        }
    }
    fclose(file);
    return result;
}

}  // namespace Kvor
