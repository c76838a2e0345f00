// Paths as a Linux user types them, made usable by Windows calls under Wine.
#pragma once

#include <string>

namespace plenar::cli {

// An absolute Unix path becomes its Wine drive path; every path becomes
// absolute, with backslashes.
std::wstring windows_path(const std::wstring& argument);

}  // namespace plenar::cli
