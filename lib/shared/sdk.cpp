#include "sdk.h"

Kvor::SDK* SDK = nullptr;

namespace Kvor {

SDK::SDK(plenar::HostServices* services, json_value* root) : json(root), HostServices(services) {
    if (!::SDK) ::SDK = this;
}

SDK::~SDK() { json_release(json); }

}  // namespace Kvor
