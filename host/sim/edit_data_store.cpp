#include "plenar_sim/edit_data_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace plenar::sim {

EditDataStore::~EditDataStore() {
    for (const auto& entry : blocks_) std::free(entry.first);
}

void* EditDataStore::create(uint32_t size, uint32_t identifier) {
    size = std::max<uint32_t>(size, sizeof(EditDataHeader));
    void* block = std::calloc(1, size);
    header(block)->size = size;
    header(block)->identifier = identifier;
    blocks_[block] = size;
    return block;
}

void* EditDataStore::resize(void* block, uint32_t size) {
    if (!owns(block) || size < sizeof(EditDataHeader)) return nullptr;
    // The new block is made while the old one still exists, so it always moves.
    void* moved = std::calloc(1, size);
    std::memcpy(moved, block, std::min(size, length(block)));
    header(moved)->size = size;
    release(block);
    blocks_[moved] = size;
    return moved;
}

uint32_t EditDataStore::length(const void* block) const {
    const auto found = blocks_.find(const_cast<void*>(block));
    return found == blocks_.end() ? 0 : found->second;
}

void EditDataStore::release(void* block) {
    if (blocks_.erase(block)) std::free(block);
}

}  // namespace plenar::sim
