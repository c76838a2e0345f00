// Lookups on a finished tree, and its release.
#include <cstdlib>
#include <cstring>

#include "json/json_parse_state.h"

constinit const json_value json_none{};

void* json_default_allocate(size_t size, int zero_fill, void* /*user_data*/) {
    // One byte for empty arrays and objects, so that the answer is never null.
    if (size == 0) size = 1;
    return zero_fill ? calloc(size, 1) : malloc(size);
}

void json_default_release(void* block, void* /*user_data*/) { free(block); }

const json_value& json_value::operator[](const char* key) const {
    if (type != json_type_object || !key) return json_none;
    for (uint32_t i = 0; i < u.object.length; ++i)
        if (strcmp(u.object.values[i].name, key) == 0) return *u.object.values[i].value;
    return json_none;
}

const json_value& json_value::operator[](int32_t index) const {
    if (type != json_type_array || index < 0 || uint32_t(index) >= u.array.length) return json_none;
    return *u.array.values[index];
}

const char* json_value::text() const {
    return type == json_type_string && u.string.ptr ? u.string.ptr : "";
}

int64_t json_value::integer() const {
    if (type == json_type_integer) return u.integer;
    if (type != json_type_double) return 0;
    // Out-of-range doubles (and NaN) have no truncation; give the nearest bound.
    const double d = u.dbl;
    if (d != d) return 0;
    if (d >= 9223372036854775808.0) return INT64_MAX;
    if (d <= -9223372036854775808.0) return INT64_MIN;
    return int64_t(d);
}

bool json_value::boolean() const { return type == json_type_boolean && u.boolean != 0; }

void json_release(json_value* value) { json_release_with(nullptr, value); }

void json_release_with(const json_reader_settings* settings, json_value* value) {
    if (!value) return;
    void (*release)(void*, void*) =
        settings && settings->release ? settings->release : json_default_release;
    void* user_data = settings ? settings->user_data : nullptr;
    // Depth-first from the last member, using each node's parent as the way
    // back, so the walk needs no stack of its own.
    value->parent = nullptr;
    json_value* node = value;
    while (node) {
        const bool container = node->type == json_type_object || node->type == json_type_array;
        if (container && node->u.array.length > 0) {
            const uint32_t last = --node->u.array.length;
            json_value* child = node->type == json_type_object ? node->u.object.values[last].value
                                                               : node->u.array.values[last];
            if (child) node = child;
            continue;
        }
        if ((container || node->type == json_type_string) && node->u.string.ptr)
            release(node->u.string.ptr, user_data);
        json_value* parent = node->parent;
        release(node, user_data);
        node = parent;
    }
}
