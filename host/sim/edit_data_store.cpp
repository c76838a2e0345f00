#include "plenar_sim/edit_data_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace plenar::sim {
namespace {

// Guard bytes on both sides of every block, to catch a plug-in writing
// outside it.
constexpr size_t guard_size = 64;
constexpr uint8_t guard_byte = 0xA5;

uint8_t* base_of(void* block) { return static_cast<uint8_t*>(block) - guard_size; }

void* allocate(uint32_t size) {
    auto* base = static_cast<uint8_t*>(std::calloc(1, size + 2 * guard_size));
    if (!base) return nullptr;
    std::memset(base, guard_byte, guard_size);
    std::memset(base + guard_size + size, guard_byte, guard_size);
    return base + guard_size;
}

bool guard_intact(const uint8_t* guard) {
    for (size_t i = 0; i < guard_size; ++i)
        if (guard[i] != guard_byte) return false;
    return true;
}

}  // namespace

EditDataStore::~EditDataStore() {
    for (const auto& entry : blocks_) std::free(base_of(entry.first));
}

void* EditDataStore::create(uint32_t size, uint32_t identifier) {
    size = std::max<uint32_t>(size, sizeof(EditDataHeader));
    void* block = allocate(size);
    header(block)->size = size;
    header(block)->identifier = identifier;
    blocks_[block] = size;
    return block;
}

void* EditDataStore::resize(void* block, uint32_t size) {
    if (!owns(block) || size < sizeof(EditDataHeader)) return nullptr;
    // The new block is made while the old one still exists, so it always moves.
    void* moved = allocate(size);
    if (!moved) return nullptr;
    std::memcpy(moved, block, std::min(size, length(block)));
    header(moved)->size = size;
    if (!intact(block)) ++damaged_guards_;
    release(block);
    blocks_[moved] = size;
    return moved;
}

bool EditDataStore::intact(const void* block) const {
    const uint32_t size = length(block);
    if (!size) return false;
    const uint8_t* base = base_of(const_cast<void*>(block));
    return guard_intact(base) && guard_intact(base + guard_size + size);
}

uint32_t EditDataStore::length(const void* block) const {
    const auto found = blocks_.find(const_cast<void*>(block));
    return found == blocks_.end() ? 0 : found->second;
}

void EditDataStore::release(void* block) {
    if (blocks_.erase(block)) std::free(base_of(block));
}

}  // namespace plenar::sim
