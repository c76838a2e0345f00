// A tiny plug-in for testing the stand-in host: it calls the system functions
// the host intercepts, the host's services and callbacks, and plenarcore.dll
// by ordinal. `Free` deliberately uses the caller-cleans convention, which a
// plug-in export must not.
#include <windows.h>
#include <cstdlib>
#include "plenar/plenarcore.h"
#include "plenar/run_data.h"
#include "plenar/services.h"

using namespace plenar;

extern "C" {

int32_t __stdcall Initialize(HostServices* services, int32_t) {
    const uint32_t version = services && services->version ? services->version() : 0;
    OutputDebugStringW(L"fake plug-in initialised");
    return version ? 0 : -1;
}

int32_t __cdecl Free(HostServices*) { return 0; }

// Room for the host's header and two words of its own.
uint32_t __stdcall GetRunObjectDataSize(void*, void*) { return sizeof(RunObjectHeader) + 8; }

int32_t __stdcall FakeMessageBoxA(HWND owner, const char* text, const char* caption, UINT style) {
    return MessageBoxA(owner, text, caption, style);
}

int32_t __stdcall FakeMessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption,
                                  UINT style) {
    return MessageBoxW(owner, text, caption, style);
}

void __stdcall FakeDebugA(const char* text) { OutputDebugStringA(text); }

void __stdcall FakeDebugW(const wchar_t* text) { OutputDebugStringW(text); }

uint32_t __stdcall FakeTickCount() { return GetTickCount(); }

// 1 when the heap granted a block of `size` bytes (given back at once).
int32_t __stdcall FakeAllocate(uint32_t size) {
    void* block = malloc(size);
    free(block);
    return block ? 1 : 0;
}

void* __stdcall FakeResize(HostServices* services, void* edit_data, uint32_t size) {
    return reinterpret_cast<void*>(services->service(
        edit_data, service_resize_edit_data, reinterpret_cast<intptr_t>(edit_data), size, 0));
}

// Draws what an editor display would: a filled rectangle with a border.
int32_t __stdcall FakeDraw(HostServices* services, int32_t left, int32_t top, int32_t right,
                           int32_t bottom) {
    Surface* surface = WindowSurface(services->editor_window, 0);
    if (!surface) return 0;
    surface->FillRect(left, top, right - left, bottom - top, 0xFF7D0A);
    surface->OutlineRect(left, top, right, bottom, 4, 0);
    return 1;
}

// Imports a PNG through the host into `destination` (constructed by the caller).
int32_t __stdcall FakeImportPng(HostServices* services, const void* data, uint32_t size,
                                Surface* destination) {
    InputFile* file = CreateMemoryInputFile();
    const uint32_t format = image_format_png;
    int32_t result = file->Open(data, size);
    if (result == 0)
        result = ImportImage(services->image_import_context, file, destination, &format, 0);
    file->Release();
    return result;
}

// Fetches `count` action parameters, the first as a float, and puts the
// host's parameter cursor back as the dispatch does.
void __stdcall FakeFetchParameters(RunObjectHeader* run, plenar::Word* values, int32_t count) {
    const uint32_t cursor = run->parameter_cursor;
    for (int32_t i = 0; i < count; ++i)
        values[i] = run->run_header->get_parameter(run, i == 0 ? fetch_float : fetch_generic, 0);
    run->parameter_cursor = cursor;
}

}  // extern "C"
