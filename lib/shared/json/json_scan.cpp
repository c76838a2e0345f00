// The first pass over the comment-free text: it validates the text,
// creates every node and measures every string, array and object. It goes
// forward once, from one place in the grammar to the next; nesting lives in
// the nodes' parent links, so depth costs no stack.
#include <charconv>
#include <cmath>
#include <cstring>

#include "json/json_parse_state.h"
#include "json/json_string.h"

namespace {

using json_strings::outcome;
using json_strings::string_reader;

// The exponent stops growing where 10^e is long infinite (or zero).
constexpr int32_t exponent_cap = 100000000;

bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }

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

// The first pass keeps an object's name total in its pointer slot.
void add_name_bytes(json_value* object, uintptr_t bytes) {
    const uintptr_t total = json_name_total(object) + bytes;
    memcpy(&object->u.object.values, &total, sizeof total);
}

// The text ends in a NUL inside [begin, end), and every loop stops at a NUL,
// so no byte past it is read.
class scanner {
public:
    scanner(json_parse_state& state, const char* end) : s(state), end(end) {}

    // True when the text holds one value and nothing after it but blanks.
    // Each label is a place in the grammar, named by what may come next,
    // with `p` on the next byte to read; at `close`, on the value's last.
    bool run(const char* p) {
        s.current = s.root = nullptr;
        s.line = 1;
        s.line_start = p;

    value:  // a value: at the start, after '[', after ',' in an array, after ':'
        p = skip_blanks(p);
        switch (*p) {
            case '{':
                if (!open(json_type_object)) return false;
                ++p;
                goto member;
            case '[':
                if (!open(json_type_array)) return false;
                ++p;
                goto value;
            case ']':
                // Closes the array a value was awaited in (so "[1,]" is [1]); with
                // relaxed commas a ']' where no array is open is skipped.
                if (s.current && s.current->type == json_type_array) goto close;
                if (!relaxed_commas())
                    return json_fail(s, "%d:%d: Unexpected ]", s.line, column(p));
                ++p;
                goto value;
            case '"':
                if (!open(json_type_string) || !string_value(p)) return false;
                goto close;
            case 't':
                if (!literal(p, "true", json_type_boolean, 1)) return false;
                goto close;
            case 'f':
                if (!literal(p, "false", json_type_boolean, 0)) return false;
                goto close;
            case 'n':
                if (!literal(p, "null", json_type_null, 0)) return false;
                goto close;
            default:
                if (is_digit(*p) || *p == '-') {
                    if (!number(p)) return false;
                    goto close;
                }
                return json_fail(s, "%d:%d: Unexpected %c when seeking value", s.line, column(p),
                                 *p);
        }

    close:  // the current value ends at `p`: its parent counts it and is current again
        if (!s.current->parent) {
            ++p;
            goto end;
        }
        s.current = s.current->parent;
        if (++s.current->u.array.length > json_limit)
            return json_fail(s, "%d:%d: Too long (caught overflow)", s.line, column(p));
        ++p;
        if (s.current->type == json_type_object) goto member_next;

        // array_next: ',' or ']' after an element
        p = skip_blanks(p);
        if (*p == ',') {
            ++p;
            goto value;
        }
        if (*p == ']') goto close;
        return json_fail(s, "%d:%d: Expected , before %c", s.line, column(p), *p);

    member:  // a member name or '}', after '{' or ','
        p = skip_blanks(p);
        if (*p == '"') goto name;
        if (*p == '}') goto close;
        return unexpected_in_object(p);

    member_next:  // ',' or '}' after a member's value; with relaxed commas also a name
        p = skip_blanks(p);
        if (*p == ',') {
            ++p;
            goto member;
        }
        if (*p == '}') goto close;
        if (*p != '"') return unexpected_in_object(p);
        if (!relaxed_commas())
            return json_fail(s, "%d:%d: Expected , before \"", s.line, column(p));

    name:
        if (!member_name(p)) return false;
        ++p;

    colon:  // the ':' after a member name
        p = skip_blanks(p);
        if (*p == ':') {
            ++p;
            goto value;
        }
        if (*p == ']') {  // no array is open here
            if (!relaxed_commas()) return json_fail(s, "%d:%d: Unexpected ]", s.line, column(p));
            ++p;
            goto colon;
        }
        return json_fail(s, "%d:%d: Expected : before %c", s.line, column(p), *p);

    end:  // nothing but blanks after the root value
        p = skip_blanks(p);
        if (*p == 0) return true;
        return json_fail(s, "%d:%d: Trailing garbage: `%c`", s.line, column(p), *p);
    }

private:
    json_parse_state& s;
    const char* const end;

    bool relaxed_commas() const { return s.settings.options & json_relaxed_commas; }
    int column(const char* at) const { return int(at - s.line_start); }

    // Past tabs, carriage returns, spaces and line feeds, counting lines.
    const char* skip_blanks(const char* p) {
        for (;; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if (c > ' ') return p;
            if (c == ' ' || c == '\t' || c == '\r') continue;
            if (c != '\n') return p;
            ++s.line;
            s.line_start = p;
        }
    }

