// Native build only: the stand-in settings file for tests.
#pragma once

#ifdef _WIN32
#error "settings_file_recorder.h belongs to the native build"
#endif

#include "platform/settings_file.h"

namespace Kvor {
void SetSettingsFile(SettingsRead state, const std::string& text = std::string());
int SettingsFileReads();  // how often the file was looked for
}  // namespace Kvor
