// The run-time object information record: allocated by the host, filled by
// the plug-in's GetRunObjectInfos.
#pragma once

#include <cstddef>
#include "abi.h"
#include "run_data.h"

namespace plenar {

struct RunObjectInfo {
    const ConditionRoutine* conditions;     // null-terminated table
    const ActionRoutine* actions;           // null-terminated table
    const ExpressionRoutine* expressions;   // null-terminated table
    uint16_t condition_count;
    uint16_t action_count;
    uint16_t expression_count;
    uint16_t edit_data_size;                // bytes of a new instance's edit data
    uint32_t flags;
    uint8_t version;                        // 100
    uint8_t reserved_25;                    // left as the host set it
    uint16_t reserved_26;                   // 0
    char identifier[4];                     // four-character object identifier
    uint16_t reserved_32;                   // 1
    uint16_t padding;
};

static_assert(offsetof(RunObjectInfo, conditions) == 0);
static_assert(offsetof(RunObjectInfo, actions) == 4);
static_assert(offsetof(RunObjectInfo, expressions) == 8);
static_assert(offsetof(RunObjectInfo, condition_count) == 12);
static_assert(offsetof(RunObjectInfo, action_count) == 14);
static_assert(offsetof(RunObjectInfo, expression_count) == 16);
static_assert(offsetof(RunObjectInfo, edit_data_size) == 18);
static_assert(offsetof(RunObjectInfo, flags) == 20);
static_assert(offsetof(RunObjectInfo, version) == 24);
static_assert(offsetof(RunObjectInfo, reserved_25) == 25);
static_assert(offsetof(RunObjectInfo, reserved_26) == 26);
static_assert(offsetof(RunObjectInfo, identifier) == 28);
static_assert(offsetof(RunObjectInfo, reserved_32) == 32);
static_assert(sizeof(RunObjectInfo) == 36);

}  // namespace plenar
