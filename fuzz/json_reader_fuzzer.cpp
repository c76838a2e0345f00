// The JSON reader on arbitrary bytes: once with the default settings, once
// relaxed and under a memory limit, each tree walked whole through the
// lookups and released through a counting allocator that must end at zero.
// The comment pass, which skips and copies whole runs of bytes, must give
// exactly what a plain byte-by-byte loop gives: bytes, length and message.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "json/json.h"
#include "json/json_parse_state.h"

namespace {

struct Accounting {
    uint64_t requested = 0;   // bytes asked for in this parse
    int64_t outstanding = 0;  // blocks not yet released
};

void* CountedAllocate(size_t size, int zero_fill, void* user_data) {
    auto& account = *static_cast<Accounting*>(user_data);
    void* block = zero_fill ? calloc(size ? size : 1, 1) : malloc(size ? size : 1);
    if (block) {
        account.requested += size;
        ++account.outstanding;
    }
    return block;
}

void CountedRelease(void* block, void* user_data) {
    if (!block) return;
    --static_cast<Accounting*>(user_data)->outstanding;
    free(block);
}

// Visits every node without recursion and checks what the lookups promise.
void Walk(const json_value* root) {
    fuzz::Require(root->parent == nullptr, "the root has no parent");
    std::vector<const json_value*> pending{root};
    while (!pending.empty()) {
        const json_value* node = pending.back();
        pending.pop_back();
        fuzz::Require(node->text() != nullptr, "text() is never null");
        (void)node->integer();
        (void)node->boolean();
        // Out-of-range and missing lookups give the shared empty node.
        fuzz::Require(&(*node)[-1] == &json_none, "index -1 gives json_none");
        fuzz::Require(&(*node)[static_cast<int32_t>(node->length())] == &json_none ||
                          node->type != json_type_array,
                      "index length gives json_none");
        switch (node->type) {
            case json_type_string:
                fuzz::Require(node->u.string.ptr[node->length()] == 0, "strings end in a NUL");
                break;
            case json_type_array:
                for (uint32_t i = 0; i < node->length(); ++i) {
                    const json_value& child = (*node)[static_cast<int32_t>(i)];
                    fuzz::Require(&child == node->u.array.values[i], "index lookup finds element");
                    fuzz::Require(child.parent == node, "an element's parent is its array");
                    pending.push_back(&child);
                }
                break;
            case json_type_object:
                for (uint32_t i = 0; i < node->length(); ++i) {
                    const json_object_entry& entry = node->u.object.values[i];
                    const json_value& found = (*node)[entry.name];
                    // The first of duplicate keys wins, so only its type must agree.
                    fuzz::Require(found.type != json_type_none, "a member's key finds a member");
                    fuzz::Require(entry.value->parent == node, "a member's parent is its object");
                    pending.push_back(entry.value);
                }
                fuzz::Require(&(*node)[0] == &json_none, "an object has no elements");
                break;
            default:
                fuzz::Require(&(*node)["Title"] == &json_none, "a scalar has no members");
                break;
        }
    }
}

// What the comment pass must do, one byte at a time: the reference for the
// reader's own pass. Returns false with the message when it fails.
bool StripCommentsPlainly(const char* in, size_t length, std::string& out, std::string& message) {
    char buffer[128];
    int line = 0;
    bool in_string = false, in_block = false, escaped = false;
    size_t block_opened = 0;
    for (size_t i = 0; i < length; ++i) {
        const char c = in[i];
        const bool escaping = escaped;
        escaped = false;
        if (c == '\n') {
            out += c;
            ++line;
        } else if (in_block) {
            if (c == '*' && i + 1 < length && in[i + 1] == '/') {
                in_block = false;
                ++i;
            }
        } else {
            out += c;
            if (c == '\\' && in_string && !escaping) {
                escaped = true;
            } else if (c == '"') {
                if (!escaping) in_string = !in_string;
            } else if (c == '/' && !in_string && i + 1 < length && in[i + 1] == '/') {
                size_t end = i + 2;
                while (end < length && in[end] != '\n' && in[end] != 0) ++end;
                if (end == length || in[end] != '\n') {
                    snprintf(buffer, sizeof buffer,
                             "Line %d, char %d: Opened // comment but no newline encountered.",
                             line, int(i));
                    message = buffer;
                    return false;
                }
                out.back() = '\r';
                out += '\n';
                ++line;
                i = end;
            } else if (c == '/' && !in_string && i + 1 < length && in[i + 1] == '*') {
                out.pop_back();
                in_block = true;
                block_opened = i;
            }
        }
    }
    if (in_block) {
        snprintf(buffer, sizeof buffer,
                 "Line %d, char %d: Opened /* */ comment without closing it.", line,
                 int(block_opened));
        message = buffer;
        return false;
    }
    return true;
}

void CompareCommentPass(const uint8_t* data, size_t size) {
    std::string expected, expected_message;
    const bool expected_ok =
        StripCommentsPlainly(reinterpret_cast<const char*>(data), size, expected, expected_message);

    json_parse_state state{};
    state.settings.allocate = json_default_allocate;
    state.settings.release = json_default_release;
    char* text = static_cast<char*>(malloc(size + 1));
    if (!text) return;
    memcpy(text, data, size);
    text[size] = 0;
    size_t length = size;
    char message[128] = "";
    const bool ok = json_strip_comments(&text, &state, message, sizeof message, &length) != 0;
    fuzz::Require(ok == expected_ok, "the comment pass succeeds where the plain loop does");
    if (ok) {
        fuzz::Require(length == expected.size() + 1,
                      "the comment pass's length is the plain loop's");
        fuzz::Require(
            memcmp(text, expected.data(), expected.size()) == 0 && text[expected.size()] == 0,
            "the comment pass's bytes are the plain loop's");
        free(text);
    } else {
        fuzz::Require(expected_message == message,
                      "the comment pass's message is the plain loop's");
    }
}

void ParseAndWalk(const uint8_t* data, size_t size, uint32_t memory_limit, int32_t options) {
    Accounting account;
    const json_reader_settings settings{memory_limit, options, &CountedAllocate, &CountedRelease,
                                        &account};
    // The text itself is the caller's malloc'd block, which the reader frees.
    char* text = static_cast<char*>(malloc(size + 1));
    if (!text) return;
    memcpy(text, data, size);
    text[size] = 0;
    char error[64];
    memset(error, 'x', sizeof error);
    json_value* root = json_read(&settings, text, size, error, sizeof error);
    if (memory_limit)
        fuzz::Require(account.requested <= memory_limit, "a parse stays within its memory limit");
    if (root) {
        Walk(root);
        json_release_with(&settings, root);
    } else {
        fuzz::Require(memchr(error, 0, sizeof error) != nullptr, "the error message is terminated");
        fuzz::Require(error[0] != 0, "a failed parse says why");
    }
    fuzz::Require(account.outstanding == 0, "every block the reader took is released");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CompareCommentPass(data, size);
    ParseAndWalk(data, size, 0, 0);
    // A limit somewhere between none and a few times the input, chosen by the
    // first byte so the corpus explores both sides of it.
    const uint32_t limit =
        size ? 1 + (uint32_t{data[0]} * 131u) % (static_cast<uint32_t>(size) * 40u + 256u) : 1;
    ParseAndWalk(data, size, limit, json_relaxed_commas);
    return 0;
}
