// The plug-in's exported functions, with the host's names and conventions.
// The .def file exports them undecorated.
//
// No exception may reach the host: every export that runs any code beyond
// reading its arguments does its work inside Kvor::Guarded, which gives the
// host the export's failure value and the user a message box instead. Only
// Free, GetInfos, GetRunObjectDataSize, UnloadObject, SetEditSize,
// GetObjectRect and the three code-from-menu exports call nothing at all.
#pragma once

#include "plenar/exports.h"
#include "text/guard.h"

#define PLUGIN_EXPORT extern "C"

using plenar::HostServices;
