// What the comparisons of entries, properties and sections share: where a
// finding goes and how entries of two arrays are paired.
#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include "../diagnostics.h"
#include "../json_places.h"
#include "rules.h"

namespace plenar::cli::compat {

// Releases: a description against a released one, entries paired by their
// titles. Sections: a later language section against the first of the same
// description, entries paired by position and only what the host records or
// the instances store compared.
enum class Mode { releases, sections };

class Judge {
public:
    Judge(Diagnostics& found, Mode mode, std::string section, std::string reference)
        : found_(found),
          mode_(mode),
          section_(std::move(section)),
          reference_(std::move(reference)) {}

    bool releases() const { return mode_ == Mode::releases; }
    // "in 'UK English'" (sections) or "before" (releases), for texts.
    const std::string& reference() const { return reference_; }
    // A finding of `rule` at `at` (or at `fallback` when `at` has no place).
    void report(Rule rule, const JsonNode& at, const JsonNode& fallback, const std::string& path,
                const std::string& text);

private:
    Diagnostics& found_;
    Mode mode_;
    std::string section_;
    std::string reference_;
};

// For each entry of `before`, the position of the same entry in `after`, or
// -1 when it is gone. Releases pair entries of the same "Title" (the same
// position first), then an entry whose title changed where it stands;
// sections pair by position.
std::vector<int> pair_entries(const JsonNode& before, const JsonNode& after, Mode mode);

// The entry's "Title" in double quotes ("" when it has none).
std::string title_of(const JsonNode& entry);
// NAME[INDEX], and NAME[INDEX].MEMBER.
std::string item_path(const std::string& array, size_t index);

// "1 parameter", "2 parameters".
std::string counted(size_t n, const std::string& one, const std::string& many);

// A number as a whole number: truncated toward zero and held to 64 bits;
// 0 for anything but a number.
int64_t whole_number(const JsonNode& value);

// The length of an array; 0 for anything else.
size_t count_of(const JsonNode& array);

// A comparison of texts as the SDK makes it: ASCII letters in either case.
bool same_name(const std::string& a, const std::string& b);

// Actions, conditions and expressions, and (releases) the menus offering them.
void compare_entries(Judge& judge, const JsonNode& before, const JsonNode& after);
// `unrecorded`: the sections fix what instances store, and blocks saved
// under `before` carry no layout record.
void compare_properties(Judge& judge, const JsonNode& before, const JsonNode& after,
                        bool unrecorded);

}  // namespace plenar::cli::compat
