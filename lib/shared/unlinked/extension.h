// The run-time object of the object type with nothing linked: every action,
// condition and expression reaches the SDK's fallbacks, which do nothing.
#pragma once

#include "kvor/extension.h"

class Extension {
public:
    Extension(plenar::RunObjectHeader* run_data, void* edit_data, void* creation);
    Extension(const Extension&) = delete;
    Extension& operator=(const Extension&) = delete;

    Kvor::Runtime Runtime;
    Kvor::Debugger Debugger;
};
