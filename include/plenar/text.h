// Wide text of the Plenar interface: UTF-16 code units, NUL-terminated.
#pragma once

#include "abi.h"

namespace plenar {
#if defined(_WIN32)
using wchar = wchar_t;
#else
using wchar = char16_t;  // wchar_t is 32 bits on Linux
#endif
static_assert(sizeof(wchar) == 2);
}  // namespace plenar
