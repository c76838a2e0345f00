// Dispatch natively: Lumbra's description and members of the same bodies
// (out of line on both sides) linked through the SDK, against hand-written
// host-shaped routines, with the same fixed-value host callbacks; each call
// made as the host makes it, the id set and the routine read from a table.
// Two figures per kind: nanoseconds per call, and instructions per call
// counted by callgrind, which are repeatable where times on a busy machine
// are not (`valgrind --tool=callgrind --collect-atstart=no
// --callgrind-out-file=FILE native_dispatch_bench --instructions FILE`).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define LUMBRA_CALLGRIND 1
#endif

#include "runtime/linking.h"
#include "json/json.h"
#include "load/language.h"
#include "sdk.h"
#include "timing.h"

using plenar::RunObjectHeader;

namespace {

constexpr int32_t fixed_integer = 7;
const Kvor::WideChar fixed_text[] = {'t', 'e', 'x', 't', 0};

plenar::Word Word(const void* p) { return reinterpret_cast<plenar::Word>(p); }

plenar::Word PLENAR_STDCALL GetParameter(RunObjectHeader* run, int32_t type, int32_t) {
    ++run->parameter_cursor;
    return type == plenar::fetch_generic ? Word(fixed_text) : fixed_integer;
}
plenar::Word PLENAR_STDCALL ExpressionParameter(RunObjectHeader*, int32_t type, plenar::Word) {
    return type == plenar::fetch_string ? Word(fixed_text) : fixed_integer;
}

class BenchExtension {
public:
    explicit BenchExtension(RunObjectHeader* run) : Runtime(run) {}
    Kvor::Runtime Runtime;
    __attribute__((noinline)) void SetSource(const Kvor::WideChar*) { asm volatile(""); }
    __attribute__((noinline)) void SourceAction() { asm volatile(""); }
    __attribute__((noinline)) bool AreNumbersEqual(int32_t a, int32_t b) { return a == b; }
    __attribute__((noinline)) int32_t Add(int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
    }
    __attribute__((noinline)) const Kvor::WideChar* HelloWorld() {
        static const Kvor::WideChar hello[] = {'H', 'i', 0};
        return hello;
    }
    void UnlinkedAction(int32_t, RunObjectHeader*, plenar::Word, plenar::Word) {}
    bool UnlinkedCondition(int32_t, RunObjectHeader*, plenar::Word, plenar::Word) { return false; }
    plenar::Word UnlinkedExpression(int32_t, RunObjectHeader*, plenar::Word) { return 0; }
};

BenchExtension* Of(RunObjectHeader* run) {
    return static_cast<BenchExtension*>(Kvor::ExtensionOf(run));
}

__attribute__((noinline)) int32_t PLENAR_STDCALL BaselineSetSource(RunObjectHeader* run,
                                                                   plenar::Word, plenar::Word) {
    auto text = reinterpret_cast<const Kvor::WideChar*>(run->run_header->get_parameter(run, -1, 0));
    Of(run)->SetSource(text);
    return 0;
}
__attribute__((noinline)) int32_t PLENAR_STDCALL BaselineAreNumbersEqual(RunObjectHeader* run,
                                                                         plenar::Word,
                                                                         plenar::Word) {
    int32_t a = static_cast<int32_t>(run->run_header->get_parameter(run, 0, 0));
    int32_t b = static_cast<int32_t>(run->run_header->get_parameter(run, 0, 0));
    return Of(run)->AreNumbersEqual(a, b);
}
__attribute__((noinline)) plenar::Word PLENAR_STDCALL BaselineAdd(RunObjectHeader* run,
                                                                  plenar::Word word) {
    int32_t a = static_cast<int32_t>(run->run_header->first_expression_parameter(run, 0, word));
    int32_t b = static_cast<int32_t>(run->run_header->next_expression_parameter(run, 0, word));
    return Of(run)->Add(a, b);
}
__attribute__((noinline)) plenar::Word PLENAR_STDCALL BaselineHelloWorld(RunObjectHeader* run,
                                                                         plenar::Word) {
    run->flags |= plenar::expression_string_result;
    return Word(Of(run)->HelloWorld());
}

using Routine2 = plenar::ActionRoutine;
using Routine1 = plenar::ExpressionRoutine;

// Each loop is its own function, so callgrind gives its count per call.
#define LOOP(name, call)                                                                         \
    __attribute__((noinline)) void name(void* volatile* table, RunObjectHeader* run, int32_t id, \
                                        int n) {                                                 \
        for (int i = 0; i < n; ++i) {                                                            \
            run->current_id = id;                                                                \
            plenar::Word r = call;                                                               \
            bench::Keep(r);                                                                      \
        }                                                                                        \
    }
LOOP(DispatchedAction, uint32_t(reinterpret_cast<Routine2>(table[0])(run, 11, 22)))
LOOP(BaselineAction, uint32_t(reinterpret_cast<Routine2>(table[0])(run, 11, 22)))
LOOP(DispatchedCondition, uint32_t(reinterpret_cast<Routine2>(table[0])(run, 11, 22)))
LOOP(BaselineCondition, uint32_t(reinterpret_cast<Routine2>(table[0])(run, 11, 22)))
LOOP(DispatchedAdd, reinterpret_cast<Routine1>(table[0])(run, 33))
LOOP(BaselineAddLoop, reinterpret_cast<Routine1>(table[0])(run, 33))
LOOP(DispatchedHello, reinterpret_cast<Routine1>(table[0])(run, 33))
LOOP(BaselineHelloLoop, reinterpret_cast<Routine1>(table[0])(run, 33))

using Loop = void (*)(void* volatile*, RunObjectHeader*, int32_t, int);

constexpr int repetitions = 9;

constexpr int rounds = 9;

// Each side's median of `rounds` medians of `repetitions` loops, the two
// measured in turn.
bench::Pair NanosecondsPerCall(Loop ours, void* routine, Loop baseline, void* hand_written,
                               RunObjectHeader* run, int32_t id, int n) {
    void* volatile ours_table[1] = {routine};
    void* volatile baseline_table[1] = {hand_written};
    return bench::AlternatingMedians(
        rounds,
        [&] {
            return bench::MedianSeconds(repetitions, [&] { ours(ours_table, run, id, n); }) * 1e9 /
                   n;
        },
        [&] {
            return bench::MedianSeconds(repetitions,
                                        [&] { baseline(baseline_table, run, id, n); }) *
                   1e9 / n;
        });
}

#ifdef LUMBRA_CALLGRIND
// The instructions of one loop of `n` calls alone, from the dump callgrind
// writes when asked (its `dumps`-th, FILE.dumps), per call.
double InstructionsPerCall(Loop loop, void* routine, RunObjectHeader* run, int32_t id, int n,
                           const std::string& file, int& dumps) {
    void* volatile table[1] = {routine};
    CALLGRIND_ZERO_STATS;
    CALLGRIND_TOGGLE_COLLECT;
    loop(table, run, id, n);
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS;
    std::ifstream dump(file + "." + std::to_string(++dumps));
    for (std::string line; std::getline(dump, line);)
        if (line.rfind("totals:", 0) == 0) return std::strtod(line.c_str() + 7, nullptr) / n;
    std::fprintf(stderr, "native_dispatch_bench: no totals in %s.%d\n", file.c_str(), dumps);
    std::exit(1);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    const bool instructions = argc > 2 && std::string(argv[1]) == "--instructions";
#ifdef LUMBRA_CALLGRIND
    if (instructions && !RUNNING_ON_VALGRIND) {
        std::fprintf(stderr, "native_dispatch_bench --instructions runs under callgrind\n");
        return 1;
    }
#else
    if (instructions) {
        std::fprintf(stderr, "native_dispatch_bench: built without valgrind/callgrind.h\n");
        return 1;
    }
#endif
    const int n = instructions ? 100000 : 1000000;
    std::ifstream file(LUMBRA_SOURCE_DIR "/res/Lumbra.json", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    std::string description = text.str();
    char* copy = static_cast<char*>(malloc(description.size() + 1));
    memcpy(copy, description.c_str(), description.size() + 1);
    auto* sdk = new Kvor::SDK(nullptr, json_read(nullptr, copy, description.size(), nullptr, 0));

    static plenar::RunHeader header{};
    header.get_parameter = &GetParameter;
    header.first_expression_parameter = &ExpressionParameter;
    header.next_expression_parameter = &ExpressionParameter;
    alignas(8) static uint8_t data[sizeof(RunObjectHeader) + sizeof(void*)];
    auto* run = reinterpret_cast<RunObjectHeader*>(data);
    run->run_header = &header;
    BenchExtension extension(run);
    Kvor::ExtensionOf(run) = &extension;
    Kvor::UseExtension<BenchExtension>();
    Kvor::LinkAction<&BenchExtension::SetSource>(0);
    Kvor::LinkAction<&BenchExtension::SourceAction>(1);
    Kvor::LinkCondition<&BenchExtension::AreNumbersEqual>(0);
    Kvor::LinkExpression<&BenchExtension::Add>(0);
    Kvor::LinkExpression<&BenchExtension::HelloWorld>(1);

    struct Case {
        const char* name;
        Loop dispatched, baseline;
        void* routine;
        void* hand_written;
        int32_t id;
    } cases[] = {
        {"action SetSource(text)", DispatchedAction, BaselineAction,
         reinterpret_cast<void*>(sdk->Actions.Routines[0]),
         reinterpret_cast<void*>(&BaselineSetSource), 0},
        {"condition AreNumbersEqual(int,int)", DispatchedCondition, BaselineCondition,
         reinterpret_cast<void*>(sdk->Conditions.Routines[0]),
         reinterpret_cast<void*>(&BaselineAreNumbersEqual), 0},
        {"expression Add(int,int)", DispatchedAdd, BaselineAddLoop,
         reinterpret_cast<void*>(sdk->Expressions.Routines[0]),
         reinterpret_cast<void*>(&BaselineAdd), 0},
        {"expression HelloWorld() text", DispatchedHello, BaselineHelloLoop,
         reinterpret_cast<void*>(sdk->Expressions.Routines[1]),
         reinterpret_cast<void*>(&BaselineHelloWorld), 1},
    };
    bench::TableHeader();
    int dumps = 0;
    for (const Case& c : cases) {
        if (instructions) {
#ifdef LUMBRA_CALLGRIND
            const double ours =
                InstructionsPerCall(c.dispatched, c.routine, run, c.id, n, argv[2], dumps);
            const double base =
                InstructionsPerCall(c.baseline, c.hand_written, run, c.id, n, argv[2], dumps);
            bench::Row(std::string("dispatch instr/call, ") + c.name + " vs hand-written", ours,
                       base);
#endif
        } else {
            const bench::Pair ns = NanosecondsPerCall(c.dispatched, c.routine, c.baseline,
                                                      c.hand_written, run, c.id, n);
            bench::Row(std::string("dispatch ns/call, ") + c.name + " vs hand-written", ns.ours,
                       ns.baseline, "<= 1.2x", bench::RatioAtMost(ns.ours, ns.baseline, 1.2));
        }
    }
    delete sdk;
    ::SDK = nullptr;
    return 0;
}
