// The host's edit-data blocks: each starts with the 20-byte header whose
// `size` the host keeps equal to the block's length. A test may set that word
// to something else, as a host whose word is no length would; the store keeps
// each block's length for itself. Resizing always moves the block (new block,
// copy, old one freed), as a real host may, so a plug-in that keeps the old
// pointer is caught; guard bytes around each block catch writes outside it.
#pragma once

#include <cstdint>
#include <map>
#include "plenar/edit_data.h"

namespace plenar::sim {

class EditDataStore {
public:
    EditDataStore() = default;
    ~EditDataStore();
    EditDataStore(const EditDataStore&) = delete;
    EditDataStore& operator=(const EditDataStore&) = delete;

    // A new zeroed block of `size` bytes (at least the header).
    void* create(uint32_t size, uint32_t identifier = 0);
    // The block moved to a new address with `size` bytes, the common part
    // copied and the rest zero; null (and the old block kept) for a block
    // this store does not own or a size below the header.
    void* resize(void* block, uint32_t size);
    void release(void* block);

    bool owns(const void* block) const { return blocks_.count(const_cast<void*>(block)) != 0; }
    static EditDataHeader* header(void* block) { return static_cast<EditDataHeader*>(block); }
    // The header's size word.
    static uint32_t size(const void* block) {
        return static_cast<const EditDataHeader*>(block)->size;
    }
    // The block's true length; 0 for a block this store does not own.
    uint32_t length(const void* block) const;
    size_t count() const { return blocks_.size(); }
    // Whether nothing was written just before or after `block` (false for a
    // block this store does not own); how many blocks resized away had
    // such a write.
    bool intact(const void* block) const;
    size_t damaged_guards() const { return damaged_guards_; }

private:
    std::map<void*, uint32_t> blocks_;  // each block and its length
    size_t damaged_guards_ = 0;
};

}  // namespace plenar::sim
