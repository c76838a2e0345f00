// The findings of the commands that judge descriptions (check, compat), each
// placed in a file, and the two ways they are printed: compiler-style lines
// for people and editors, JSON for CI.
#pragma once

#include <string>
#include <vector>

namespace plenar::cli {

enum class Severity { error, warning, note };

const char* severity_name(Severity severity);

struct Diagnostic {
    Severity severity = Severity::error;
    int line = 0, column = 0;  // 1-based; 0 when the finding has no place in the file
    std::string rule;          // what found it: a rule's name, or a message box's caption
    std::string text;          // one line
    std::string path;          // the entry it names, e.g. Actions[2].Parameters[1]; may be empty
    std::string section;       // the language section it came from, when more than one is judged
};

// How a command that judges descriptions reports: --json, --warnings-as-errors.
struct ReportOptions {
    bool as_json = false;
    bool warnings_as_errors = false;

    // True, with the option set, when `argument` is one of them.
    bool take(const std::wstring& argument);
};

class Diagnostics {
public:
    explicit Diagnostics(std::string file) : file_(std::move(file)) {}

    void add(Diagnostic diagnostic) { list_.push_back(std::move(diagnostic)); }
    const std::vector<Diagnostic>& list() const { return list_; }
    int count(Severity severity) const;

    // 0 when nothing is an error (nor, with warnings_as_errors, a warning); 1 otherwise.
    int exit_status(bool warnings_as_errors = false) const;

    // Prints as `options` ask (the lines, then the summary when `with_summary`;
    // or the JSON) and returns the exit status.
    int report(const ReportOptions& options, bool with_summary) const;

private:
    // FILE:LINE:COLUMN: SEVERITY: RULE: TEXT [SECTION.PATH], one line each.
    void print_lines() const;
    // "N errors, N warnings, N notes".
    std::string summary() const;
    // {"file": ..., "errors": N, "warnings": N, "notes": N, "diagnostics": [...]}
    void print_json() const;

    std::string file_;
    std::vector<Diagnostic> list_;
};

// Texts on one line: their line breaks become blanks.
std::string one_line(const std::string& text);

}  // namespace plenar::cli
