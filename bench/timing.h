// Timing for the benchmarks: a steady clock, repeated runs and their median,
// so one slow repetition (a page fault, a scheduler tick) does not move a figure.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

inline double Seconds() {
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

// Median of `repetitions` timings (seconds) of `run`.
template <class F>
double MedianSeconds(int repetitions, F&& run) {
    std::vector<double> times;
    for (int r = 0; r < repetitions; ++r) {
        double start = Seconds();
        run();
        times.push_back(Seconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Keeps a value alive so the optimiser cannot drop the work producing it.
template <class T>
inline void Keep(const T& value) {
    asm volatile("" : : "g"(&value) : "memory");
}

inline void Row(const char* name, double value, const char* unit, double baseline,
                const char* baseline_name) {
    std::printf("%-46s %12.2f %-8s  vs %-22s %12.2f  ratio %6.3f\n", name, value, unit,
                baseline_name, baseline, baseline ? value / baseline : 0.0);
}

}  // namespace bench