    bool unexpected_in_object(const char* p) {
        if (*p == 0) return json_fail(s, "%d:%d: Unexpected `\\0` in object", s.line, column(p));
        return json_fail(s, "%d:%d: Unexpected `%c` in object", s.line, column(p), *p);
    }

    // A value of kind `type` starts: a new node, last on the allocation
    // chain, and the current one.
    bool open(json_type type) {
        auto* node = static_cast<json_value*>(json_request(s, sizeof(json_value), true));
        if (!node) return json_fail(s, "Memory allocation failure");
        node->parent = s.current;
        node->type = type;
        if (s.root)
            s.chain->link = node;
        else
            s.root = node;
        s.chain = node;
        s.current = node;
        return true;
    }

    bool literal(const char*& p, const char* word, json_type type, int32_t value) {
        const size_t size = strlen(word);
        // A match ends before the text's final NUL, so it lies inside the text.
        if (size_t(end - p) <= size || memcmp(p, word, size) != 0)
            return json_fail(s, "%d:%d: Unknown value", s.line, column(p));
        if (!open(type)) return false;
        s.current->u.boolean = value;
        p += size - 1;
        return true;
    }

    // The string value whose opening quote is at `p`. Without escapes its
    // bytes are the text's own, so the node keeps where they are and the
    // second pass copies them without reading them again.
    bool string_value(const char*& p) {
        json_value* node = s.current;
        const char* const first = p + 1;
        if (!string(p, node->u.string.length)) return false;
        if (size_t(p - first) == node->u.string.length)
            node->u.string.ptr = const_cast<char*>(first);
        return true;
    }

    // The name of the current object's next member, its quote at `p`: its
    // bytes and NUL join the object's name total.
    bool member_name(const char*& p) {
        uint32_t length = 0;
        if (!string(p, length)) return false;
        add_name_bytes(s.current, uintptr_t(length) + 1);
        return true;
    }

    // Measures the string whose opening quote is at `p`; leaves `p` on its
    // closing quote. Inline in both callers: it runs for every string.
    [[gnu::always_inline]] bool string(const char*& p, uint32_t& length) {
        string_reader<false> reader(nullptr);
        const char* q = p + 1;
        switch (reader.read(q, end)) {
            case outcome::closed: break;
            case outcome::text_ended:
                return json_fail(s, "Unexpected EOF in string (at %d:%d)", s.line, column(q));
            case outcome::bad_escape:
                return json_fail(s, "Invalid character value `%c` (at %d:%d)", 'u', s.line,
                                 column(q));
        }
        // The text is shorter than this; the check keeps the 32-bit count honest.
        if (reader.length > json_limit)
            return json_fail(s, "%d:%d: Too long (caught overflow)", s.line, column(q));
        length = reader.length;
        p = q;
        return true;
    }

    // The number starting at `p`, left on its last byte: an integer while it
    // fits 64 bits, else the nearest double.
    bool number(const char*& p) {
        if (!open(json_type_integer)) return false;
        const char* q = p;
        const bool negative = *q == '-';
        if (negative) ++q;
        if (!is_digit(*q)) {
            if (*q == '.')
                return json_fail(s, "%d:%d: Expected digit before `.`", s.line, column(q));
            return json_fail(s, "%d:%d: Expected digit after `-`", s.line, column(q));
        }
        if (*q == '0' && is_digit(q[1]))
            return json_fail(s, "%d:%d: Unexpected `0` before `%c`", s.line, column(q + 1), q[1]);
        const char* const digits = q;
        uint64_t magnitude = 0;
        bool fits = true;
        for (; is_digit(*q); ++q) {
            const unsigned digit = *q - '0';
            fits = fits && (magnitude < UINT64_MAX / 10 ||
                            (magnitude == UINT64_MAX / 10 && digit <= UINT64_MAX % 10));
            magnitude = magnitude * 10 + digit;
        }
        // The power of ten of the leading significant digit, for read_double.
        int64_t scale = q - digits - 1;
        bool is_double = false;
        if (*q == '.') {
            is_double = true;
            const char* const fraction = ++q;
            if (!is_digit(*q))
                return json_fail(s, "%d:%d: Expected digit after `.`", s.line, column(q));
            while (is_digit(*q)) ++q;
            if (*digits == '0') {  // 0.00ddd: the leading digit is the first d
                const char* lead = fraction;
                while (lead < q && *lead == '0') ++lead;
                scale = fraction - lead - 1;
            }
        }
        if (*q == 'e' || *q == 'E') {
            is_double = true;
            ++q;
            const bool exponent_negative = *q == '-';
            if (*q == '+' || *q == '-') ++q;
            if (!is_digit(*q))
                return json_fail(s, "%d:%d: Expected digit after `e`", s.line, column(q));
            int32_t exponent = 0;
            for (; is_digit(*q); ++q)
                if (exponent < exponent_cap) exponent = exponent * 10 + (*q - '0');
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
};

}  // namespace

bool json_scan(json_parse_state& state, const char* begin, const char* end) {
    return scanner(state, end).run(begin);
}
