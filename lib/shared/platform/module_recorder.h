// Native build only: stand-ins for what a loaded library would tell.
#pragma once

#ifdef _WIN32
#error "module_recorder.h belongs to the native build"
#endif

#include <string>

namespace Kvor {
void SetModuleBaseName(const std::string& name);
}
