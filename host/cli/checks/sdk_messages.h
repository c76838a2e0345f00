// The SDK's own messages about a description: the plug-in loaded with it
// and taken through the host's steps that read it, once per language
// section as a Tovrandi.ini naming that section would have the plug-in
// choose it (once, without a Tovrandi.ini, for a description with one
// section). Each message is reported once, placed in the section it came
// from and, when there are several sections, named by it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include "../diagnostics.h"
#include "../json_places.h"

namespace plenar::cli {

struct CheckedObject {
    std::wstring plugin;
    std::wstring description;
    std::optional<std::wstring> name;  // both placed under this name when given
};

// Throws std::runtime_error when the plug-in does not load.
void report_sdk_messages(const CheckedObject& object, std::string_view text, const JsonScan& scan,
                         Diagnostics& found);

}  // namespace plenar::cli
