// Timing for the benchmarks: a steady clock, repeated runs and their median,
// so one slow repetition (a page fault, a scheduler tick) does not move a
// figure; and the one table every benchmark prints its figures in.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

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

// Ours and the baseline measured in turn, `rounds` times each, so that drift
// of a busy machine touches both alike; the median of each side.
struct Pair {
    double ours, baseline;
};
template <class F, class G>
Pair AlternatingMedians(int rounds, F&& ours, G&& baseline) {
    std::vector<double> o, b;
    for (int k = 0; k < rounds; ++k) {
        o.push_back(ours());
        b.push_back(baseline());
    }
    std::sort(o.begin(), o.end());
    std::sort(b.begin(), b.end());
    return {o[o.size() / 2], b[b.size() / 2]};
}

// Keeps a value alive so the optimiser cannot drop the work producing it.
template <class T>
inline void Keep(const T& value) {
    asm volatile("" : : "g"(&value) : "memory");
}

// What this program is: native -m32 or -m64, or win32 or win64, under Wine
// when Wine runs it.
inline std::string Build() {
    const std::string bits = sizeof(void*) == 4 ? "32" : "64";
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const bool wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    return "win" + bits + (wine ? " (Wine)" : "");
#else
    return "native -m" + bits;
#endif
}

// The table: figure, ours, baseline, ratio (ours / baseline), target, met,
// build. Every benchmark prints the header, then its rows; `make bench`
// keeps the first header only. A row without a baseline or a target shows
// "-" there.
inline constexpr double none = NAN;

inline void TableHeader() {
    std::printf("%-70s %10s %10s %7s  %-8s %-4s %s\n", "figure", "ours", "baseline", "ratio",
                "target", "met", "build");
}

inline void Row(const std::string& figure, double ours, double baseline = none,
                const char* target = "-", const char* met = "-") {
    char base[32] = "-", ratio[32] = "-";
    if (!std::isnan(baseline)) std::snprintf(base, sizeof base, "%.2f", baseline);
    if (!std::isnan(baseline) && baseline != 0)
        std::snprintf(ratio, sizeof ratio, "%.3f", ours / baseline);
    std::printf("%-70s %10.2f %10s %7s  %-8s %-4s %s\n", figure.c_str(), ours, base, ratio, target,
                met, Build().c_str());
    std::fflush(stdout);
}

inline const char* Met(bool met) { return met ? "yes" : "NO"; }

// A target on the ratio, judged on the ratio as the table shows it.
inline double ShownRatio(double ours, double baseline) {
    return std::round(ours / baseline * 1000) / 1000;
}
inline const char* RatioAtMost(double ours, double baseline, double limit) {
    return Met(ShownRatio(ours, baseline) <= limit);
}
inline const char* RatioAtLeast(double ours, double baseline, double limit) {
    return Met(ShownRatio(ours, baseline) >= limit);
}

}  // namespace bench
