// An instance's way to the host's run-time callbacks, held inside the
// extension object: the words of the routine now running, and a view of the
// run header for the extension's own code.
#pragma once

#include "platform/platform.h"
#include "plenar/run_data.h"

namespace Kvor {

struct RunHeaderView {
    void* Extension;  // set by CreateRunObject after construction
    plenar::RunHeader* RunHeader;
    uint32_t Values[3];  // copied from the run header at construction
    uint32_t Size;       // 146, plus 24 when the host answers service 113
};

class Runtime {
public:
    explicit Runtime(plenar::RunObjectHeader* run_data);

    // A host-allocated copy of `text` with its terminator; null when the host
    // gives no memory.
    WideChar* CopyString(const WideChar* text);
    // The host's debugger edit dialogs; 1 when the user confirmed.
    int32_t EditNumber(plenar::EditRecord* record);
    int32_t EditText(plenar::EditRecord* record);

    plenar::RunObjectHeader* RunData;
    plenar::Word FirstParameter;   // the routine's first host word
    plenar::Word SecondParameter;  // actions and conditions: the second; expressions: 0
    RunHeaderView View;
};

}  // namespace Kvor
