// The host version test every editor export applies before it answers.
#pragma once

#include "plenar/services.h"

namespace Kvor {

// The oldest host build the object works with.
constexpr uint32_t oldest_host_build = 254;

// False without a version routine, for a build below 254, or a version below 2.
bool HostIsCompatible(const plenar::HostServices* services);

}  // namespace Kvor
