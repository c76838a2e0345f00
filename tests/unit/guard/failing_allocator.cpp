#include "failing_allocator.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace failing_allocator {
namespace {

size_t requests = 0;
size_t refused_request = SIZE_MAX;

// Counts a request; false for the one to refuse.
bool Grant() { return ++requests != refused_request; }

void* Allocate(size_t size, int zero_fill, void*) {
    if (!Grant()) return nullptr;
    return zero_fill ? std::calloc(size ? size : 1, 1) : std::malloc(size ? size : 1);
}

void Release(void* block, void*) { std::free(block); }

void* New(size_t size) {
    if (!Grant()) throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void* NewWithoutThrowing(size_t size) noexcept {
    return Grant() ? std::malloc(size ? size : 1) : nullptr;
}

}  // namespace

void Refuse(size_t request) { refused_request = request ? requests + request : SIZE_MAX; }

bool Refused() { return refused_request != SIZE_MAX && requests >= refused_request; }

json_reader_settings ReaderSettings() { return {0, 0, Allocate, Release, nullptr}; }

void* RecordMemory(size_t count, size_t size) {
    return Grant() ? std::calloc(count, size) : nullptr;
}

}  // namespace failing_allocator

void* operator new(size_t size) { return failing_allocator::New(size); }
void* operator new[](size_t size) { return failing_allocator::New(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return failing_allocator::NewWithoutThrowing(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return failing_allocator::NewWithoutThrowing(size);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }
