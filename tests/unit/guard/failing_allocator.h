// Every request for memory the code under test makes, counted, with one of
// them refused: operator new (replaced for the whole test program, so it
// throws std::bad_alloc), the JSON reader's allocation callback and the
// records' allocator (which answer null). Nothing is refused until asked.
#pragma once

#include <cstddef>

#include "json/json.h"

namespace failing_allocator {

// The `request`-th request from now on is refused (1: the next one); 0
// refuses none.
void Refuse(size_t request);
// Whether the request to be refused has come (and was refused).
bool Refused();

// Settings under which the JSON reader asks here.
json_reader_settings ReaderSettings();
// Kvor::AllocateRecordMemory's contract: calloc's.
void* RecordMemory(size_t count, size_t size);

}  // namespace failing_allocator
