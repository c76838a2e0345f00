// In-memory input files: the only kind of input file this library makes.
#include <algorithm>
#include <cstring>
#include "plenar/plenarcore.h"

namespace plenar {
namespace {

class MemoryInputFile final : public InputFile {
public:
    MemoryInputFile() {
        data = nullptr;
        size = 0;
        position = 0;
    }

    uint32_t PLENAR_THISCALL Read(void* buffer, uint32_t bytes) override {
        const uint32_t count = std::min(bytes, size - position);
        if (count) std::memcpy(buffer, data + position, count);
        position += count;
        return count;
    }

    void PLENAR_THISCALL Release() override { delete this; }
};

}  // namespace

int32_t InputFile::Open(const void* bytes, uint32_t byte_count) {
    if (!bytes && byte_count) return -1;
    data = static_cast<const uint8_t*>(bytes);
    size = byte_count;
    position = 0;
    return 0;
}

extern "C" InputFile* PLENAR_STDCALL CreateMemoryInputFile() { return new MemoryInputFile(); }

}  // namespace plenar
