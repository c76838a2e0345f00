// The JSON reader on arbitrary bytes: once with the default settings, once
// relaxed and under a memory limit, each tree walked whole through the
// lookups and released through a counting allocator that must end at zero.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "json/json.h"

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
    ParseAndWalk(data, size, 0, 0);
    // A limit somewhere between none and a few times the input, chosen by the
    // first byte so the corpus explores both sides of it.
    const uint32_t limit = size ? 1 + (uint32_t{data[0]} * 131u) % (static_cast<uint32_t>(size) * 40u + 256u) : 1;
    ParseAndWalk(data, size, limit, json_relaxed_commas);
    return 0;
}
