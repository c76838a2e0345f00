#include "extension.h"

Extension::Extension(plenar::RunObjectHeader* run_data, void*, void*)
    : Runtime(run_data), Debugger(this) {
    Kvor::UseExtension<Extension>();
}
