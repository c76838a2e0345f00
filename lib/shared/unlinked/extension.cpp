#include "extension.h"

#include "runtime/dispatch.h"

Extension::Extension(plenar::RunObjectHeader* run_data, void*, void*)
    : Runtime(run_data), Debugger(this) {
    Kvor::UseExtension<Extension>();
}

void Extension::UnlinkedAction(int32_t, plenar::RunObjectHeader*, plenar::Word, plenar::Word) {}

bool Extension::UnlinkedCondition(int32_t, plenar::RunObjectHeader*, plenar::Word, plenar::Word) {
    return false;
}

plenar::Word Extension::UnlinkedExpression(int32_t, plenar::RunObjectHeader*, plenar::Word) {
    return 0;
}

int32_t Extension::Handle() { return 1; }

int32_t Extension::Pause() { return 0; }
