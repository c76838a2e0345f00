// The scanner and its two passes. The first pass validates, creates the nodes
// and measures every string, array and object; the second allocates each of
// those blocks at its final size and fills it in, reusing the first pass's
// nodes in creation order. One forward loop, so nesting depth costs no stack.
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "json/json_parse_state.h"

namespace {

// Scanner state bits.
constexpr uint32_t document_done = 1u << 0;
constexpr uint32_t in_string = 1u << 1;
constexpr uint32_t escape_pending = 1u << 2;
constexpr uint32_t seeking_value = 1u << 3;
constexpr uint32_t need_comma = 1u << 4;
constexpr uint32_t need_colon = 1u << 5;
constexpr uint32_t value_complete = 1u << 6;

// The exponent stops growing where 10^e is long infinite (or zero).
constexpr int32_t exponent_cap = 100000000;

[[gnu::format(printf, 2, 3)]] bool fail(json_parse_state& s, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(s.message, sizeof s.message, format, args);
    va_end(args);
    return false;
}

bool fail_memory(json_parse_state& s) { return fail(s, "Memory allocation failure"); }

bool is_blank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
bool is_number_byte(unsigned char c) {
    return is_digit(c) || c == '+' || c == '-' || c == 'e' || c == 'E' || c == '.';
}

// The double nearest to the number text [first, last), which the scanner has
// validated. Beyond a double's range it saturates to infinity or zero of the
// number's sign; `scale`, the power of ten of the leading significant digit,
// tells which.
double read_double(const char* first, const char* last, int64_t scale) {
    double value = 0;
    if (std::from_chars(first, last, value).ec == std::errc::result_out_of_range)
        value = std::copysign(scale > 0 ? HUGE_VAL : 0.0, *first == '-' ? -1.0 : 1.0);
    return value;
}
int hex_value(unsigned char c) {
    if (is_digit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// In the first pass an object's pointer slot counts the bytes of its names.
uintptr_t name_total(const json_value* object) {
    uintptr_t total;
    memcpy(&total, &object->u.object.values, sizeof total);
    return total;
}
void add_name_bytes(json_value* object, uintptr_t bytes) {
    const uintptr_t total = name_total(object) + bytes;
    memcpy(&object->u.object.values, &total, sizeof total);
}

struct scanner {
    json_parse_state& s;
    const char* const end;
    bool relaxed_commas() const { return s.settings.options & json_relaxed_commas; }
    int column(const char* at) const { return int(at - s.line_start); }
    unsigned char at(const char* p) const { return p < end ? static_cast<unsigned char>(*p) : 0; }

    void new_line(const char* p) {
        ++s.line;
        s.line_start = p;
    }

    void put(unsigned char c) {
        if (s.second_pass) s.string_out[s.string_length] = char(c);
        ++s.string_length;
    }

    void put_utf8(unsigned code) {
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | code >> 6);
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | code >> 12);
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | code >> 18);
            put(0x80 | (code >> 12 & 0x3F));
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }

