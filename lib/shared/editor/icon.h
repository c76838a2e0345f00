// The object's icon as a host surface, loaded from a PNG beside the library
// or from the library's resource "KVOR" 101.
#pragma once

#include "plenar/plenarcore.h"
#include "plenar/services.h"

namespace Kvor {

// A new surface holding the icon; empty when no image could be found or the
// host gives no image-import context; null when no memory was left.
plenar::Surface* LoadObjectIcon(plenar::HostServices* services);
void DestroyIcon(plenar::Surface* icon);

}  // namespace Kvor
