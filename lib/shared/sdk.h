// The SDK object: what the JSON description is turned into, built once per
// loaded library by Init and reached from everywhere through ::SDK.
#pragma once

#include <vector>

#include "json/json.h"
#include "plenar/plenarcore.h"
#include "plenar/services.h"

namespace Kvor {

struct ACEInfo;

class SDK {
public:
    // Takes ownership of `root`. Publishes itself through ::SDK (when that is
    // still null) before anything reads the description.
    SDK(plenar::HostServices* services, json_value* root);
    ~SDK();
    SDK(const SDK&) = delete;
    SDK& operator=(const SDK&) = delete;

    json_value* json;                      // root of the parsed description; owned
    std::vector<ACEInfo*> ActionInfos;     // one owned record per "Actions" entry, by id
    std::vector<ACEInfo*> ConditionInfos;
    std::vector<ACEInfo*> ExpressionInfos;
    plenar::HostServices* HostServices;    // the record this object was built with
    plenar::Surface* Icon;                 // the object's icon; null when no memory was left
};

}  // namespace Kvor

// The one SDK object, null until the first successful Init.
extern Kvor::SDK* SDK;
