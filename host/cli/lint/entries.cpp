#include "entries.h"

#include <set>
#include "../families.h"
#include "kvor/keys.h"

namespace plenar::cli::lint {
namespace {

using Kind = JsonNode::Kind;
namespace key = Kvor::key;

// The number of properties whose identifiers stay apart.
constexpr size_t property_id_span = 1000;

// The N of every "%N" in `title`, its digits read to their end.
std::set<unsigned long> placeholders(const std::string& title) {
    std::set<unsigned long> found;
    for (size_t at = title.find('%'); at != std::string::npos; at = title.find('%', at + 1)) {
        size_t end = at + 1;
        while (end < title.size() && title[end] >= '0' && title[end] <= '9') ++end;
        if (end > at + 1 && end - at <= 10)
            found.insert(std::stoul(title.substr(at + 1, end - at - 1)));
    }
    return found;
}

std::string counted(size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

void check_display_strings(const JsonNode& section, Findings& findings) {
    for (const Family& family : families) {
        const JsonNode& entries = section[family.entries.name];
        for (size_t id = 0; id < entries.items.size(); ++id) {
            const JsonNode& title = entries.items[id][key::entry::Title.name];
            if (!title.is(Kind::string)) continue;
            const JsonNode& parameters = entries.items[id][key::entry::Parameters.name];
            const size_t count = parameters.is(Kind::array) ? parameters.items.size() : 0;
            for (unsigned long n : placeholders(title.text)) {
                if (n < count) continue;
                findings.add(Rule::placeholder_beyond_parameters, title,
                             "\"%" + std::to_string(n) + "\" names parameter " + std::to_string(n) +
                                 ", but this " + family.kind + " has " +
                                 counted(count, "parameter") +
                                 (count ? " (%0 to %" + std::to_string(count - 1) + ")" : ""),
                             member(indexed(family.entries.name, id), key::entry::Title.name));
            }
        }
    }
}

void check_property_count(const JsonNode& section, Findings& findings) {
    const JsonNode& properties = section[key::language::Properties.name];
    if (properties.items.size() <= property_id_span) return;
    findings.add(Rule::too_many_properties, properties.items[property_id_span],
                 "the sheet has " + std::to_string(properties.items.size()) + " properties" +
                     " but tells apart only 1000: this one's identifier is read as "
                     "property 0's, and so on for every later one",
                 indexed(key::language::Properties.name, property_id_span));
}

}  // namespace plenar::cli::lint
