// The loaded library itself: its module handle and its base name, which the
// SDK's message captions carry.
#pragma once

#include <cstddef>
#include <string>

namespace Kvor {

// The library's module handle, stored once by the attach routine.
extern void* LibraryModule;

// The library's file name after its last backslash, without its last four
// characters (".pvx"); at most `limit` - 1 characters.
std::string ModuleBaseName(size_t limit = 260);

}  // namespace Kvor
