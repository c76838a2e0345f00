#include "load/host_version.h"

namespace Kvor {

bool HostIsCompatible(const plenar::HostServices* services) {
    if (!services || !services->version) return false;
    if ((services->version() & 0xFFF) < oldest_host_build) return false;
    return (services->version() & 0xFFFF0000u) >= 0x02000000u;
}

}  // namespace Kvor
