// Where loading a description goes, natively: reading the file, the comment
// pass, the parse and the SDK object's construction (records, tables, plans,
// property descriptors; the Windows menus and icon are not in this build),
// each a row against the whole load (the ratio is its share).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "documents.h"
#include "json/json.h"
#include "json/json_parse_state.h"
#include "load/language.h"
#include "sdk.h"
#include "timing.h"

namespace {

constexpr int repetitions = 9;

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

char* ReadFile(const std::string& path, size_t& size) {
    FILE* file = fopen(path.c_str(), "rb");
    fseek(file, 0, SEEK_END);
    size = static_cast<size_t>(ftell(file));
    fseek(file, 0, SEEK_SET);
    char* text = static_cast<char*>(malloc(size + 1));
    if (fread(text, 1, size, file) != size) exit(1);
    text[size] = 0;
    fclose(file);
    return text;
}

}  // namespace

int main() {
    bench::TableHeader();
    for (const bench::Document& doc : bench::DescriptionDocuments()) {
        std::string path = "/tmp/lumbra_bench_" + std::to_string(doc.Text.size()) + ".json";
        FILE* out = fopen(path.c_str(), "wb");
        fwrite(doc.Text.data(), 1, doc.Text.size(), out);
        fclose(out);

        const int inner = doc.Text.size() < 100000 ? 200 : 2;
        std::vector<double> read, strip, parse, build;
        for (int r = 0; r < repetitions; ++r) {
            double t_read = 0, t_strip = 0, t_parse = 0, t_build = 0;
            for (int i = 0; i < inner; ++i) {
                size_t size = 0;
                double t0 = bench::Seconds();
                char* text = ReadFile(path, size);
                double t1 = bench::Seconds();
                // The comment pass alone, on its own copy.
                json_parse_state state{};
                state.settings.allocate = json_default_allocate;
                state.settings.release = json_default_release;
                char* copy = bench::MallocCopy(doc.Text);
                size_t length = size;
                char message[128];
                double t2 = bench::Seconds();
                json_strip_comments(&copy, &state, message, sizeof message, &length);
                double t3 = bench::Seconds();
                free(copy);
                // The whole reader; its parse is what the comment pass leaves.
                double t4 = bench::Seconds();
                json_value* root = json_read(nullptr, text, size, nullptr, 0);
                double t5 = bench::Seconds();
                auto* sdk = new Kvor::SDK(nullptr, root);
                double t6 = bench::Seconds();
                delete sdk;
                ::SDK = nullptr;
                Kvor::CachedLanguage = &json_none;
                t_read += t1 - t0;
                t_strip += t3 - t2;
                t_parse += (t5 - t4) - (t3 - t2);
                t_build += t6 - t5;
            }
            read.push_back(t_read / inner);
            strip.push_back(t_strip / inner);
            parse.push_back(t_parse / inner);
            build.push_back(t_build / inner);
        }
        double a = Median(read) * 1e6, b = Median(strip) * 1e6, c = Median(parse) * 1e6,
               d = Median(build) * 1e6;
        const double whole = a + b + c + d;
        bench::Row("loading " + doc.Name + " (us)", whole);
        const struct {
            const char* name;
            double part;
        } parts[] = {{"file read", a}, {"comment pass", b}, {"parse", c}, {"SDK object", d}};
        for (const auto& p : parts)
            bench::Row("loading " + doc.Name + ": " + p.name + " (us) vs the whole", p.part, whole);
        remove(path.c_str());
    }
    return 0;
}
