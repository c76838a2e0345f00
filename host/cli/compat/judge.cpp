#include "judge.h"

#include <cmath>
#include "kvor/types.h"

namespace plenar::cli::compat {

void Judge::report(Rule rule, const JsonNode& at, const JsonNode& fallback, const std::string& path,
                   const std::string& text) {
    const JsonNode& place = at.line ? at : fallback;
    const RuleInfo& info = rule_info(rule);
    found_.add({info.severity, place.line, place.column, info.name, text, path, section_});
}

namespace {

std::string title_key(const JsonNode& entry) {
    return entry["Title"].is(JsonNode::Kind::string) ? entry["Title"].text : std::string();
}

}  // namespace

std::vector<int> pair_entries(const JsonNode& before, const JsonNode& after, Mode mode) {
    const size_t old_count = count_of(before), new_count = count_of(after);
    std::vector<int> paired(old_count, -1);
    std::vector<bool> taken(new_count, false);
    auto pair = [&](size_t i, size_t j) {
        paired[i] = int(j);
        taken[j] = true;
    };
    for (size_t i = 0; i < old_count && i < new_count; ++i)
        if (mode == Mode::sections || title_key(before[i]) == title_key(after[i])) pair(i, i);
    if (mode == Mode::sections) return paired;
    for (size_t i = 0; i < old_count; ++i) {
        const std::string key = title_key(before[i]);
        if (paired[i] >= 0 || key.empty()) continue;
        for (size_t j = 0; j < new_count; ++j)
            if (!taken[j] && title_key(after[j]) == key) {
                pair(i, j);
                break;
            }
    }
    // What is left where it stood is the same entry with another title.
    for (size_t i = 0; i < old_count && i < new_count; ++i)
        if (paired[i] < 0 && !taken[i]) pair(i, i);
    return paired;
}

std::string counted(size_t n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

int64_t whole_number(const JsonNode& value) {
    if (!value.is_number() || !std::isfinite(value.number)) return 0;
    const double limit = 9223372036854775807.0;  // 2^63
    if (value.number >= limit) return INT64_MAX;
    if (value.number <= -limit) return INT64_MIN;
    return int64_t(value.number);
}

size_t count_of(const JsonNode& array) {
    return array.is(JsonNode::Kind::array) ? array.size() : 0;
}

std::string title_of(const JsonNode& entry) {
    std::string title = "\"";
    title += title_key(entry);
    return title += '"';
}

std::string item_path(const std::string& array, size_t index) {
    return array + "[" + std::to_string(index) + "]";
}

bool same_name(const std::string& a, const std::string& b) {
    return Kvor::SameIgnoringAsciiCase(a.c_str(), b.c_str());
}

}  // namespace plenar::cli::compat
