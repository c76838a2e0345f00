#include "platform/module.h"

#include <windows.h>

namespace Kvor {

void* LibraryModule = nullptr;

std::string ModuleBaseName(size_t limit) {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(static_cast<HMODULE>(LibraryModule), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();  // unknown or cut: no name
    const char* slash = strrchr(path, '\\');
    std::string name = slash ? slash + 1 : path;
    name.resize(name.size() > 4 ? name.size() - 4 : 0);
    if (limit > 0 && name.size() > limit - 1) name.resize(limit - 1);
    return name;
}

}  // namespace Kvor
