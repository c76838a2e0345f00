#include "validate_report.h"

#include <cstdio>
#include "text_escapes.h"

namespace plenar::cli {
namespace {

struct Counts {
    int tests = 0, failures = 0, skipped = 0;
    double seconds = 0;
};

Counts counts_of(const ValidateRun& run) {
    Counts counts;
    for (const CheckRun& check : run.checks) {
        ++counts.tests;
        counts.skipped += !check.outcome;
        counts.failures += check.outcome && !check.outcome->passed();
        counts.seconds += check.seconds;
    }
    return counts;
}

std::string seconds_text(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

std::string attribute(const char* name, std::string_view value) {
    return std::string(" ") + name + "=\"" + xml_escaped(value) + "\"";
}

std::string count_attributes(const Counts& counts) {
    return attribute("tests", std::to_string(counts.tests)) +
           attribute("failures", std::to_string(counts.failures)) + attribute("errors", "0") +
           attribute("skipped", std::to_string(counts.skipped)) +
           attribute("time", seconds_text(counts.seconds));
}

}  // namespace

std::string junit_xml(const ValidateRun& run) {
    const Counts counts = counts_of(run);
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites" +
                      attribute("name", "plenar-host validate") + count_attributes(counts) +
                      ">\n  <testsuite" + attribute("name", "validate " + run.plugin) +
                      count_attributes(counts) + ">\n    <properties>\n      <property" +
                      attribute("name", "plugin") + attribute("value", run.plugin) +
                      "/>\n      <property" + attribute("name", "seed") +
                      attribute("value", std::to_string(run.seed)) + "/>\n    </properties>\n";
    for (const CheckRun& check : run.checks) {
        xml += "    <testcase" + attribute("name", check.name) +
               attribute("classname", "plenar-host.validate") +
               attribute("time", seconds_text(check.seconds)) + ">\n";
        if (!check.outcome) {
            xml += "      <skipped" + attribute("message", check.skipped_because) + "/>\n";
        } else if (!check.outcome->passed()) {
            xml += "      <failure" + attribute("type", verdict_word(check.outcome->verdict)) +
                   attribute("message", check.outcome->reason) + ">" +
                   xml_escaped(check.outcome->reason) + "</failure>\n";
        } else if (!check.outcome->reason.empty()) {
            xml += "      <properties><property" + attribute("name", "note") +
                   attribute("value", check.outcome->reason) + "/></properties>\n";
        }
        if (check.outcome && !check.outcome->output.empty())
            xml += "      <system-out>" + xml_escaped(check.outcome->output) + "</system-out>\n";
        xml += "    </testcase>\n";
    }
    return xml + "  </testsuite>\n</testsuites>\n";
}

std::string json_report(const ValidateRun& run) {
    const Counts counts = counts_of(run);
    std::string json = "{\n  \"plugin\": " + json_string(run.plugin) +
                       ",\n  \"seed\": " + std::to_string(run.seed) + ",\n  \"checks\": [";
    for (size_t i = 0; i < run.checks.size(); ++i) {
        const CheckRun& check = run.checks[i];
        json += std::string(i ? "," : "") + "\n    {\"name\": " + json_string(check.name) +
                ", \"verdict\": " +
                json_string(check.outcome ? verdict_word(check.outcome->verdict) : "skipped") +
                ", \"reason\": " +
                json_string(check.outcome ? check.outcome->reason : check.skipped_because) +
                ", \"output\": " + json_string(check.outcome ? check.outcome->output : "") +
                ", \"seconds\": " + seconds_text(check.seconds) + "}";
    }
    return json + "\n  ],\n  \"checks_run\": " + std::to_string(counts.tests - counts.skipped) +
           ",\n  \"failed\": " + std::to_string(counts.failures) +
           ",\n  \"skipped\": " + std::to_string(counts.skipped) + "\n}";
}

}  // namespace plenar::cli
