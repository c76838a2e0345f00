// The surfaces of editor windows: one per window id, made on first request
// and kept for the life of the process, so the host can read back what a
// plug-in drew.
#include <map>
#include <memory>
#include "plenar/plenarcore.h"

namespace plenar {
namespace {

constexpr int32_t window_width = 640, window_height = 480;

std::map<uint32_t, std::unique_ptr<Surface>>& window_surfaces() {
    static std::map<uint32_t, std::unique_ptr<Surface>> surfaces;
    return surfaces;
}

}  // namespace

extern "C" Surface* PLENAR_STDCALL WindowSurface(uint32_t window, uint32_t) {
    if (window == 0) return nullptr;
    std::unique_ptr<Surface>& surface = window_surfaces()[window];
    if (!surface) {
        surface = std::make_unique<Surface>();
        surface->width = window_width;
        surface->height = window_height;
        surface->pixels = new uint32_t[window_width * window_height]();
    }
    return surface.get();
}

}  // namespace plenar
