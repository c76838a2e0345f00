// json_read: the comment pass, then the two passes over the comment-free
// text (json_scan.cpp, json_fill.cpp), and the failure exit that leaves
// nothing behind.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "json/json_parse_state.h"

namespace {

void release_chain(json_parse_state& s, json_value* node) {
    while (node) {
        json_value* next = static_cast<json_value*>(node->link);
        s.settings.release(node, s.settings.user_data);
        node = next;
    }
}

json_value* parse(json_parse_state& s, const char* begin, const char* end) {
    if (!json_scan(s, begin, end)) {
        release_chain(s, s.root);
        return nullptr;
    }
    s.chain = s.root;
    if (!json_fill(s, begin, end)) {
        release_chain(s, s.chain);
        json_release_with(&s.settings, s.root);
        return nullptr;
    }
    return s.root;
}

}  // namespace

bool json_fail(json_parse_state& s, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(s.message, sizeof s.message, format, args);
    va_end(args);
    return false;
}

void* json_request(json_parse_state& s, uint64_t size, bool zero_fill) {
    if (size > json_limit - s.requested) return nullptr;
    if (s.settings.memory_limit) {
        s.requested += uint32_t(size);
        if (s.requested > s.settings.memory_limit) return nullptr;
    }
    return s.settings.allocate(size_t(size), zero_fill, s.settings.user_data);
}

json_value* json_read(const json_reader_settings* settings, char* text, size_t length,
                      char* error_buffer, size_t error_size) {
    json_parse_state s{};
    if (settings) s.settings = *settings;
    if (!s.settings.allocate) s.settings.allocate = json_default_allocate;
    if (!s.settings.release) s.settings.release = json_default_release;

    json_value* root = nullptr;
    if (json_strip_comments(&text, &s, s.message, sizeof s.message, &length)) {
        root = parse(s, text, text + length);
        // Nothing reads the stripped copy once the tree is built.
        s.settings.release(text, s.settings.user_data);
    }
    if (!root && error_buffer && error_size) {
        const char* message = s.message[0] ? s.message : "Unknown error";
        const size_t size = strnlen(message, error_size - 1);
        memcpy(error_buffer, message, size);
        error_buffer[size] = 0;
    }
    return root;
}
