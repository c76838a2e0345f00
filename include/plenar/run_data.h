// Run-time blocks: the per-instance run data (the host's 184-byte header,
// followed by whatever the plug-in's GetRunObjectDataSize asks for) and the
// application-wide run header with the host's run-time callbacks.
// Both are host memory; the plug-in reads them and calls the callbacks on
// the host's run-time thread, during an action, condition or expression.
#pragma once

#include <cstddef>
#include "abi.h"
#include "services.h"

namespace plenar {

struct RunHeader;

// The host's part of an instance's run data.
struct RunObjectHeader {
    uint8_t reserved_00[8];
    RunHeader* run_header;  // the application's run header
    uint8_t reserved_0c[0x3C - 0x0C];
    int32_t current_id;  // id of the action/condition/expression being run; host sets it
    uint8_t reserved_40[0x7C - 0x40];
    uint16_t flags;  // expressions OR in expression_float_result / expression_string_result
    uint8_t reserved_7e[0xAC - 0x7E];
    uint32_t parameter_cursor;  // host's position in the parameters; advanced by each fetch
    uint8_t reserved_b0[184 - 0xB0];
};

PLENAR_PIN_OFFSET(RunObjectHeader, run_header, 8, 8);
PLENAR_PIN_OFFSET(RunObjectHeader, current_id, 0x3C, 0x40);
PLENAR_PIN_OFFSET(RunObjectHeader, flags, 0x7C, 0x80);
PLENAR_PIN_OFFSET(RunObjectHeader, parameter_cursor, 0xAC, 0xB0);
PLENAR_PIN_SIZE(RunObjectHeader, 184, 192);

enum : uint16_t {
    expression_float_result = 0x4000,
    expression_string_result = 0x8000,
};

// Parameter fetch types.
enum FetchType : int32_t {
    fetch_integer = 0,
    fetch_string = 1,    // expressions
    fetch_float = 2,     // the float's bit pattern comes back
    fetch_generic = -1,  // whatever the host's own parameter code yields
};

// Record for the debugger's edit dialogs; the host edits `text` in place.
struct EditRecord {
    uint32_t reserved[2];  // passed as 0
    void* text;            // the characters to edit (wide)
    uint32_t length;       // their count
};
PLENAR_PIN_OFFSET(EditRecord, text, 8, 8);
PLENAR_PIN_OFFSET(EditRecord, length, 12, 16);
PLENAR_PIN_SIZE(EditRecord, 16, 24);

// Parameter values come back as host words: an integer, a float's bit
// pattern in the low 32 bits, or a pointer to wide text.
using AllocateString = void*(PLENAR_STDCALL*)(RunObjectHeader* run, int32_t zero, uint32_t bytes);
using ExpressionParameter = Word(PLENAR_STDCALL*)(RunObjectHeader* run, int32_t type,
                                                  Word routine_argument);
using GetParameter = Word(PLENAR_STDCALL*)(RunObjectHeader* run, int32_t type, int32_t zero);
using EditValue = int32_t(PLENAR_STDCALL*)(RunObjectHeader* run, int32_t zero, EditRecord* record);

// The application's run header: one per running application, host memory.
struct RunHeader {
    uint8_t reserved_000[0x58];
    uint32_t value_058;  // copied by the plug-in's run-time view
    uint8_t reserved_05c[0x90 - 0x5C];
    uint32_t value_090;  // copied likewise
    uint8_t reserved_094[0x368 - 0x94];
    AllocateString allocate_string;                  // host memory for a result string
    ExpressionParameter first_expression_parameter;  // first parameter of the running expression
    ExpressionParameter next_expression_parameter;   // each further one
    uint8_t reserved_374[0x3A0 - 0x374];
    GetParameter get_parameter;  // next parameter of an action or condition
    uint8_t reserved_3a4[0x3AC - 0x3A4];
    EditValue edit_number;  // debugger number edit; 1 = confirmed
    EditValue edit_text;    // debugger text edit; 1 = confirmed
    uint8_t reserved_3b4[0x4F4 - 0x3B4];
    HostServices* services;  // the host services record
    uint8_t reserved_4f8[0x1278 - 0x4F8];
    uint32_t value_1278;  // copied likewise
    uint8_t reserved_127c[4];
};

PLENAR_PIN_OFFSET(RunHeader, value_058, 0x58, 0x58);
PLENAR_PIN_OFFSET(RunHeader, value_090, 0x90, 0x90);
PLENAR_PIN_OFFSET(RunHeader, allocate_string, 0x368, 0x368);
PLENAR_PIN_OFFSET(RunHeader, first_expression_parameter, 0x36C, 0x370);
PLENAR_PIN_OFFSET(RunHeader, next_expression_parameter, 0x370, 0x378);
PLENAR_PIN_OFFSET(RunHeader, get_parameter, 0x3A0, 0x3B0);
PLENAR_PIN_OFFSET(RunHeader, edit_number, 0x3AC, 0x3C0);
PLENAR_PIN_OFFSET(RunHeader, edit_text, 0x3B0, 0x3C8);
PLENAR_PIN_OFFSET(RunHeader, services, 0x4F4, 0x510);
PLENAR_PIN_OFFSET(RunHeader, value_1278, 0x1278, 0x1298);
PLENAR_PIN_SIZE(RunHeader, 0x1280, 0x12A0);

// Routine table entries handed over in RunObjectInfo. Their words are the
// host's; an expression's result is an integer, a float's bit pattern or a
// pointer to host-allocated text.
using ActionRoutine = int32_t(PLENAR_STDCALL*)(RunObjectHeader* run, Word a, Word b);
using ConditionRoutine = int32_t(PLENAR_STDCALL*)(RunObjectHeader* run, Word a, Word b);
using ExpressionRoutine = Word(PLENAR_STDCALL*)(RunObjectHeader* run, Word argument);

}  // namespace plenar
