// The run-time object information record: allocated by the host, filled by
// the plug-in's GetRunObjectInfos.
#pragma once

#include <cstddef>
#include "abi.h"
#include "run_data.h"

namespace plenar {

struct RunObjectInfo {
    const ConditionRoutine* conditions;    // null-terminated table
    const ActionRoutine* actions;          // null-terminated table
    const ExpressionRoutine* expressions;  // null-terminated table
    uint16_t condition_count;
    uint16_t action_count;
    uint16_t expression_count;
    uint16_t edit_data_size;  // bytes of a new instance's edit data
    uint32_t flags;
    uint8_t version;       // 100
    uint8_t reserved_25;   // left as the host set it
    uint16_t reserved_26;  // 0
    char identifier[4];    // four-character object identifier
    uint16_t reserved_32;  // 1
    uint16_t padding;
};

PLENAR_PIN_OFFSET(RunObjectInfo, conditions, 0, 0);
PLENAR_PIN_OFFSET(RunObjectInfo, actions, 4, 8);
PLENAR_PIN_OFFSET(RunObjectInfo, expressions, 8, 16);
PLENAR_PIN_OFFSET(RunObjectInfo, condition_count, 12, 24);
PLENAR_PIN_OFFSET(RunObjectInfo, action_count, 14, 26);
PLENAR_PIN_OFFSET(RunObjectInfo, expression_count, 16, 28);
PLENAR_PIN_OFFSET(RunObjectInfo, edit_data_size, 18, 30);
PLENAR_PIN_OFFSET(RunObjectInfo, flags, 20, 32);
PLENAR_PIN_OFFSET(RunObjectInfo, version, 24, 36);
PLENAR_PIN_OFFSET(RunObjectInfo, reserved_25, 25, 37);
PLENAR_PIN_OFFSET(RunObjectInfo, reserved_26, 26, 38);
PLENAR_PIN_OFFSET(RunObjectInfo, identifier, 28, 40);
PLENAR_PIN_OFFSET(RunObjectInfo, reserved_32, 32, 44);
PLENAR_PIN_SIZE(RunObjectInfo, 36, 48);

}  // namespace plenar
