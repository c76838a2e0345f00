#include <cstdlib>
#include <new>

#include "load/description.h"
#include "editor/icon.h"

namespace Kvor {

plenar::Surface* LoadObjectIcon(plenar::HostServices* services) {
    void* memory = malloc(sizeof(plenar::Surface));
    if (!memory) return nullptr;
    auto* icon = new (memory) plenar::Surface();
    if (!services || !services->image_import_context) return icon;

    char* data = nullptr;
    size_t size = 0;
    DataSource source = data_not_found;
    try {
        source = ReadFileOrResource(data, size, L"png", 101);
    } catch (...) {
        DestroyIcon(icon);  // the lookup ran out of memory: no icon is kept
        throw;
    }
    if (source == data_not_found) return icon;
    if (plenar::InputFile* file = plenar::CreateMemoryInputFile()) {
        file->Open(data, static_cast<uint32_t>(size));
        const uint32_t format = plenar::image_format_png;
        plenar::ImportImage(services->image_import_context, file, icon, &format, 0);
        file->Release();
    }
    if (!icon->HasAlpha()) icon->SetTransparentColour(0xFF00FF);
    if (source == data_from_file) free(data);
    return icon;
}

void DestroyIcon(plenar::Surface* icon) {
    if (!icon) return;
    icon->~Surface();
    free(icon);
}

}  // namespace Kvor
