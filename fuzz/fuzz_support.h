// What every fuzz target shares: the input turned into a parsed description,
// and the process-wide state put back after each input so that one input
// never sees another's SDK object, language choice or recorded message boxes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "json/json.h"
#include "sdk.h"

namespace fuzz {

// Parses `text` with the default settings; null when it is not a document.
json_value* ParseDescription(const std::string& text);

// Forgets ::SDK, the cached language, the settings file stand-in and the
// recorded message boxes and debugger output.
void ResetProcessState();

// One SDK object over a parsed description, published through ::SDK for its
// lifetime and destroyed (with the description) at the end of the scope. The
// language is chosen afresh, through whatever settings file is set; the end
// of the scope resets the process state.
class ScopedSDK {
public:
    explicit ScopedSDK(json_value* root);
    ~ScopedSDK();
    ScopedSDK(const ScopedSDK&) = delete;
    ScopedSDK& operator=(const ScopedSDK&) = delete;
    Kvor::SDK& operator*() { return *sdk; }
    Kvor::SDK* operator->() { return sdk; }

private:
    Kvor::SDK* sdk;
};

// Ends the process with `what` when `condition` fails: a broken invariant is
// a finding just like a sanitizer report.
void Require(bool condition, const char* what);

}  // namespace fuzz
