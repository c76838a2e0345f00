// Wide strings written as lists of UTF-16 units, for the text tests.
#pragma once

#include <initializer_list>

#include "platform/platform.h"

namespace TextTests {

inline Kvor::WideString Units(std::initializer_list<unsigned> units) {
    Kvor::WideString text;
    for (unsigned unit : units) text.push_back(static_cast<Kvor::WideChar>(unit));
    return text;
}

}  // namespace TextTests
