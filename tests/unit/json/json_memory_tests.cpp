// The reader's memory: one exact-size block per node, string, array and
// object, all through the settings' callbacks, within the memory limit, and
// no stack growth with nesting depth.
#include <gtest/gtest.h>

#include <pthread.h>

#include <map>

#include "json_test_support.h"

namespace {

// Records every block the reader asks for; can refuse the n-th request.
struct counting_allocator {
    struct block {
        size_t size;
        bool zero_filled;
    };
    std::map<void*, block> live;
    size_t allocations = 0;
    size_t bytes = 0;
    size_t refuse_at = SIZE_MAX;  // index of the request to refuse
    bool bad_release = false;     // a block released that was not live

    static void* allocate(size_t size, int zero_fill, void* user) {
        auto* self = static_cast<counting_allocator*>(user);
        if (self->allocations++ == self->refuse_at) return nullptr;
        self->bytes += size;
        void* p = zero_fill ? calloc(size + 1, 1) : malloc(size + 1);
        self->live[p] = {size, zero_fill != 0};
        return p;
    }
    static void release(void* p, void* user) {
        auto* self = static_cast<counting_allocator*>(user);
        if (!self->live.erase(p)) self->bad_release = true;
        free(p);
    }
    json_reader_settings settings(uint32_t limit = 0) {
        return {limit, 0, allocate, release, this};
    }
    // Expects `p` to be a live block of exactly `size` bytes.
    void expect_block(const void* p, size_t size, bool zero_filled) {
        auto it = live.find(const_cast<void*>(p));
        ASSERT_NE(it, live.end());
        EXPECT_EQ(it->second.size, size);
        EXPECT_EQ(it->second.zero_filled, zero_filled);
    }
};

// Checks that every node and block of the tree is a live block of its exact
// size; returns how many blocks the tree owns.
size_t check_tree(counting_allocator& a, const json_value& v) {
    a.expect_block(&v, sizeof(json_value), true);
    switch (v.type) {
        case json_type_string:
            a.expect_block(v.u.string.ptr, v.u.string.length + 1, false);
            return 2;
        case json_type_array: {
            a.expect_block(v.u.array.values, v.length() * sizeof(json_value*), false);
            size_t count = 2;
            for (uint32_t i = 0; i < v.length(); ++i) count += check_tree(a, v[int32_t(i)]);
            return count;
        }
        case json_type_object: {
            size_t names = 0, count = 2;
            for (uint32_t i = 0; i < v.length(); ++i) {
                names += strlen(v.u.object.values[i].name) + 1;
                count += check_tree(a, *v.u.object.values[i].value);
            }
            a.expect_block(v.u.object.values, v.length() * sizeof(json_object_entry) + names,
                           false);
            return count;
        }
        default: return 1;
    }
}

const char* const sample =
    "// "
    "sample\n{\"name\":\"Lumbra\",\"list\":[1,2.5,\"x\",[],{}],\"flags\":{\"a\":true,\"b\":null},"
    "\"e\":\"\",\"u\":\"\\uD83D\\uDE00\\uDE00\"}";

TEST(ReaderMemory, OneExactBlockPerNodeAndContainerPlusTheCommentCopy) {
    counting_allocator a;
    const json_reader_settings settings = a.settings();
    json_value* root = parse_text(sample, &settings);
    ASSERT_NE(root, nullptr);
    const size_t tree_blocks = check_tree(a, *root);
    // The comment pass's copy was the only other block, and it is gone.
    EXPECT_EQ(a.allocations, tree_blocks + 1);
    EXPECT_EQ(a.live.size(), tree_blocks);
    json_release_with(&settings, root);
    EXPECT_TRUE(a.live.empty());
    EXPECT_FALSE(a.bad_release);
}

TEST(ReaderMemory, LimitAtTheTotalPassesAndAnyLowerLimitFailsCleanly) {
    counting_allocator measure;
    const json_reader_settings unlimited = measure.settings();
    json_release_with(&unlimited, parse_text(sample, &unlimited));
    const uint32_t total = uint32_t(measure.bytes);

    counting_allocator a;
    json_reader_settings settings = a.settings(total);
    json_value* root = parse_text(sample, &settings);
    ASSERT_NE(root, nullptr);
    json_release_with(&settings, root);

    // Every limit below the total is refused at some request: in the comment
    // pass, among the nodes, or among the second pass's blocks.
    for (uint32_t limit = 1; limit < total; ++limit) {
        counting_allocator refusing;
        settings = refusing.settings(limit);
        std::string error;
        EXPECT_EQ(parse_text(sample, &settings, &error), nullptr) << limit;
        EXPECT_EQ(error, "Memory allocation failure") << limit;
        EXPECT_TRUE(refusing.live.empty()) << limit;
        EXPECT_FALSE(refusing.bad_release) << limit;
    }
}

TEST(ReaderMemory, AllocatorFailureAtAnyRequestLeavesNothing) {
    counting_allocator measure;
    const json_reader_settings unlimited = measure.settings();
    json_release_with(&unlimited, parse_text(sample, &unlimited));

    for (size_t n = 0; n < measure.allocations; ++n) {
        counting_allocator a;
        a.refuse_at = n;
        const json_reader_settings settings = a.settings();
        std::string error;
        EXPECT_EQ(parse_text(sample, &settings, &error), nullptr) << n;
        EXPECT_EQ(error, "Memory allocation failure") << n;
        EXPECT_TRUE(a.live.empty()) << n;
        EXPECT_FALSE(a.bad_release) << n;
    }
}

TEST(ReaderMemory, SyntaxErrorReleasesEveryNode) {
    counting_allocator a;
    const json_reader_settings settings = a.settings();
    std::string error;
    EXPECT_EQ(parse_text("{\"a\":[1,{\"b\":\"c\"}],\"d\":x}", &settings, &error), nullptr);
    EXPECT_EQ(error, "1:23: Unexpected x when seeking value");
    EXPECT_GT(a.allocations, 1u);
    EXPECT_TRUE(a.live.empty());
}

TEST(ReaderMemory, HugeLengthIsRefused) {
    char* text = static_cast<char*>(malloc(1));
    text[0] = 0;
    char message[64];
    EXPECT_EQ(json_read(nullptr, text, SIZE_MAX, message, sizeof message), nullptr);
    EXPECT_STREQ(message, "Memory allocation failure");
}

// Deep nesting runs on a thread whose stack is far too small for any
// per-level recursion.
struct deep_result {
    std::string text;
    bool parsed = false;
    uint32_t depth = 0;
    std::string error;
};

void* parse_deep(void* arg) {
    auto* r = static_cast<deep_result*>(arg);
    json_value* root = parse_text(r->text, nullptr, &r->error);
    r->parsed = root != nullptr;
    for (const json_value* v = root; v && v->type != json_type_integer;) {
        ++r->depth;
        v = v->type == json_type_array ? v->u.array.values[0] : v->u.object.values[0].value;
    }
    json_release(root);
    return nullptr;
}

void run_with_small_stack(deep_result& r) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    ASSERT_EQ(pthread_attr_setstacksize(&attr, 64 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, parse_deep, &r), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

constexpr int deep = 100000;

TEST(ReaderDepth, ArraysNestedDeeplyParseAndReleaseOnASmallStack) {
    deep_result r;
    r.text = std::string(deep, '[') + "1" + std::string(deep, ']');
    run_with_small_stack(r);
    EXPECT_TRUE(r.parsed) << r.error;
    EXPECT_EQ(r.depth, uint32_t(deep));
}

TEST(ReaderDepth, ObjectsNestedDeeplyParseAndReleaseOnASmallStack) {
    deep_result r;
    for (int i = 0; i < deep; ++i) r.text += "{\"a\":";
    r.text += "0" + std::string(deep, '}');
    run_with_small_stack(r);
    EXPECT_TRUE(r.parsed) << r.error;
    EXPECT_EQ(r.depth, uint32_t(deep));
}

TEST(ReaderDepth, UnclosedDeepNestingFailsAndReleasesOnASmallStack) {
    deep_result r;
    r.text = std::string(deep, '[');
    run_with_small_stack(r);
    EXPECT_FALSE(r.parsed);
    EXPECT_EQ(r.error, "1:" + std::to_string(deep) + ": Unexpected ");
}

}  // namespace
