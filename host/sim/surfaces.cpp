#include "plenar_sim/surfaces.h"

namespace plenar::sim {
namespace {

// A window id no editor uses: its surface is only ever copied from.
constexpr uint32_t blank_source_window = 0xB1A4C5E7;

}  // namespace

void make_blank_surface(Surface& surface, int32_t width, int32_t height) {
    Surface* source = WindowSurface(blank_source_window, 0);
    source->Clear();
    surface.CopyFrom(source, width, height);
}

}  // namespace plenar::sim
