// The edit-time object: creation, size, drawing in the frame editor, icon.
#include <cstdint>

#include "properties/editdata.h"
#include "export_glue.h"
#include "load/host_version.h"
#include "sdk.h"

using Kvor::EDITDATA;

namespace {
constexpr int16_t new_object_size = 150;
constexpr uint32_t editor_fill_colour = 0xFF7D0A;  // red 10, green 125, blue 255
constexpr uint32_t editor_outline_colour = 0;      // black
constexpr int32_t editor_outline_thickness = 4;
constexpr uint32_t icon_transparent_colour = 0xFF00FF;

// A coordinate or extent of the host's rectangles: a sum or difference of two
// of them held to the 32-bit range, so an edge near the range's end gives the
// nearest value instead of wrapping round to the other side.
int32_t Clamped(int64_t value) {
    return static_cast<int32_t>(value < INT32_MIN   ? INT32_MIN
                                : value > INT32_MAX ? INT32_MAX
                                                    : value);
}

void NoticeEditData(HostServices* services, void* edit_data) {
    if (services && services->service)
        services->service(edit_data, plenar::service_edit_data_notice, 0, 0, 0);
}
}  // namespace

PLUGIN_EXPORT int32_t PLENAR_STDCALL CreateObject(HostServices* services, void*, void* edit_data) {
    return Kvor::Guarded(-1, [&] {
        if (!Kvor::HostIsCompatible(services) || !edit_data) return -1;
        auto* data = static_cast<EDITDATA*>(edit_data);
        data->Width = new_object_size;
        data->Height = new_object_size;
        NoticeEditData(services, edit_data);
        return 0;
    });
}

// A saved block is not converted here: every read takes it as it lies
// (properties/layout.h) and the first write lays it out anew.
PLUGIN_EXPORT int32_t PLENAR_STDCALL LoadObject(HostServices* services, void*, void* edit_data,
                                                int32_t) {
    return Kvor::Guarded(0, [&] {
        NoticeEditData(services, edit_data);
        return 0;
    });
}

// Also exported as ReleaseProperties: neither has anything to release.
PLUGIN_EXPORT void PLENAR_STDCALL UnloadObject(HostServices*, void*, int32_t) {}

PLUGIN_EXPORT int32_t PLENAR_STDCALL SetEditSize(HostServices*, void* edit_data, int32_t width,
                                                 int32_t height) {
    if (!edit_data) return 0;
    auto* data = static_cast<EDITDATA*>(edit_data);
    data->Width = static_cast<int16_t>(width);
    data->Height = static_cast<int16_t>(height);
    return 1;
}

PLUGIN_EXPORT void PLENAR_STDCALL GetObjectRect(HostServices* services, plenar::Rect* rect, void*,
                                                void* edit_data) {
    if (!services || !rect || !edit_data) return;
    auto* data = static_cast<EDITDATA*>(edit_data);
    rect->right = Clamped(int64_t(rect->left) + data->Width);
    rect->bottom = Clamped(int64_t(rect->top) + data->Height);
}

PLUGIN_EXPORT void PLENAR_STDCALL EditorDisplay(HostServices* services, void*, void*, void*,
                                                plenar::Rect* rect) {
    if (!services || !rect) return;
    Kvor::Guarded([&] {
        plenar::Surface* surface = plenar::WindowSurface(services->editor_window, 0);
        if (!surface) return;
        surface->FillRect(rect->left, rect->top, Clamped(int64_t(rect->right) - rect->left),
                          Clamped(int64_t(rect->bottom) - rect->top), editor_fill_colour);
        surface->OutlineRect(rect->left, rect->top, rect->right, rect->bottom,
                             editor_outline_thickness, editor_outline_colour);
    });
}

PLUGIN_EXPORT int32_t PLENAR_STDCALL MakeIconEx(HostServices*, plenar::Surface* icon, void*, void*,
                                                void*) {
    if (!icon) return 0;
    return Kvor::Guarded(0, [&] {
        icon->Clear();
        if (::SDK && ::SDK->Icon) icon->CopyFrom(::SDK->Icon, -1, -1);
        icon->SetTransparentColour(icon_transparent_colour);
        return 0;
    });
}
