// Reading a loaded module's PE tables: its export directory and its imports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plenar::sim {

struct ExportDirectory {
    std::vector<uint16_t> ordinals;  // every exported ordinal, ascending
    std::vector<std::string> names;  // every exported name, in table order
};

struct ImportEntry {
    std::string library;   // as the module names it, e.g. "plenarcore.dll"
    std::string name;      // empty when imported by ordinal
    uint16_t ordinal = 0;  // set when imported by ordinal
    bool by_ordinal = false;
};

// What lies at a relative virtual address of a loaded module.
template <typename T>
T* at_rva(void* module, uintptr_t rva) {
    return reinterpret_cast<T*>(static_cast<uint8_t*>(module) + rva);
}

ExportDirectory read_exports(void* module);
std::vector<ImportEntry> read_imports(void* module);

}  // namespace plenar::sim
