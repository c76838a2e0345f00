#include "import_counter.h"

#include <windows.h>

#include <cstring>

namespace bench {

namespace {

template <typename T>
T* At(void* module, uintptr_t rva) {
    return reinterpret_cast<T*>(static_cast<uint8_t*>(module) + rva);
}

void WriteSlot(uintptr_t* slot, uintptr_t value) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

bool IsHeapAllocation(const std::string& name) {
    static const char* const names[] = {
        "!malloc",      "!calloc",          "!realloc",    "!_aligned_malloc", "!HeapAlloc",
        "!HeapReAlloc", "!RtlAllocateHeap", "!LocalAlloc", "!GlobalAlloc",     "!VirtualAlloc"};
    for (const char* n : names)
        if (name.size() >= strlen(n) && name.compare(name.size() - strlen(n), strlen(n), n) == 0)
            return true;
    return false;
}

}  // namespace

ImportCounter::ImportCounter(void* module) {
    auto* dos = At<IMAGE_DOS_HEADER>(module, 0);
    auto* nt = At<IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!entry.VirtualAddress) return;
    for (auto* d = At<IMAGE_IMPORT_DESCRIPTOR>(module, entry.VirtualAddress); d->Name; ++d) {
        const char* library = At<char>(module, d->Name);
        auto* slots = At<uintptr_t>(module, d->FirstThunk);
        auto* names =
            d->OriginalFirstThunk ? At<IMAGE_THUNK_DATA>(module, d->OriginalFirstThunk) : nullptr;
        for (int i = 0; slots[i]; ++i) {
            std::string name = std::string(library) + "!";
            if (names && !IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal))
                name += reinterpret_cast<const char*>(
                    At<IMAGE_IMPORT_BY_NAME>(module, names[i].u1.AddressOfData)->Name);
            else
                name += "#" + std::to_string(names ? IMAGE_ORDINAL(names[i].u1.Ordinal) : i);
            slots_.push_back({&slots[i], slots[i], name});
        }
    }
    // Each slot leads to a stub that counts the call and jumps on to the
    // original function, arguments untouched.
    constexpr size_t stub_size = 32;
    const size_t n = slots_.size();
    stubs_ = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, n * stub_size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    counters_ = new uint32_t[n]();
    targets_ = new uintptr_t[n];
    for (size_t i = 0; i < n; ++i) {
        targets_[i] = slots_[i].original;
        uint8_t* stub = stubs_ + i * stub_size;
        const uintptr_t counter = reinterpret_cast<uintptr_t>(&counters_[i]);
        const uintptr_t target = reinterpret_cast<uintptr_t>(&targets_[i]);
#if UINTPTR_MAX == 0xFFFFFFFFu
        stub[0] = 0xFF;
        stub[1] = 0x05;  // inc dword ptr [counter]
        memcpy(stub + 2, &counter, 4);
        stub[6] = 0xFF;
        stub[7] = 0x25;  // jmp dword ptr [target]
        memcpy(stub + 8, &target, 4);
#else
        // RAX is free at a call's entry in the x64 convention.
        stub[0] = 0x48;
        stub[1] = 0xB8;  // mov rax, counter
        memcpy(stub + 2, &counter, 8);
        stub[10] = 0xFF;
        stub[11] = 0x00;  // inc dword ptr [rax]
        stub[12] = 0x48;
        stub[13] = 0xB8;  // mov rax, target
        memcpy(stub + 14, &target, 8);
        stub[22] = 0xFF;
        stub[23] = 0x20;  // jmp qword ptr [rax]
#endif
        WriteSlot(slots_[i].address, reinterpret_cast<uintptr_t>(stub));
    }
    FlushInstructionCache(GetCurrentProcess(), stubs_, n * stub_size);
}

ImportCounter::~ImportCounter() {
    for (const Slot& slot : slots_) WriteSlot(slot.address, slot.original);
    if (stubs_) VirtualFree(stubs_, 0, MEM_RELEASE);
    delete[] counters_;
    delete[] targets_;
}

void ImportCounter::Reset() {
    for (size_t i = 0; i < slots_.size(); ++i) counters_[i] = 0;
}

uint64_t ImportCounter::Total() const {
    uint64_t total = 0;
    for (size_t i = 0; i < slots_.size(); ++i) total += counters_[i];
    return total;
}

std::vector<std::pair<std::string, uint32_t>> ImportCounter::Called() const {
    std::vector<std::pair<std::string, uint32_t>> called;
    for (size_t i = 0; i < slots_.size(); ++i)
        if (counters_[i]) called.emplace_back(slots_[i].name, counters_[i]);
    return called;
}

uint64_t ImportCounter::HeapAllocations() const {
    uint64_t total = 0;
    for (size_t i = 0; i < slots_.size(); ++i)
        if (IsHeapAllocation(slots_[i].name)) total += counters_[i];
    return total;
}

}  // namespace bench
