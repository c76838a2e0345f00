// The record of every action, condition and expression: its id, a flags word
// and the host's code for each parameter type, built from the language's
// "Actions", "Conditions" and "Expressions" entries while the SDK object is
// constructed, then read by the host and by the run-time dispatch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kvor/types.h"
#include "plenar/records.h"

namespace Kvor {

// The three kinds of entry, in the description and at the host.
enum class AceKind : uint8_t { action, condition, expression };
// "action", "condition", "expression": as the messages name the kind.
const char* AceKindName(AceKind kind);
// "Actions", "Conditions", "Expressions": the language's array of entries.
const char* AceKindKey(AceKind kind);

// Allocated zero-filled with 8 + 4n bytes for n parameters: the header, n type
// codes, then n zero words the host expects after the codes.
struct ACEInfo {
    uint16_t FloatFlags;  // bit i set when parameter i is a float; dispatch only
    int16_t ID;           // the host's view of the record begins here
    uint16_t Flags;       // actions 0; conditions 0 or 0x0220; expressions the return type
    int16_t NumOfParams;
    uint16_t Parameter[];  // NumOfParams codes, then NumOfParams zero words

    // Null when the memory cannot be had; `parameter_count` must lie in
    // 0..MaxParameters.
    static ACEInfo* Allocate(int parameter_count);
    static void Free(ACEInfo* record);

    // What GetActionInfos and its siblings hand to the host.
    const plenar::AceRecord* HostView() const {
        return reinterpret_cast<const plenar::AceRecord*>(&ID);
    }
};

static_assert(offsetof(ACEInfo, FloatFlags) == 0);
static_assert(offsetof(ACEInfo, ID) == 2);
static_assert(offsetof(ACEInfo, Flags) == 4);
static_assert(offsetof(ACEInfo, NumOfParams) == 6);
static_assert(offsetof(ACEInfo, Parameter) == 8);
static_assert(sizeof(ACEInfo) == 8);
// The host's record must line up with ours from ID on.
static_assert(offsetof(ACEInfo, Flags) - offsetof(ACEInfo, ID) ==
              offsetof(plenar::AceRecord, flags));
static_assert(offsetof(ACEInfo, NumOfParams) - offsetof(ACEInfo, ID) ==
              offsetof(plenar::AceRecord, parameter_count));
static_assert(offsetof(ACEInfo, Parameter) - offsetof(ACEInfo, ID) ==
              offsetof(plenar::AceRecord, parameters));

// Where record memory comes from: calloc's contract (zero-filled, or null),
// released with free(). Tests swap it to see what a refused allocation does.
using RecordAllocator = void* (*)(size_t count, size_t size);
extern RecordAllocator AllocateRecordMemory;

// Type names to host codes; ASCII case is ignored and the first match wins.
// `float_bit` is set only for "Float" and left alone otherwise. An unknown
// name is reported and gives 0.
uint16_t ReadParameterType(const char* name, bool& float_bit);
uint16_t ReadExpressionParameterType(const char* name, bool& float_bit);
uint16_t ReadExpressionReturnType(const char* name);

// Each builds the record for the id equal to the number of records its array
// in ::SDK already holds, from that element of the current language's array,
// and appends it. True when a real record was appended. A refused entry is
// reported and a placeholder with its id and no parameters is appended in its
// place, so the array still grows by one and later entries keep their ids.
bool ReadActionInfo();
bool ReadConditionInfo();
bool ReadExpressionInfo();

// The record for `id`, or null when ::SDK holds none at that position.
const ACEInfo* ActionInfoAt(int id);
const ACEInfo* ConditionInfoAt(int id);
const ACEInfo* ExpressionInfoAt(int id);

// Frees every record of `records` and empties it.
void FreeRecords(std::vector<ACEInfo*>& records);

}  // namespace Kvor
