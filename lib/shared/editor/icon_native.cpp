// Native builds have no host library to make surfaces: there is no icon.
#include "editor/icon.h"

namespace Kvor {

plenar::Surface* LoadObjectIcon(plenar::HostServices*) { return nullptr; }
void DestroyIcon(plenar::Surface*) {}

}  // namespace Kvor
