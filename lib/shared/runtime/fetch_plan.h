// How each action, condition and expression fetches its parameters from the
// host, resolved once when the SDK object is built: the description does
// not change while the plug-in is loaded, so dispatch looks nothing up.
#pragma once

#include <cstdint>
#include <vector>

#include "json/json.h"

namespace Kvor {

struct ACEInfo;

enum class AceKind : uint8_t { action, condition, expression };

// What one argument word is: what the member must take at that position.
enum class ArgumentKind : uint8_t {
    integer,   // a number fetched as an integer
    floating,  // a number fetched as a float (its bit pattern)
    text,      // a pointer to wide text
    generic,   // a word the host yields by its own parameter code (or, for
               // expressions, nothing fetched: 0)
};

enum class ResultKind : uint8_t { none, integer, floating, text };

struct FetchPlan {
    uint8_t Count = 0;                // arguments fetched and passed
    ArgumentKind Kinds[16] = {};
    int32_t FetchTypes[16] = {};      // the host's fetch type per argument; -2: nothing fetched
    ResultKind Result = ResultKind::none;
};

constexpr int32_t no_fetch = -2;

// The plan for `record` and its description entry: "NumAutoProps" (when an
// integer) replaces the parameter count, clamped to the record's own count
// so nothing beyond the record is read.
FetchPlan MakeFetchPlan(AceKind kind, const ACEInfo* record, const json_value& entry);

}  // namespace Kvor
