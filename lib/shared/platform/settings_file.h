// The SDK's optional settings file, Tovrandi.ini, found from the library's
// folder (a library in a folder named "Unicode" uses the parent's file).
#pragma once

#include <string>

namespace Kvor {

enum class SettingsRead {
    absent,       // no such file: the quiet, usual case
    unavailable,  // its attributes could not be read for another reason
    unreadable,   // it exists but could not be opened or read whole
    read,
};

SettingsRead ReadSettingsFile(std::string& text);

// Where the settings file of a library at `library_path` lies: the last
// separator's folder, or its parent when that folder is named "Unicode".
// Empty when the result would not fit `limit` characters with its terminator.
std::string SettingsFilePath(const std::string& library_path, size_t limit = 260);

}  // namespace Kvor
