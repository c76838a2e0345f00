// The second pass: it takes the first pass's nodes again in creation order,
// which is the order of the text, gives each its block at the measured size
// and puts it into its parent. Its only use for the text is the strings: the
// next name or string value is always the next string in the text, and
// outside strings the only quotes are the ones opening them.
#include <cstring>

#include "json/json_parse_state.h"
#include "json/json_string.h"

namespace {

class filler {
public:
    filler(json_parse_state& state, const char* text, const char* end)
        : s(state), cursor(text), end(end) {}

    bool run() {
        for (json_value* node = s.chain; node; node = s.chain) {
            // An object's link becomes its name cursor in fill.
            s.chain = static_cast<json_value*>(node->link);
            json_value* const parent = node->parent;
            char* const name =
                parent && parent->type == json_type_object ? next_name(parent) : nullptr;
            const bool filled = fill(node);
            // Joined even without its block, so that one release walk finds it.
            if (parent) join(parent, name, node);
            if (!filled) return json_fail(s, "Memory allocation failure");
        }
        return true;
    }

private:
    json_parse_state& s;
    const char* cursor;  // past the last string read
    const char* const end;

    // The block of an array, string or object, at the size the first pass
    // measured; an array's or object's count is raised again as members
    // join. Numbers, booleans and null were made whole by the first pass.
    bool fill(json_value* node) {
        const uint32_t length = node->u.array.length;
        switch (node->type) {
            case json_type_array: return open_block(node, uint64_t(length) * sizeof(json_value*));
            case json_type_object: {
                const uint64_t entries = uint64_t(length) * sizeof(json_object_entry);
                if (!open_block(node, entries + json_name_total(node))) return false;
                node->link = node->u.string.ptr + entries;
                return true;
            }
            case json_type_string: {
                // Where a string without escapes stands in the text, else null.
                const char* const plain = node->u.string.ptr;
                if (!open_block(node, uint64_t(length) + 1)) return false;
                node->u.string.length = plain ? copy_plain(node->u.string.ptr, plain, length)
                                              : next_string(node->u.string.ptr);
                return true;
            }
            default: return true;
        }
    }

    bool open_block(json_value* node, uint64_t size) {
        node->u.string.ptr = static_cast<char*>(json_request(s, size, false));
        node->u.string.length = 0;
        return node->u.string.ptr != nullptr;
    }

    static void join(json_value* parent, char* name, json_value* node) {
        if (parent->type == json_type_array) {
            parent->u.array.values[parent->u.array.length++] = node;
        } else {
            parent->u.object.values[parent->u.object.length++] = {name, node};
        }
    }

    // The next member name of `object`, written at its name cursor.
    char* next_name(json_value* object) {
        char* const name = static_cast<char*>(object->link);
        object->link = name + next_string(name) + 1;
        return name;
    }

    // Writes the `length` bytes at `plain`, a string's own, at `out` with a
    // NUL; the next string of the text is the one after them.
    uint32_t copy_plain(char* out, const char* plain, uint32_t length) {
        memcpy(out, plain, length);
        out[length] = 0;
        cursor = plain + length + 1;
        return length;
    }

    // Writes the next string of the text at `out`, with its NUL; returns its
    // length.
    uint32_t next_string(char* out) {
        while (*cursor != '"') ++cursor;
        json_strings::string_reader<true> reader(out);
        const char* q = cursor + 1;
        reader.read(q, end);  // the first pass has read it whole
        out[reader.length] = 0;
        cursor = q + 1;
        return reader.length;
    }
};

}  // namespace

bool json_fill(json_parse_state& state, const char* begin, const char* end) {
    return filler(state, begin, end).run();
}
