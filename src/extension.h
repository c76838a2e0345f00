// Lumbra's run-time object: one per instance of the object in a running
// application, owned by the instance's run data.
#pragma once

#include "kvor/extension.h"

class Extension {
public:
    Extension(plenar::RunObjectHeader* run_data, void* edit_data, void* creation);
    ~Extension();
    Extension(const Extension&) = delete;
    Extension& operator=(const Extension&) = delete;

    plenar::RunObjectHeader* RunData;
    plenar::RunHeader* RunHeader;
    Kvor::Runtime Runtime;
    Kvor::Debugger Debugger;
    Kvor::WideString DebugText;  // shown and edited through the debugger item

    // Actions, conditions and expressions, linked by id.
    void SetSource(const Kvor::WideChar* source);
    void SourceAction();
    bool AreNumbersEqual(int32_t a, int32_t b);
    int32_t Add(int32_t a, int32_t b);
    const Kvor::WideChar* HelloWorld();

    // For ids without a linked member.
    void UnlinkedAction(int32_t id, plenar::RunObjectHeader* run, plenar::Word first,
                        plenar::Word second);
    bool UnlinkedCondition(int32_t id, plenar::RunObjectHeader* run, plenar::Word first,
                           plenar::Word second);
    plenar::Word UnlinkedExpression(int32_t id, plenar::RunObjectHeader* run, plenar::Word word);

    int32_t Handle();
    int32_t Pause();  // also serves Continue
};
