// Repeated load and unload keeps the process's memory flat: whatever one
// cycle of the host's use leaves behind is multiplied by every project the
// editor opens.
#include <windows.h>
#include <psapi.h>
#include <memory>
#include <vector>
#include "plenar_sim/trace.h"
#include "check_support.h"
#include "plenar_sim/sim.h"

namespace plenar::cli {
namespace {

// Bytes in use in every heap of the process, for systems whose process
// counters leave private bytes out (Wine reports no PrivateUsage, and its
// committed regions grow in steps too coarse to show a small leak).
size_t heap_bytes_in_use() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    size_t total = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        HeapUnlock(heap);
    }
    return total;
}

size_t private_bytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters) &&
        counters.PrivateUsage)
        return counters.PrivateUsage;
    return heap_bytes_in_use();
}

// One cycle: load, Initialize, CreateObject, a run object, unload; with
// `bare`, only load and unload.
std::string one_cycle(const std::wstring& path, sim::Host& host, bool bare) {
    sim::Plugin plugin(path);
    if (bare) return {};
    if (plugin.call("Initialize", host.services(), 0).value != 0) return "Initialize failed";
    RunObjectInfo info{};
    plugin.call("GetRunObjectInfos", host.services(), &info);
    void* block = host.edit_data().create(info.edit_data_size < 28 ? 28 : info.edit_data_size);
    plugin.call("CreateObject", host.services(), nullptr, block);
    if (RunObjectHeader* run = host.create_run_data(plugin)) {
        if (plugin.call("CreateRunObject", run, block, nullptr).value != 0)
            return "CreateRunObject failed";
        plugin.call("DestroyRunObject", run, 0);
    }
    plugin.call("UnloadObject", host.services(), nullptr, 0);
    plugin.call("Free", host.services());
    host.edit_data().release(block);
    if (!plugin.faults().empty()) return plugin.faults().front();
    return {};
}

struct Growth {
    std::string problem;
    size_t bytes = 0;  // from the end of the warm-up to the last cycle
};

Growth measure(const std::wstring& path, sim::Host& host, int cycles, int warm_up, bool bare) {
    Growth growth;
    size_t after_warm_up = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        sim::Interception::instance().clear();  // its records must not count as growth
        host.clear_calls();
        growth.problem = one_cycle(path, host, bare);
        if (!growth.problem.empty()) {
            growth.problem = "cycle " + std::to_string(cycle) + ": " + growth.problem;
            return growth;
        }
        if (cycle + 1 == warm_up) after_warm_up = private_bytes();
    }
    const size_t at_end = private_bytes();
    if (!at_end) growth.problem = "the process's private bytes cannot be read";
    growth.bytes = at_end > after_warm_up ? at_end - after_warm_up : 0;
    return growth;
}

CheckOutcome memory_stays_flat(const CheckContext& context) {
    // The copy with its description beside it, loaded only by the cycles,
    // so that each unload really unloads.
    sim::TempFolder folder;
    std::wstring path = context.plugin;
    if (context.description) {
        path = folder.place_copy(context.plugin);
        folder.place_copy(*context.description, plugin_base_name(context.plugin) + L".json");
    }
    // A trace kept in memory would itself be growth: the cycles are not traced.
    sim::trace::stop();
    sim::Host host;
    const int cycles = context.memory_cycles < 4 ? 4 : context.memory_cycles;
    const int warm_up = cycles / 4;
    // What loading and unloading alone costs is the system loader's (Wine's
    // keeps some kilobytes a load); only what the calls add is the plug-in's.
    const Growth loader = measure(path, host, cycles, warm_up, true);
    if (!loader.problem.empty()) return fail(loader.problem);
    const Growth used = measure(path, host, cycles, warm_up, false);
    if (!used.problem.empty()) return fail(used.problem);
    const size_t added = used.bytes > loader.bytes ? used.bytes - loader.bytes : 0;
    // Allow the allocator's slack, 64 KiB, and 256 bytes a cycle: the
    // simulated host keeps every run-data block it made (188 bytes) until it ends.
    const size_t measured = static_cast<size_t>(cycles - warm_up);
    const size_t tolerance = 64 * 1024 + 256 * measured;
    if (added > tolerance)
        return fail("memory in use grew by " + std::to_string(added) + " over " +
                    std::to_string(measured) + " cycles beyond what loading alone costs (" +
                    std::to_string(added / measured) + " a cycle; tolerance " +
                    std::to_string(tolerance) + ")");
    return pass();
}

}  // namespace

extern const Check memory_check = {
    "memory",
    "repeated load, Initialize, CreateObject, run object, unload keeps private bytes "
    "flat",
    &memory_stays_flat};

}  // namespace plenar::cli
