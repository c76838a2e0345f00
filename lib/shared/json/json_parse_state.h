// Working state of one json_read call, shared by the comment pass and the
// two passes. Not part of the public interface.
#pragma once

#include <cstring>

#include "json/json.h"

// Largest string byte count, largest member count of one array or object,
// and largest total the reader may request in one parse: 2^32 - 9.
inline constexpr uint32_t json_limit = 4294967287u;

struct json_parse_state {
    json_reader_settings settings;  // caller's copy with the defaults filled in
    uint32_t requested;             // bytes requested so far (kept only under a memory limit)
    json_value* current;            // first pass: the value being read
    json_value* root;
    json_value* chain;       // first pass: last node created; second pass: next node to fill
    int line;                // first pass: the line being read, from 1
    const char* line_start;  // first pass: where that line began
    char message[128];
};

void* json_default_allocate(size_t size, int zero_fill, void* user_data);
void json_default_release(void* block, void* user_data);

// Requests `size` bytes through the settings' allocator, within the parse's
// accounting. Null when the limit or the allocator refuses.
void* json_request(json_parse_state& state, uint64_t size, bool zero_fill);

// Removes // and /* */ comments from the text block in `*text`. The block is
// consumed either way: on success `*text` becomes the stripped copy (from
// json_request) and `*length` its size counting the final NUL; on failure the
// block is freed, `*text` is null and the message is in `message`.
int json_strip_comments(char** text, json_parse_state* state, char* message, size_t message_size,
                        size_t* length);

// Writes the message of a failure into the parse's buffer; always false.
[[gnu::format(printf, 2, 3)]] bool json_fail(json_parse_state& state, const char* format, ...);

// The first pass over the comment-free text [begin, end), which ends in a
// NUL: validates it, creates every node (s.root first, chained by `link`)
// and measures every string, array and object.
bool json_scan(json_parse_state& state, const char* begin, const char* end);
// The second pass: gives every node from s.chain on its block at the
// measured size and fills it in from the same text.
bool json_fill(json_parse_state& state, const char* begin, const char* end);

// In the first pass an object's pointer slot counts the bytes of its names.
inline uintptr_t json_name_total(const json_value* object) {
    uintptr_t total;
    memcpy(&total, &object->u.object.values, sizeof total);
    return total;
}
