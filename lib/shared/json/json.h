// The description reader: a comment-tolerant, two-pass JSON parser.
//
// The first pass validates the text, creates every node and measures every
// string, array and object; the second allocates each of those blocks at its
// final size and fills it in, reusing the first pass's nodes. Nothing
// recurses, in parsing or in release.
//
// Lookups never fail: a missing member, a wrong type or an index out of range
// gives the shared node json_none, so chains like lang["Actions"][3]["Title"]
// are always safe.
//
// A whole number that fits 64 bits is an integer node; any other number is a
// double node holding the double nearest to it: beyond the double range,
// infinity of its sign; below it, zero of its sign. Strings are UTF-8: a \u escape of a surrogate
// pair gives its one code point, a lone surrogate half U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>

enum json_type : int32_t {
    json_type_none = 0,
    json_type_object = 1,
    json_type_array = 2,
    json_type_integer = 3,
    json_type_double = 4,
    json_type_string = 5,
    json_type_boolean = 6,
    json_type_null = 7,
};

struct json_value;

// One member of an object. `name` points into the object's own block.
struct json_object_entry {
    char* name;
    json_value* value;
};

struct json_value {
    json_value* parent;  // enclosing array or object; null for the root
    json_type type;
    // Eight bytes, little-endian. The 32-bit length of strings, arrays and
    // objects shares its first four bytes with the boolean and the low half
    // of the integer; their block pointer takes the last four.
    union alignas(8) {
        int32_t boolean;
        int64_t integer;
        double dbl;
        struct {
            uint32_t length;
            char* ptr;
        } string;
        struct {
            uint32_t length;
            json_object_entry* values;
        } object;
        struct {
            uint32_t length;
            json_value** values;
        } array;
    } u;
    // Reader's working field: next node in creation order; for an object in
    // the second pass, the write cursor into its name area.
    void* link;

    // Member by exact, case-sensitive key; json_none unless this is an
    // object holding that key (the first of duplicates wins).
    const json_value& operator[](const char* key) const;
    // Element by index; json_none unless this is an array and 0 <= index < length.
    const json_value& operator[](int32_t index) const;
    // The bytes of a string node; "" for any other node (never null).
    const char* text() const;
    // Integer value; a double truncated toward zero; 0 for anything else.
    int64_t integer() const;
    // True only for a boolean node whose value is nonzero.
    bool boolean() const;
    // The count in the first four payload bytes, read without a type check
    // (0 for json_none and for nodes without a length).
    uint32_t length() const { return u.string.length; }
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(json_value) == 24, "json_value is 24 bytes in 32-bit builds");
static_assert(offsetof(json_value, parent) == 0);
static_assert(offsetof(json_value, type) == 4);
static_assert(offsetof(json_value, u) == 8);
static_assert(offsetof(json_value, link) == 16);
static_assert(sizeof(json_object_entry) == 8);
#endif

// The shared empty node every failed lookup returns; never released.
extern const json_value json_none;

enum : int32_t {
    // A member key may follow a member value without a comma, and a `]` that
    // closes no array is skipped.
    json_relaxed_commas = 1,
};

struct json_reader_settings {
    uint32_t memory_limit;  // most bytes one parse may request; 0 = no limit
    int32_t options;        // json_relaxed_commas or 0
    // Null means: calloc when zero_fill is nonzero, else malloc. Must return a
    // non-null block for a request of zero bytes.
    void* (*allocate)(size_t size, int zero_fill, void* user_data);
    void (*release)(void* block, void* user_data);  // null means free
    void* user_data;                                // handed to both callbacks unchanged
};

// Parses `length` bytes of `text`, a malloc'd block with a NUL at `length`.
// The reader takes ownership of `text` and frees it. Returns the root, owned
// by the caller, or null with the first error's message in `error_buffer`
// (which may be null) cut to `error_size` bytes.
json_value* json_read(const json_reader_settings* settings, char* text, size_t length,
                      char* error_buffer, size_t error_size);

// Releases `value` and everything below it. Null does nothing.
void json_release(json_value* value);
void json_release_with(const json_reader_settings* settings, json_value* value);
