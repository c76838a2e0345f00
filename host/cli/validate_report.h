// validate's verdicts for machines: a JUnit XML file (--junit), one test case
// a check, and the same as JSON (--json). Checks the filter left out are
// reported as skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include "checks/check.h"

namespace plenar::cli {

struct CheckRun {
    std::string name;
    std::optional<CheckOutcome> outcome;  // none: skipped
    std::string skipped_because;
    double seconds = 0;
};

struct ValidateRun {
    std::string plugin;
    uint32_t seed = 0;
    std::vector<CheckRun> checks;
};

std::string junit_xml(const ValidateRun& run);
std::string json_report(const ValidateRun& run);

}  // namespace plenar::cli
