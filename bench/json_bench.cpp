// The JSON reader against RapidJSON, both parsing the same description-like
// documents into a DOM: throughput, what each allocates per input byte, and
// the comment pass alone against copying the same bytes (a plain calloc,
// memcpy, free), each a row of the benchmarks' table. Under callgrind
// (`valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file=FILE
// json_bench --instructions FILE`) both readers are counted in instructions
// per input byte instead.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <malloc.h>
#include <rapidjson/document.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define LUMBRA_CALLGRIND 1
#endif

#include "documents.h"
#include "json/json.h"
#include "json/json_parse_state.h"
#include "timing.h"

namespace {

struct Counts {
    size_t Calls = 0;
    size_t Bytes = 0;
};
Counts reader_counts, rapid_counts;

void* CountingAllocate(size_t size, int zero_fill, void* user) {
    auto* counts = static_cast<Counts*>(user);
    ++counts->Calls;
    counts->Bytes += size;
    return zero_fill ? calloc(size ? size : 1, 1) : malloc(size ? size : 1);
}
void Release(void* block, void*) { free(block); }

// RapidJSON's base allocator, counting what its pool asks the heap for.
struct CountingCrtAllocator {
    static const bool kNeedFree = true;
    void* Malloc(size_t size) {
        if (!size) return nullptr;
        ++rapid_counts.Calls;
        rapid_counts.Bytes += size;
        return std::malloc(size);
    }
    void* Realloc(void* block, size_t old_size, size_t new_size) {
        (void)old_size;
        if (!new_size) {
            std::free(block);
            return nullptr;
        }
        ++rapid_counts.Calls;
        rapid_counts.Bytes += new_size;
        return std::realloc(block, new_size);
    }
    static void Free(void* block) { std::free(block); }
};
using RapidDocument = rapidjson::GenericDocument<
    rapidjson::UTF8<>, rapidjson::MemoryPoolAllocator<CountingCrtAllocator>, CountingCrtAllocator>;
constexpr unsigned rapid_flags = rapidjson::kParseCommentsFlag;

// Nodes, and the blocks the second pass allocates (strings, arrays, objects).
void CountTree(const json_value* root, size_t& nodes, size_t& blocks) {
    std::vector<const json_value*> open{root};
    while (!open.empty()) {
        const json_value* v = open.back();
        open.pop_back();
        ++nodes;
        if (v->type == json_type_string) ++blocks;
        if (v->type == json_type_array) {
            ++blocks;
            for (uint32_t i = 0; i < v->u.array.length; ++i) open.push_back(v->u.array.values[i]);
        }
        if (v->type == json_type_object) {
            ++blocks;
            for (uint32_t i = 0; i < v->u.object.length; ++i)
                open.push_back(v->u.object.values[i].value);
        }
    }
}

constexpr int repetitions = 9;

// One repetition of `parses` parses, per parse.
double ReaderSeconds(const bench::Document& doc, int parses) {
    json_reader_settings settings{0, 0, &CountingAllocate, &Release, &reader_counts};
    std::vector<char*> copies(parses);
    std::vector<json_value*> roots(parses);
    for (auto& c : copies) c = bench::MallocCopy(doc.Text);
    double start = bench::Seconds();
    for (int i = 0; i < parses; ++i)
        roots[i] = json_read(&settings, copies[i], doc.Text.size(), nullptr, 0);
    const double seconds = bench::Seconds() - start;
    for (json_value* root : roots) {
        if (!root) {
            std::fprintf(stderr, "json_read failed on %s\n", doc.Name.c_str());
            exit(1);
        }
        json_release_with(&settings, root);
    }
    return seconds / parses;
}

double RapidSeconds(const bench::Document& doc, int parses) {
    std::vector<RapidDocument> documents(parses);
    double start = bench::Seconds();
    for (auto& d : documents) d.Parse<rapid_flags>(doc.Text.c_str());
    const double seconds = bench::Seconds() - start;
    for (auto& d : documents)
        if (d.HasParseError()) {
            std::fprintf(stderr, "RapidJSON failed on %s\n", doc.Name.c_str());
            exit(1);
        }
    return seconds / parses;
}

// The comment pass alone, each run on fresh copies (it frees its input and
// allocates its output, as inside json_read).
double CommentPassSeconds(const bench::Document& doc, int parses) {
    json_parse_state state{};
    state.settings.allocate = json_default_allocate;
    state.settings.release = json_default_release;
    std::vector<char*> copies(parses);
    std::vector<double> times;
    for (int r = 0; r < repetitions; ++r) {
        for (auto& c : copies) c = bench::MallocCopy(doc.Text);
        double start = bench::Seconds();
        for (char*& c : copies) {
            size_t length = doc.Text.size();
            char message[128];
            if (!json_strip_comments(&c, &state, message, sizeof message, &length)) {
                std::fprintf(stderr, "comment pass failed on %s: %s\n", doc.Name.c_str(), message);
                exit(1);
            }
        }
        times.push_back(bench::Seconds() - start);
        for (char* c : copies) free(c);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2] / parses;
}

// What the comment pass is measured against: the least any copying pass
// does, taking a zero-filled block, copying the bytes into it and freeing
// the input, in the same pattern.
double CopySeconds(const bench::Document& doc, int parses) {
    std::vector<char*> copies(parses);
    std::vector<double> times;
    for (int r = 0; r < repetitions; ++r) {
        for (auto& c : copies) c = bench::MallocCopy(doc.Text);
        double start = bench::Seconds();
        for (char*& c : copies) {
            char* copy = static_cast<char*>(calloc(doc.Text.size() + 1, 1));
            memcpy(copy, c, doc.Text.size() + 1);
            free(c);
            c = copy;
        }
        times.push_back(bench::Seconds() - start);
        for (char* c : copies) free(c);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2] / parses;
}

#ifdef LUMBRA_CALLGRIND
// The instructions of `parse` alone, from the dump callgrind writes when
// asked (its `dumps`-th, FILE.dumps).
template <class F>
double Instructions(F&& parse, const std::string& file, int& dumps) {
    CALLGRIND_ZERO_STATS;
    CALLGRIND_TOGGLE_COLLECT;
    parse();
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS;
    std::ifstream dump(file + "." + std::to_string(++dumps));
    for (std::string line; std::getline(dump, line);)
        if (line.rfind("totals:", 0) == 0) return std::strtod(line.c_str() + 7, nullptr);
    std::fprintf(stderr, "json_bench: no totals in %s.%d\n", file.c_str(), dumps);
    std::exit(1);
}

// Each document parsed once by each reader, counted in instructions per
// input byte, which repeat where times on a busy machine do not.
void InstructionRows(const std::string& file) {
    int dumps = 0;
    for (const bench::Document& doc : bench::DescriptionDocuments()) {
        char* copy = bench::MallocCopy(doc.Text);
        json_value* root = nullptr;
        const double ours = Instructions(
            [&] { root = json_read(nullptr, copy, doc.Text.size(), nullptr, 0); }, file, dumps);
        json_release(root);
        RapidDocument d;
        const double rapid =
            Instructions([&] { d.Parse<rapid_flags>(doc.Text.c_str()); }, file, dumps);
        bench::Row("json_read instr/byte, " + doc.Name + " vs RapidJSON", ours / doc.Text.size(),
                   rapid / doc.Text.size());
    }
}
#endif

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--instructions") {
#ifdef LUMBRA_CALLGRIND
        if (!RUNNING_ON_VALGRIND) {
            std::fprintf(stderr, "json_bench --instructions runs under callgrind\n");
            return 1;
        }
        bench::TableHeader();
        InstructionRows(argv[2]);
        return 0;
#else
        std::fprintf(stderr, "json_bench: built without valgrind/callgrind.h\n");
        return 1;
#endif
    }
    // Freed memory stays with the process, big blocks included. Otherwise
    // glibc hands the heap back to the system whenever a big block is freed
    // on top of it, as json_read frees the text it is given: every later
    // repetition of ours then times the kernel mapping fresh pages (about 1500
    // page faults per parse of the large document), while RapidJSON's,
    // freeing nothing big, reuse pages already mapped. Each reader's
    // footprint is its own row below.
    mallopt(M_TRIM_THRESHOLD, INT32_MAX);
    mallopt(M_MMAP_THRESHOLD, INT32_MAX);
    bench::TableHeader();
    for (const bench::Document& doc : bench::DescriptionDocuments()) {
        const double megabytes = doc.Text.size() / 1e6;
        const bool large = doc.Text.size() >= 100000;
        const int parses = large ? 10 : 2000;
        const double comments = megabytes / CommentPassSeconds(doc, parses);
        const double copy = megabytes / CopySeconds(doc, parses);
        bench::Row("comment pass, " + doc.Name + " (MB/s) vs a plain copy", comments, copy,
                   large ? ">= 1000" : "-", large ? bench::Met(comments >= 1000) : "-");
        // In turn, as the dispatch figures are: each reader's repetition starts
        // after the other's, so neither finds its own last trees still in the
        // caches, and drift on a busy machine touches both alike.
        const bench::Pair seconds = bench::AlternatingMedians(
            repetitions, [&] { return ReaderSeconds(doc, parses); },
            [&] { return RapidSeconds(doc, parses); });
        const double ours = megabytes / seconds.ours;
        const double rapid = megabytes / seconds.baseline;
        bench::Row("json_read, " + doc.Name + " (MB/s) vs RapidJSON", ours, rapid, ">= 0.5x",
                   bench::RatioAtLeast(ours, rapid, 0.5));

        // One parse each, counted.
        reader_counts = {};
        json_reader_settings settings{0, 0, &CountingAllocate, &Release, &reader_counts};
        json_value* root =
            json_read(&settings, bench::MallocCopy(doc.Text), doc.Text.size(), nullptr, 0);
        size_t nodes = 0, blocks = 0;
        CountTree(root, nodes, blocks);
        json_release_with(&settings, root);
        rapid_counts = {};
        {
            RapidDocument d;
            d.Parse<rapid_flags>(doc.Text.c_str());
        }
        bench::Row("bytes allocated per input byte, " + doc.Name + " vs RapidJSON",
                   double(reader_counts.Bytes) / doc.Text.size(),
                   double(rapid_counts.Bytes) / doc.Text.size());
        // Ours against what the contract allows: one per node and per block,
        // plus the comment-free copy.
        bench::Row("allocations, " + doc.Name + " vs nodes + blocks + 1",
                   double(reader_counts.Calls), double(nodes + blocks + 1), "= 1x",
                   bench::Met(reader_counts.Calls == nodes + blocks + 1));
    }
    return 0;
}
