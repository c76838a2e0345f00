// Loading under Wine: from loading the library to a built SDK object
// (Initialize), for Lumbra's own description (its resource) and for a large
// generated description lying beside the library. Loading the library alone
// is measured beside it and is Initialize's baseline, so Initialize's own
// share is plain.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <memory>
#include <string>

#include "description_generator.h"
#include "plenar_sim/sim.h"
#include "timing.h"

namespace {

constexpr int repetitions = 9;

struct Figures {
    double load = 0, initialize = 0;
};

Figures Measure(const std::string& description, int inner) {
    plenar::sim::TempFolder folder;
    plenar::sim::Host host;
    if (!description.empty()) folder.write_file(L"Lumbra.json", description);
    std::wstring path =
        folder.place_copy(plenar::sim::program_folder() + L"\\Lumbra.pvx", L"Lumbra.pvx");
    std::vector<double> loads, initializes;
    for (int r = 0; r < repetitions; ++r) {
        double load = 0, initialize = 0;
        for (int i = 0; i < inner; ++i) {
            double t0 = bench::Seconds();
            auto plugin = std::make_unique<plenar::sim::Plugin>(path);
            double t1 = bench::Seconds();
            auto result = plugin->call("Initialize", host.services(), 0);
            double t2 = bench::Seconds();
            if (result.value != 0) {
                std::fprintf(stderr, "Initialize failed\n");
                std::exit(1);
            }
            load += t1 - t0;
            initialize += t2 - t1;
        }
        loads.push_back(load / inner);
        initializes.push_back(initialize / inner);
    }
    std::sort(loads.begin(), loads.end());
    std::sort(initializes.begin(), initializes.end());
    return {loads[repetitions / 2], initializes[repetitions / 2]};
}

}  // namespace

int main() {
    bench::TableHeader();
    struct {
        const char* name;
        std::string text;
        int inner;
    } cases[] = {
        {"Lumbra.json, the resource", std::string(), 20},
        {"generated large, a file beside", bench::GenerateDescription({}), 2},
    };
    for (auto& c : cases) {
        Figures f = Measure(c.text, c.inner);
        bench::Row(std::string("Initialize, ") + c.name + " (us) vs the library load",
                   f.initialize * 1e6, f.load * 1e6);
    }
    return 0;
}
