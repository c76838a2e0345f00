// validate --released OLD.json: a block saved under a released description
// read under the current one, by the real plug-in (released_values.h).
#include <random>
#include "check.h"
#include "released_values.h"

namespace plenar::cli {
namespace {

CheckOutcome released(const CheckContext& context) {
    if (!context.released) return pass("no --released description given");
    const uint32_t seed = context.seed.value_or(std::random_device()());
    const ReleasedReading reading =
        read_released_block(context.plugin, *context.released, context.description, seed);
    if (!reading.problem.empty()) return fail(reading.problem);
    if (reading.misread.empty()) return pass();
    const MisreadValue& first = reading.misread.front();
    std::string reason = "property " + std::to_string(first.position) + " " + first.text;
    if (reading.misread.size() > 1)
        reason += " (and " + std::to_string(reading.misread.size() - 1) + " more)";
    return fail(reason + " (values from seed " + std::to_string(seed) + ")");
}

}  // namespace

extern const Check state_released_check = {
    "state-released",
    "a block saved with random values under the --released description reads under the "
    "current one: every kept entry its saved value and box, every new entry its default",
    &released};

}  // namespace plenar::cli
