// The plug-in's exported functions, with the host's names and conventions.
// The .def file exports them undecorated.
#pragma once

#include "plenar/exports.h"

#define PLUGIN_EXPORT extern "C"

using plenar::HostServices;
