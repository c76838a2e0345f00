// Dispatch natively, for callgrind: Lumbra's description and members of the
// same bodies linked through the SDK, against the hand-written host-shaped
// routines, with the same fixed-value host callbacks. Instruction counts per
// call (`valgrind --tool=callgrind`, or `--count` for a fixed number of
// calls) are repeatable where wall-clock times are not.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/dispatch.h"
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

BenchExtension* Of(RunObjectHeader* run) { return static_cast<BenchExtension*>(Kvor::ExtensionOf(run)); }

__attribute__((noinline)) int32_t PLENAR_STDCALL BaselineSetSource(RunObjectHeader* run, plenar::Word, plenar::Word) {
    auto text = reinterpret_cast<const Kvor::WideChar*>(run->run_header->get_parameter(run, -1, 0));
    Of(run)->SetSource(text);
    return 0;
}
__attribute__((noinline)) int32_t PLENAR_STDCALL BaselineAreNumbersEqual(RunObjectHeader* run, plenar::Word, plenar::Word) {
    int32_t a = run->run_header->get_parameter(run, 0, 0);
    int32_t b = run->run_header->get_parameter(run, 0, 0);
    return Of(run)->AreNumbersEqual(a, b);
}
__attribute__((noinline)) plenar::Word PLENAR_STDCALL BaselineAdd(RunObjectHeader* run, plenar::Word word) {
    int32_t a = run->run_header->first_expression_parameter(run, 0, word);
    int32_t b = run->run_header->next_expression_parameter(run, 0, word);
    return Of(run)->Add(a, b);
}
__attribute__((noinline)) plenar::Word PLENAR_STDCALL BaselineHelloWorld(RunObjectHeader* run, plenar::Word) {
    run->flags |= plenar::expression_string_result;
    return Word(Of(run)->HelloWorld());
}

using Routine2 = plenar::ActionRoutine;
using Routine1 = plenar::ExpressionRoutine;

// Each loop is its own function, so callgrind gives its count per call.
#define LOOP(name, call)                                                         \
    __attribute__((noinline)) void name(void* volatile* table, RunObjectHeader* run, int32_t id, int n) { \
        for (int i = 0; i < n; ++i) {                                            \
            run->current_id = id;                                                \
            plenar::Word r = call;                                               \
            bench::Keep(r);                                                      \
        }                                                                        \
    }
LOOP(DispatchedAction, uint32_t(reinterpret_cast<Routine2>(table[0])(run, 11, 22)))
LOOP(BaselineAction, uint32_t(reinterpret_cast<Routine2>(table[0])(run, 11, 22)))
LOOP(DispatchedCondition, uint32_t(reinterpret_cast<Routine2>(table[0])(run, 11, 22)))
LOOP(BaselineCondition, uint32_t(reinterpret_cast<Routine2>(table[0])(run, 11, 22)))
LOOP(DispatchedAdd, reinterpret_cast<Routine1>(table[0])(run, 33))
LOOP(BaselineAddLoop, reinterpret_cast<Routine1>(table[0])(run, 33))
LOOP(DispatchedHello, reinterpret_cast<Routine1>(table[0])(run, 33))
LOOP(BaselineHelloLoop, reinterpret_cast<Routine1>(table[0])(run, 33))

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? atoi(argv[1]) : 1000000;
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
        void (*dispatched)(void* volatile*, RunObjectHeader*, int32_t, int);
        void (*baseline)(void* volatile*, RunObjectHeader*, int32_t, int);
        void* routine;
        void* hand_written;
        int32_t id;
    } cases[] = {
        {"action SetSource(text)", DispatchedAction, BaselineAction,
         reinterpret_cast<void*>(sdk->ActionRoutines[0]), reinterpret_cast<void*>(&BaselineSetSource), 0},
        {"condition AreNumbersEqual(int, int)", DispatchedCondition, BaselineCondition,
         reinterpret_cast<void*>(sdk->ConditionRoutines[0]), reinterpret_cast<void*>(&BaselineAreNumbersEqual), 0},
        {"expression Add(int, int)", DispatchedAdd, BaselineAddLoop,
         reinterpret_cast<void*>(sdk->ExpressionRoutines[0]), reinterpret_cast<void*>(&BaselineAdd), 0},
        {"expression HelloWorld() text", DispatchedHello, BaselineHelloLoop,
         reinterpret_cast<void*>(sdk->ExpressionRoutines[0]), reinterpret_cast<void*>(&BaselineHelloWorld), 1},
    };
    std::printf("== Dispatch natively (-O2 -m32), %d calls x median of 9, ns per call ==\n", n);
    for (const Case& c : cases) {
        void* volatile routine[1] = {c.routine};
        void* volatile hand_written[1] = {c.hand_written};
        double ours = bench::MedianSeconds(9, [&] { c.dispatched(routine, run, c.id, n); }) * 1e9 / n;
        double base = bench::MedianSeconds(9, [&] { c.baseline(hand_written, run, c.id, n); }) * 1e9 / n;
        bench::Row(c.name, ours, "ns", base, "hand-written routine");
    }
    delete sdk;
    ::SDK = nullptr;
    return 0;
}
