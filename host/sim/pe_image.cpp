#include "plenar_sim/pe_image.h"

#include <windows.h>
#include <algorithm>

namespace plenar::sim {
namespace {

const IMAGE_DATA_DIRECTORY* directory(void* module, int index) {
    auto* base = static_cast<const uint8_t*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY* entry = &nt->OptionalHeader.DataDirectory[index];
    return entry->VirtualAddress && entry->Size ? entry : nullptr;
}

}  // namespace

ExportDirectory read_exports(void* module) {
    ExportDirectory result;
    const IMAGE_DATA_DIRECTORY* entry = directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (!entry) return result;
    auto* exports = at_rva<IMAGE_EXPORT_DIRECTORY>(module, entry->VirtualAddress);
    auto* functions = at_rva<uint32_t>(module, exports->AddressOfFunctions);
    for (uint32_t i = 0; i < exports->NumberOfFunctions; ++i)
        if (functions[i]) result.ordinals.push_back(static_cast<uint16_t>(exports->Base + i));
    auto* names = at_rva<uint32_t>(module, exports->AddressOfNames);
    for (uint32_t i = 0; i < exports->NumberOfNames; ++i)
        result.names.emplace_back(at_rva<char>(module, names[i]));
    return result;
}

std::vector<ImportEntry> read_imports(void* module) {
    std::vector<ImportEntry> result;
    const IMAGE_DATA_DIRECTORY* entry = directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (!entry) return result;
    for (auto* descriptor = at_rva<IMAGE_IMPORT_DESCRIPTOR>(module, entry->VirtualAddress);
         descriptor->Name; ++descriptor) {
        // Without its name table, a bound descriptor's entries are addresses only.
        if (!descriptor->OriginalFirstThunk) continue;
        const std::string library = at_rva<char>(module, descriptor->Name);
        for (auto* thunk = at_rva<IMAGE_THUNK_DATA>(module, descriptor->OriginalFirstThunk);
             thunk->u1.AddressOfData; ++thunk) {
            ImportEntry import;
            import.library = library;
            if (IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)) {
                import.by_ordinal = true;
                import.ordinal = static_cast<uint16_t>(IMAGE_ORDINAL(thunk->u1.Ordinal));
            } else {
                import.name = at_rva<IMAGE_IMPORT_BY_NAME>(module, thunk->u1.AddressOfData)->Name;
            }
            result.push_back(import);
        }
    }
    return result;
}

}  // namespace plenar::sim
