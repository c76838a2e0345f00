#include "diagnostics.h"

#include "output.h"
#include "text_escapes.h"

namespace plenar::cli {

const char* severity_name(Severity severity) {
    return severity == Severity::error     ? "error"
           : severity == Severity::warning ? "warning"
                                           : "note";
}

int Diagnostics::count(Severity severity) const {
    int n = 0;
    for (const Diagnostic& d : list_) n += d.severity == severity;
    return n;
}

int Diagnostics::exit_status(bool warnings_as_errors) const {
    const int failing =
        count(Severity::error) + (warnings_as_errors ? count(Severity::warning) : 0);
    return failing ? 1 : 0;
}

namespace {

std::string full_path(const Diagnostic& d) {
    if (d.section.empty()) return d.path;
    return d.path.empty() ? d.section : d.section + "." + d.path;
}

std::string counted(int n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

void Diagnostics::print_lines() const {
    for (const Diagnostic& d : list_) {
        std::string line = file_ + ":";
        if (d.line) line += std::to_string(d.line) + ":" + std::to_string(d.column) + ":";
        line += std::string(" ") + severity_name(d.severity) + ": ";
        if (!d.rule.empty()) line += d.rule + ": ";
        line += d.text;
        const std::string path = full_path(d);
        if (!path.empty()) line += " [" + path + "]";
        print_line(line);
    }
}

std::string Diagnostics::summary() const {
    return counted(count(Severity::error), "error") + ", " +
           counted(count(Severity::warning), "warning") + ", " +
           counted(count(Severity::note), "note");
}

void Diagnostics::print_json() const {
    std::string out = "{\"file\": " + json_string(file_) +
                      ", \"errors\": " + std::to_string(count(Severity::error)) +
                      ", \"warnings\": " + std::to_string(count(Severity::warning)) +
                      ", \"notes\": " + std::to_string(count(Severity::note)) +
                      ", \"diagnostics\": [";
    for (size_t i = 0; i < list_.size(); ++i) {
        const Diagnostic& d = list_[i];
        out += i ? ",\n  " : "\n  ";
        out += std::string("{\"severity\": \"") + severity_name(d.severity) + "\"";
        out +=
            ", \"line\": " + std::to_string(d.line) + ", \"column\": " + std::to_string(d.column);
        out += ", \"rule\": " + json_string(d.rule) + ", \"text\": " + json_string(d.text);
        out +=
            ", \"path\": " + json_string(d.path) + ", \"section\": " + json_string(d.section) + "}";
    }
    out += list_.empty() ? "]}" : "\n]}";
    print_line(out);
}

bool ReportOptions::take(const std::wstring& argument) {
    if (argument == L"--json") return as_json = true;
    if (argument == L"--warnings-as-errors") return warnings_as_errors = true;
    return false;
}

int Diagnostics::report(const ReportOptions& options, bool with_summary) const {
    if (options.as_json) {
        print_json();
    } else {
        print_lines();
        if (with_summary) print_line(summary());
    }
    return exit_status(options.warnings_as_errors);
}

std::string one_line(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        line += c == '\n' ? ' ' : c;
    }
    return line;
}

}  // namespace plenar::cli
