// Native stand-in: there is no loaded library, so the base name is the one
// tests set (by default "Object").
#include "platform/module.h"
#include "platform/module_recorder.h"

namespace Kvor {

void* LibraryModule = nullptr;

static std::string& StandInBaseName() {
    static std::string name = "Object";
    return name;
}

void SetModuleBaseName(const std::string& name) { StandInBaseName() = name; }

std::string ModuleBaseName(size_t limit) {
    std::string name = StandInBaseName();
    if (limit > 0 && name.size() > limit - 1) name.resize(limit - 1);
    return name;
}

}  // namespace Kvor
