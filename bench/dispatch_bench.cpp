// Dispatch through the real plug-in's routine tables, against hand-written
// host-shaped routines in this program that fetch the same parameters from
// the same host callbacks and call members of the same bodies directly (out
// of line; the plug-in's compiler may put a member's body into the member's
// own routine). The host callbacks hand out fixed values and record nothing,
// so what is measured is the dispatch. Then every call the plug-in makes
// through its imports while dispatching is counted: heap allocations and
// system calls.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "import_counter.h"
#include "plenar/exports.h"
#include "plenar/run_data.h"
#include "plenar_sim/sim.h"
#include "timing.h"

using plenar::RunObjectHeader;

namespace {

constexpr int rounds = 9;  // each side's figure: the median of its rounds, taken in turn
constexpr int repetitions = 9;
constexpr int calls_per_repetition = 1000000;
constexpr int32_t fixed_integer = 7;
const wchar_t fixed_text[] = L"https://video.example.org/watch/lumbra";

plenar::Word TextWord(const wchar_t* text) { return reinterpret_cast<plenar::Word>(text); }

// The host's callbacks, as cheap as a host could make them.
plenar::Word PLENAR_STDCALL GetParameter(RunObjectHeader* run, int32_t type, int32_t) {
    ++run->parameter_cursor;
    return type == plenar::fetch_generic ? TextWord(fixed_text) : fixed_integer;
}
plenar::Word PLENAR_STDCALL ExpressionParameter(RunObjectHeader*, int32_t type, plenar::Word) {
    return type == plenar::fetch_string ? TextWord(fixed_text) : fixed_integer;
}

// Members with the bodies of Lumbra's, kept out of line as the plug-in's are.
class Members {
public:
    __attribute__((noinline)) void SetSource(const wchar_t*) { asm volatile(""); }
    __attribute__((noinline)) bool AreNumbersEqual(int32_t a, int32_t b) { return a == b; }
    __attribute__((noinline)) int32_t Add(int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
    }
    __attribute__((noinline)) const wchar_t* HelloWorld() {
        static const wchar_t hello[] = L"Hello world!";
        return hello;
    }
};

Members*& MembersOf(RunObjectHeader* run) {
    return *reinterpret_cast<Members**>(reinterpret_cast<uint8_t*>(run) + sizeof(RunObjectHeader));
}

// The hand-written routines an author would write for each member.
__attribute__((noinline)) int32_t PLENAR_STDCALL BaselineSetSource(RunObjectHeader* run,
                                                                   plenar::Word, plenar::Word) {
    auto text = reinterpret_cast<const wchar_t*>(run->run_header->get_parameter(run, -1, 0));
    MembersOf(run)->SetSource(text);
    return 0;
}
__attribute__((noinline)) int32_t PLENAR_STDCALL BaselineAreNumbersEqual(RunObjectHeader* run,
                                                                         plenar::Word,
                                                                         plenar::Word) {
    int32_t a = static_cast<int32_t>(run->run_header->get_parameter(run, 0, 0));
    int32_t b = static_cast<int32_t>(run->run_header->get_parameter(run, 0, 0));
    return MembersOf(run)->AreNumbersEqual(a, b);
}
__attribute__((noinline)) plenar::Word PLENAR_STDCALL BaselineAdd(RunObjectHeader* run,
                                                                  plenar::Word word) {
    int32_t a = static_cast<int32_t>(run->run_header->first_expression_parameter(run, 0, word));
    int32_t b = static_cast<int32_t>(run->run_header->next_expression_parameter(run, 0, word));
    return MembersOf(run)->Add(a, b);
}
__attribute__((noinline)) plenar::Word PLENAR_STDCALL BaselineHelloWorld(RunObjectHeader* run,
                                                                         plenar::Word) {
    run->flags |= plenar::expression_string_result;
    return TextWord(MembersOf(run)->HelloWorld());
}

// One call shape for both sides: a routine read from a table, the id set.
double NanosecondsPerCall(void* const volatile* table, RunObjectHeader* run, int32_t id,
                          bool expression) {
    return bench::MedianSeconds(
               repetitions,
               [&] {
                   for (int i = 0; i < calls_per_repetition; ++i) {
                       run->current_id = id;
                       plenar::Word result;
                       if (expression)
                           result = reinterpret_cast<plenar::ExpressionRoutine>(table[0])(run, 33);
                       else
                           result = static_cast<uint32_t>(
                               reinterpret_cast<plenar::ActionRoutine>(table[0])(run, 11, 22));
                       bench::Keep(result);
                   }
               }) *
           1e9 / calls_per_repetition;
}

struct Case {
    const char* name;
    void* const* table;  // the plug-in's routine table
    int32_t id;
    void* baseline;
    bool expression;
    uint32_t expected;
};

}  // namespace