    // The code unit of the four hexadecimal digits of a \u escape at `p`;
    // returns how many digits came before the first byte that is not one.
    int hex_digits(const char* p, unsigned& code) const {
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hex_value(at(p + i));
            if (digit < 0) return i;
            code = code << 4 | unsigned(digit);
        }
        return 4;
    }

    // A value of kind `type` starts: a new node in the first pass, the next
    // node of the chain with its block in the second.
    bool open(json_type type) {
        json_value* node;
        if (!s.second_pass) {
            node = static_cast<json_value*>(json_request(s, sizeof(json_value), true));
            if (!node) return fail_memory(s);
            node->parent = s.current;
            node->type = type;
            if (s.root) s.chain->link = node;
            s.chain = node;
        } else {
            node = s.chain;
            s.chain = static_cast<json_value*>(node->link);
        }
        if (!s.root) s.root = node;
        s.current = node;  // also when its block fails, so the failure exit finds it
        return !s.second_pass || open_block(node) || fail_memory(s);
    }

    bool open_block(json_value* node) {
        const uint64_t length = node->u.array.length;
        uint64_t size;
        switch (node->type) {
        case json_type_array: size = length * sizeof(json_value*); break;
        case json_type_string: size = length + 1; break;
        case json_type_object: size = length * sizeof(json_object_entry) + name_total(node); break;
        default: return true;  // the value was computed in the first pass
        }
        char* block = static_cast<char*>(json_request(s, size, false));
        node->u.string.ptr = block;
        node->u.string.length = 0;
        if (!block) return false;
        if (node->type == json_type_object) node->link = block + length * sizeof(json_object_entry);
        return true;
    }

    bool start_string(char* out) {
        s.flags |= in_string;
        s.string_out = out;
        s.string_length = 0;
        return true;
    }

    bool literal(const char* p, const char* word, json_type type, int32_t value) {
        const size_t size = strlen(word);
        if (strncmp(p, word, size) != 0) return fail(s, "%d:%d: Unknown value", s.line, column(p));
        if (!open(type)) return false;
        if (!s.second_pass) s.current->u.boolean = value;
        s.flags |= value_complete;
        return true;
    }

    // A number from `p`, left on its last byte. The first pass validates it
    // and computes its value: an integer while it fits 64 bits, else the
    // nearest double. The second pass keeps that value and only skips it.
    bool number(const char*& p) {
        if (!open(json_type_integer)) return false;
        s.flags |= value_complete;
        const char* q = p;
        if (s.second_pass) {
            while (is_number_byte(at(q + 1))) ++q;
            p = q;
            return true;
        }
        const bool negative = at(q) == '-';
        if (negative) ++q;
        if (!is_digit(at(q))) {
            if (at(q) == '.') return fail(s, "%d:%d: Expected digit before `.`", s.line, column(q));
            return fail(s, "%d:%d: Expected digit after `-`", s.line, column(q));
        }
        if (at(q) == '0' && is_digit(at(q + 1)))
            return fail(s, "%d:%d: Unexpected `0` before `%c`", s.line, column(q + 1), at(q + 1));
        const char* const digits = q;
        uint64_t magnitude = 0;
        bool fits = true;
        for (; is_digit(at(q)); ++q) {
            const unsigned digit = at(q) - '0';
            fits = fits && magnitude <= (UINT64_MAX - digit) / 10;
            if (fits) magnitude = magnitude * 10 + digit;
        }
        // The power of ten of the leading significant digit, for read_double.
        int64_t scale = q - digits - 1;
        bool is_double = false;
        if (at(q) == '.') {
            is_double = true;
            const char* const fraction = ++q;
            if (!is_digit(at(q)))
                return fail(s, "%d:%d: Expected digit after `.`", s.line, column(q));
            while (is_digit(at(q))) ++q;
            if (*digits == '0') {  // 0.00ddd: the leading digit is the first d
                const char* lead = fraction;
                while (lead < q && *lead == '0') ++lead;
                scale = fraction - lead - 1;
            }
        }
        if (at(q) == 'e' || at(q) == 'E') {
            is_double = true;
            ++q;
            const bool exponent_negative = at(q) == '-';
            if (at(q) == '+' || at(q) == '-') ++q;
            if (!is_digit(at(q)))
                return fail(s, "%d:%d: Expected digit after `e`", s.line, column(q));
            int32_t exponent = 0;
            for (; is_digit(at(q)); ++q)
                if (exponent < exponent_cap) exponent = exponent * 10 + (at(q) - '0');
            scale += exponent_negative ? -exponent : exponent;
        }
        json_value* node = s.current;
        if (!is_double && fits && magnitude <= uint64_t(INT64_MAX) + negative) {
            node->u.integer = int64_t(negative ? 0 - magnitude : magnitude);
        } else {
            node->type = json_type_double;
            node->u.dbl = read_double(p, q, scale);
        }
        p = q - 1;
        return true;
    }

    bool start_value(const char*& p, unsigned char c) {
        s.flags &= ~seeking_value;
        switch (c) {
        case '{': return open(json_type_object);
        case '[': s.flags |= seeking_value; return open(json_type_array);
        case '"':
            return open(json_type_string) && start_string(s.current->u.string.ptr);
        case 't': return literal(p, "true", json_type_boolean, 1) && (p += 3, true);
        case 'f': return literal(p, "false", json_type_boolean, 0) && (p += 4, true);
        case 'n': return literal(p, "null", json_type_null, 0) && (p += 3, true);
        default:
            if (is_digit(c) || c == '-') return number(p);
            return fail(s, "%d:%d: Unexpected %c when seeking value", s.line, column(p), c);
        }
    }

    bool seek_value(const char*& p, unsigned char c) {
        if (c == '\n') {
            new_line(p);
        } else if (is_blank(c)) {
        } else if (c == ']') {
            if (s.current && s.current->type == json_type_array) {
                s.flags = (s.flags & ~(need_comma | seeking_value)) | value_complete;
            } else if (!relaxed_commas()) {
                return fail(s, "%d:%d: Unexpected ]", s.line, column(p));
            }
        } else if (s.flags & need_comma) {
            if (c != ',') return fail(s, "%d:%d: Expected , before %c", s.line, column(p), c);
            s.flags &= ~need_comma;
        } else if (s.flags & need_colon) {
            if (c != ':') return fail(s, "%d:%d: Expected : before %c", s.line, column(p), c);
            s.flags &= ~need_colon;
        } else {
            return start_value(p, c);
        }
        return true;
    }

    bool string_byte(const char*& p, unsigned char c) {
        if (c == 0) return fail(s, "Unexpected EOF in string (at %d:%d)", s.line, column(p));
        if (s.string_length > json_limit)
            return fail(s, "%d:%d: Too long (caught overflow)", s.line, column(p));
        if (s.flags & escape_pending) {
            s.flags &= ~escape_pending;
            switch (c) {
            case 'b': put(8); break;
            case 'f': put(12); break;
            case 'n': put(10); break;
            case 'r': put(13); break;
            case 't': put(9); break;
            case 'u': {
                unsigned code;
                const int digits = hex_digits(p + 1, code);
                if (digits < 4)
                    return fail(s, "Invalid character value `%c` (at %d:%d)", 'u', s.line,
                                column(p + 1 + digits));
                p += 4;
                // A high surrogate with the low one escaped right after it is
                // one code point. Either half alone becomes U+FFFD, which is
                // what converting it to UTF-16 would make of it.
                unsigned low;
                if (code >= 0xD800 && code < 0xDC00 && at(p + 1) == '\\' && at(p + 2) == 'u' &&
                    hex_digits(p + 3, low) == 4 && low >= 0xDC00 && low < 0xE000) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    p += 6;
                }
                put_utf8(code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
                break;
            }
            default: put(c);
            }
        } else if (c == '\\') {
            s.flags |= escape_pending;
        } else if (c == '"') {
            end_string();
        } else {
            plain_run(p);
        }
        return true;
    }

    // The byte at `p` and the plain bytes after it (no quote, backslash or
    // NUL), taken at once: strings are most of a description, and a byte at a
    // time through the state machine is what made reading slow. Stops where
    // the length check would fail, so that byte still fails as before.
    // Leaves `p` on the last byte taken.
    void plain_run(const char*& p) {
        const uint32_t length = s.string_length;
        const size_t most = json_limit - length;  // further bytes the check allows
        const char* q = p + 1;
        const char* stop = size_t(end - q) > most ? q + most : end;
        while (q < stop && *q != '"' && *q != '\\' && *q != 0) ++q;
        const size_t taken = size_t(q - p);
        if (s.second_pass) memcpy(s.string_out + length, p, taken);
        s.string_length = length + uint32_t(taken);
        p = q - 1;
    }

    void end_string() {
        json_value* node = s.current;
        s.flags &= ~in_string;
        if (s.second_pass) s.string_out[s.string_length] = 0;
        if (node->type == json_type_string) {
            node->u.string.length = s.string_length;
            s.flags |= value_complete;
            return;
        }
        // A member name of the object `node`.
        if (!s.second_pass) {
            add_name_bytes(node, uintptr_t(s.string_length) + 1);
        } else {
            node->u.object.values[node->u.object.length].name = s.string_out;
            node->link = s.string_out + s.string_length + 1;
        }
        s.flags |= seeking_value | need_colon;
    }

    bool object_byte(const char* p, unsigned char c) {
        if (c == '\n') {
            new_line(p);
        } else if (is_blank(c)) {
        } else if (c == '"') {
            if ((s.flags & need_comma) && !relaxed_commas())
                return fail(s, "%d:%d: Expected , before \"", s.line, column(p));
            s.flags &= ~need_comma;
            start_string(static_cast<char*>(s.current->link));
        } else if (c == '}') {
            s.flags |= value_complete;
        } else if (c == ',' && (s.flags & need_comma)) {
            s.flags &= ~need_comma;
        } else if (c == 0) {
            return fail(s, "%d:%d: Unexpected `\\0` in object", s.line, column(p));
        } else {
            return fail(s, "%d:%d: Unexpected `%c` in object", s.line, column(p), c);
        }
        return true;
    }

    // A finished value joins its parent; the parent becomes current again.
    bool complete(const char* p) {
        json_value* node = s.current;
        json_value* parent = node->parent;
        s.flags &= ~value_complete;
        if (!parent) {
            s.flags = document_done | need_comma;
            return true;
        }
        s.flags |= need_comma | (parent->type == json_type_array ? seeking_value : 0);
        if (s.second_pass) {
            if (parent->type == json_type_object)
                parent->u.object.values[parent->u.object.length].value = node;
            else
                parent->u.array.values[parent->u.array.length] = node;
        }
        s.current = parent;
        if (++parent->u.array.length > json_limit)
            return fail(s, "%d:%d: Too long (caught overflow)", s.line, column(p));
        return true;
    }

    bool step(const char*& p, unsigned char c) {
        if (s.flags & in_string) return string_byte(p, c);
        if (s.flags & seeking_value) return seek_value(p, c);
        return object_byte(p, c);  // numbers and literals end where they begin
    }

    // Runs one pass from `begin`; true when the root value ended cleanly.
    bool run(const char* begin) {
        s.current = s.root = nullptr;
        s.flags = seeking_value;
        s.line = 1;
        s.line_start = begin;
        for (const char* p = begin;;) {
            const unsigned char c = at(p);
            if (s.flags & document_done) {
                if (c == 0) return true;
                if (c == '\n')
                    new_line(p);
                else if (!is_blank(c))
                    return fail(s, "%d:%d: Trailing garbage: `%c`", s.line, column(p), c);
                ++p;
                continue;
            }
            if (!step(p, c)) return false;
            if ((s.flags & value_complete) && !complete(p)) return false;
            ++p;
        }
    }
};

// Second-pass failure: nodes still open are not yet in their parents; put
// each into the slot it would have taken, so one release walk finds them all.
void attach_open_nodes(json_parse_state& s) {
    for (json_value* node = s.current; node && node->parent; node = node->parent) {
        json_value* parent = node->parent;
        if (parent->type == json_type_object)
            parent->u.object.values[parent->u.object.length].value = node;
        else
            parent->u.array.values[parent->u.array.length] = node;
        ++parent->u.array.length;
    }
}

void release_chain(json_parse_state& s, json_value* node) {
    while (node) {
        json_value* next = static_cast<json_value*>(node->link);
        s.settings.release(node, s.settings.user_data);
        node = next;
    }
}

json_value* parse(json_parse_state& s, const char* begin, const char* end) {
    scanner scan{s, end};
    s.second_pass = false;
    if (!scan.run(begin)) {
        release_chain(s, s.root);
        return nullptr;
    }
    s.chain = s.root;
    s.second_pass = true;
    if (!scan.run(begin)) {
        release_chain(s, s.chain);
        attach_open_nodes(s);
        json_release_with(&s.settings, s.root);
        return nullptr;
    }
    return s.root;
}

}  // namespace

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
