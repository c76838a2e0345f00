// Counts every call a loaded module makes through its import address table
// (heap functions, kernel32, anything): each slot is pointed at a small stub
// that increments the slot's counter and jumps on to the original function.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

class ImportCounter {
public:
    explicit ImportCounter(void* module);
    ~ImportCounter();  // puts every slot back
    ImportCounter(const ImportCounter&) = delete;
    ImportCounter& operator=(const ImportCounter&) = delete;

    void Reset();
    uint64_t Total() const;
    // "library!name" of every import called since Reset, with its count.
    std::vector<std::pair<std::string, uint32_t>> Called() const;
    // Calls since Reset to heap allocation functions (malloc, calloc,
    // realloc, operator new's helpers, HeapAlloc, HeapReAlloc).
    uint64_t HeapAllocations() const;
    size_t Slots() const { return slots_.size(); }

private:
    struct Slot {
        uintptr_t* address;
        uintptr_t original;
        std::string name;
    };
    std::vector<Slot> slots_;
    uint8_t* stubs_ = nullptr;      // executable, 12 bytes per slot
    uint32_t* counters_ = nullptr;  // one per slot
    uintptr_t* targets_ = nullptr;  // the original functions, for the stubs' jumps
};

}  // namespace bench
