// How each action, condition and expression fetches its parameters from the
// host, resolved once when the SDK object is built: the description does
// not change while the plug-in is loaded, so dispatch looks nothing up.
#pragma once

#include <cstdint>
#include <vector>

#include "json/json.h"
#include "kvor/types.h"
#include "plenar/run_data.h"
#include "records/ace_records.h"

namespace Kvor {

// Kinds[i] is what the member must take at position i.
struct FetchPlan {
    uint8_t Count = 0;  // arguments fetched and passed
    ArgumentKind Kinds[MaxParameters] = {};
    int32_t FetchTypes[MaxParameters] =
        {};  // the host's fetch type per argument; -2: nothing fetched
    ResultKind Result = ResultKind::none;
};

constexpr int32_t no_fetch = -2;

// How the host is asked for an argument of `kind`: actions and conditions
// fetch everything but numbers by the parameter's own code; expressions fetch
// numbers and texts only. The plans and the routines generated for linked
// members both read it.
constexpr int32_t FetchTypeOf(AceKind ace, ArgumentKind kind) {
    switch (kind) {
        case ArgumentKind::integer: return plenar::fetch_integer;
        case ArgumentKind::floating: return plenar::fetch_float;
        case ArgumentKind::text:
            return ace == AceKind::expression ? plenar::fetch_string : plenar::fetch_generic;
        case ArgumentKind::generic:
            return ace == AceKind::expression ? no_fetch : plenar::fetch_generic;
    }
    return no_fetch;
}

// The plan for `record` and its description entry: "NumAutoProps" (when an
// integer) replaces the parameter count, clamped to the record's own count
// so nothing beyond the record is read.
FetchPlan MakeFetchPlan(AceKind kind, const ACEInfo* record, const json_value& entry);

}  // namespace Kvor