int main() {
    plenar::sim::TempFolder folder;
    plenar::sim::Host host;
    std::wstring path =
        folder.place_copy(plenar::sim::program_folder() + L"\\Lumbra.pvx", L"Lumbra.pvx");
    plenar::sim::Plugin plugin(path);
    if (plugin.call("Initialize", host.services(), 0).value != 0) return 1;
    plenar::RunObjectInfo info{};
    plugin.call("GetRunObjectInfos", host.services(), &info);
    uint32_t size = plugin.call("GetRunObjectDataSize", nullptr, nullptr).number();
    RunObjectHeader* run = host.run_time().create_run_data(size);
    plugin.call("CreateRunObject", run, nullptr, nullptr);

    // The same run header for both sides, with the fixed-value callbacks.
    static plenar::RunHeader header;
    memcpy(&header, host.run_time().header(), sizeof header);
    header.get_parameter = &GetParameter;
    header.first_expression_parameter = &ExpressionParameter;
    header.next_expression_parameter = &ExpressionParameter;
    run->run_header = &header;
    alignas(8) static uint8_t baseline_data[sizeof(RunObjectHeader) + sizeof(void*)];
    auto* baseline_run = reinterpret_cast<RunObjectHeader*>(baseline_data);
    baseline_run->run_header = &header;
    Members members;
    MembersOf(baseline_run) = &members;

    auto table = [](auto* routines) { return reinterpret_cast<void* const*>(routines); };
    const Case cases[] = {
        {"action SetSource(text)", table(info.actions), 0,
         reinterpret_cast<void*>(&BaselineSetSource), false, 0},
        {"condition AreNumbersEqual(int,int)", table(info.conditions), 0,
         reinterpret_cast<void*>(&BaselineAreNumbersEqual), false, 1},
        {"expression Add(int,int)", table(info.expressions), 0,
         reinterpret_cast<void*>(&BaselineAdd), true, 2 * fixed_integer},
        {"expression HelloWorld() text", table(info.expressions + 1), 1,
         reinterpret_cast<void*>(&BaselineHelloWorld), true, 0},
    };

    bench::TableHeader();
    for (const Case& c : cases) {
        void* volatile baseline_table[1] = {c.baseline};
        void* volatile plugin_table[1] = {c.table[0]};
        // Results agree before anything is timed.
        run->current_id = c.id;
        const auto got = static_cast<uint32_t>(
            c.expression ? reinterpret_cast<plenar::ExpressionRoutine>(c.table[0])(run, 33)
                         : static_cast<plenar::Word>(
                               reinterpret_cast<plenar::ActionRoutine>(c.table[0])(run, 11, 22)));
        if (c.expected && got != c.expected) {
            std::fprintf(stderr, "%s: the plug-in answered %u, expected %u\n", c.name, got,
                         c.expected);
            return 1;
        }
        const bench::Pair ns = bench::AlternatingMedians(
            rounds, [&] { return NanosecondsPerCall(plugin_table, run, c.id, c.expression); },
            [&] { return NanosecondsPerCall(baseline_table, baseline_run, c.id, c.expression); });
        bench::Row(std::string("dispatch ns/call, ") + c.name + " vs hand-written", ns.ours,
                   ns.baseline, "<= 1.2x", bench::RatioAtMost(ns.ours, ns.baseline, 1.2));
    }

    // What the plug-in calls through its imports while dispatching.
    bench::ImportCounter counter(plugin.module());
    constexpr int counted = 100000;
    for (const Case& c : cases) {
        counter.Reset();
        for (int i = 0; i < counted; ++i) {
            run->current_id = c.id;
            if (c.expression)
                reinterpret_cast<plenar::ExpressionRoutine>(c.table[0])(run, 33);
            else
                reinterpret_cast<plenar::ActionRoutine>(c.table[0])(run, 11, 22);
        }
        const double allocations = double(counter.HeapAllocations()) / counted;
        const double imports = double(counter.Total()) / counted;
        bench::Row(std::string("dispatch heap allocations/call, ") + c.name, allocations,
                   bench::none, "= 0", bench::Met(allocations == 0));
        bench::Row(std::string("dispatch import calls/call, ") + c.name, imports, bench::none,
                   "= 0", bench::Met(imports == 0));
        for (auto& [name, count] : counter.Called())
            std::fprintf(stderr, "    %s: %u\n", name.c_str(), count);
    }
    // The counter itself works: a call known to allocate is seen.
    counter.Reset();
    plenar::RunObjectHeader* second = host.run_time().create_run_data(size);
    second->run_header = &header;
    plugin.call("CreateRunObject", second, nullptr, nullptr);
    const double seen = double(counter.HeapAllocations());
    bench::Row("import counter: heap allocations seen in CreateRunObject", seen, bench::none, "> 0",
               bench::Met(seen > 0));
    plugin.call("DestroyRunObject", second, 0);
    plugin.call("DestroyRunObject", run, 0);
    return 0;
}
