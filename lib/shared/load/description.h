// Finding, reading and parsing the description, and building the SDK object
// from it. Windows only: it looks at files beside the library and the host and
// at the library's own resources.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "plenar/services.h"

namespace Kvor {

// The host's language as two letters: "EN", "FR" or "JP".
extern WideChar LanguageCode[3];
// True when the description came from a file rather than the resource.
extern bool DescriptionFromDisk;

enum DataSource : int32_t { data_not_found = 0, data_from_file = 1, data_from_resource = 2 };

// Loads the description and, the first time, builds the SDK object.
// 0 when the SDK object exists; -1 after a reported failure.
int32_t Init(plenar::HostServices* services);

// A data file by extension ("json", "png") beside the library or the host,
// else the library's resource "KVOR" `number` (0: none). A file's text is a
// malloc'd block with a NUL at `size` that the caller frees; resource data is
// the library's own, read-only and never freed.
DataSource ReadFileOrResource(char*& text, size_t& size, const WideChar* extension, int number);

// The first existing candidate for the extension, language-coded name first,
// or an empty path. `path` holds 260 characters.
void FindDataFile(WideChar* path, const WideChar* extension);

// The three places for one file suffix: beside the library, in the host's
// folder, in the host's Data/Runtime folder. `path` holds 260 characters.
void SearchDataFile(WideChar* path, const WideChar* suffix);

}  // namespace Kvor
