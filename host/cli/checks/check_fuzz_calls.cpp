// Every action, condition and expression called through the routine tables,
// as the host calls them while a frame runs, with parameters a plug-in must
// survive: boundary numbers (0, -1, the ends of the 32-bit range, the bit
// patterns of NaN and the infinities, since the host cannot tell a float
// parameter from an integer), empty, long and null texts, then random ones,
// all drawn from the run's seed. A call passes when it returns with the
// stack balanced, lets no exception out and shows no message box but the
// documented ones a call may raise (a null text, an exception the SDK caught).
#include <random>
#include "check_support.h"
#include "kvor/messages.h"
#include "kvor/types.h"
#include "message_match.h"
#include "plenar/exports.h"
#include "plenar_sim/sim.h"

namespace plenar::cli {
namespace {

enum class Routine { action, condition, expression };

struct CalledFamily {
    Routine routine;
    const char* name;
    const char* infos;
    uint16_t RunObjectInfo::*count;
};

const void* const* routine_table(const RunObjectInfo& info, Routine routine) {
    switch (routine) {
        case Routine::action: return reinterpret_cast<const void* const*>(info.actions);
        case Routine::condition: return reinterpret_cast<const void* const*>(info.conditions);
        default: return reinterpret_cast<const void* const*>(info.expressions);
    }
}

// The boxes a call may show, each the answer to an argument it was given.
const Kvor::Message* const documented_boxes[] = {
    &Kvor::message::null_text_parameter, &Kvor::message::null_text_expression_parameter,
    &Kvor::message::call_failed, &Kvor::message::out_of_memory, &Kvor::message::export_error};

constexpr uint32_t boundary_numbers[] = {0,
                                         0xFFFFFFFFu /* -1 */,
                                         0x80000000u /* INT_MIN, -0.0f */,
                                         0x7FFFFFFFu /* INT_MAX */,
                                         0x7FC00000u /* NaN */,
                                         0x7F800000u /* +inf */,
                                         0xFF800000u /* -inf */,
                                         1};
const char* const boundary_number_names[] = {"0",   "-1",   "INT_MIN", "INT_MAX",
                                             "NaN", "+inf", "-inf",    "1"};
constexpr int random_rounds = 24;
constexpr size_t long_text = 4096;

// One argument: a number word, or a text (absent: the null pointer).
struct Argument {
    enum class Kind { number, text, other } kind;
    uint32_t number = 0;
    std::optional<std::wstring> text;
    std::string shown;  // for the report
};

std::wstring random_text(std::mt19937& random, size_t length) {
    // ASCII, accents, a wide character, and lone surrogate halves, which a
    // host's text may hold.
    static const wchar_t pieces[] = L"az AZ09%\\\"'\u00e9\u00fc\u4e2d\xd800\xdfff\x01";
    std::wstring text;
    for (size_t i = 0; i < length; ++i) text += pieces[random() % (std::size(pieces) - 1)];
    return text;
}

Argument number_argument(uint32_t value, std::string shown) {
    return {Argument::Kind::number, value, {}, std::move(shown)};
}

Argument text_argument(std::optional<std::wstring> text, std::string shown) {
    return {Argument::Kind::text, 0, std::move(text), std::move(shown)};
}

// Round `round` of the boundary rounds: every number one boundary value,
// every text one of empty, null, long.
Argument boundary_argument(Kvor::ArgumentKind kind, size_t round, std::mt19937& random) {
    if (kind == Kvor::ArgumentKind::text) {
        switch (round % 3) {
            case 0: return text_argument(std::wstring(), "\"\"");
            case 1: return text_argument(std::nullopt, "null text");
            default: return text_argument(random_text(random, long_text), "long text");
        }
    }
    if (kind == Kvor::ArgumentKind::generic) return {Argument::Kind::other, 0, {}, "0"};
    const size_t at = round % std::size(boundary_numbers);
    return number_argument(boundary_numbers[at], boundary_number_names[at]);
}

Argument random_argument(Kvor::ArgumentKind kind, std::mt19937& random) {
    if (kind == Kvor::ArgumentKind::text) {
        if (random() % 4 == 0) return text_argument(std::nullopt, "null text");
        const size_t length = random() % 3 == 0 ? random() % long_text : random() % 16;
        return text_argument(random_text(random, length), "text of " + std::to_string(length));
    }
    if (kind == Kvor::ArgumentKind::generic) return {Argument::Kind::other, 0, {}, "0"};
    if (random() % 2 == 0) {
        const size_t at = random() % std::size(boundary_numbers);
        return number_argument(boundary_numbers[at], boundary_number_names[at]);
    }
    const uint32_t value = random();
    return number_argument(value, std::to_string(static_cast<int32_t>(value)));
}

std::vector<Kvor::ArgumentKind> argument_kinds(const AceRecord* record, Routine routine) {
    std::vector<Kvor::ArgumentKind> kinds;
    for (int i = 0; record && i < record->parameter_count && i < Kvor::MaxParameters; ++i)
        kinds.push_back(
            routine == Routine::expression
                ? Kvor::ArgumentKindOf(Kvor::expression_parameter_types, record->code(i), false)
                : Kvor::ArgumentKindOf(Kvor::parameter_types, record->code(i), false));
    return kinds;
}

std::string call_text(const CalledFamily& family, int32_t id,
                      const std::vector<Argument>& arguments) {
    std::string text = std::string(family.name) + " " + std::to_string(id) + " (";
    for (size_t i = 0; i < arguments.size(); ++i) text += (i ? ", " : "") + arguments[i].shown;
    return text + ")";
}

bool documented(const sim::MessageBoxCall& box) {
    for (const Kvor::Message* message : documented_boxes)
        if (match_message(*message, box.caption, box.text)) return true;
    return false;
}

struct Fuzzing {
    PluginSession& session;
    RunObjectHeader* run;
    uint32_t seed;
    std::mt19937 random;
    size_t calls = 0, documented_boxes_seen = 0;
};

// One call; "" when it passed, else what went wrong.
std::string call_once(Fuzzing& fuzzing, const CalledFamily& family, int32_t id, const void* routine,
                      const std::vector<Argument>& arguments) {
    sim::RunTime& run_time = fuzzing.session.host().run_time();
    for (const Argument& argument : arguments) {
        if (argument.kind != Argument::Kind::text)
            run_time.queue_parameter(argument.number);
        else if (argument.text)
            run_time.queue_text(*argument.text);
        else
            run_time.queue_null_text();
    }
    const std::string call = call_text(family, id, arguments);
    set_current_step("calling " + call + ", seed " + std::to_string(fuzzing.seed));
    fuzzing.run->current_id = id;
    fuzzing.run->flags = 0;
    const Word words[] = {sim::word(fuzzing.run), 0, 0};
    const std::span<const Word> passed(words, family.routine == Routine::expression ? 2 : 3);
    const size_t boxes_before = message_box_count();
    sim::CallResult result;
    try {
        result = sim::checked_call(routine, passed, sim::Convention::stdcall);
    } catch (...) {
        return "an exception left " + call;
    }
    set_current_step({});
    ++fuzzing.calls;
    while (run_time.queued_parameters())  // those it did not fetch
        run_time.next_parameter(sim::Callback::get_parameter, fuzzing.run, 0, 0);
    if (!result.balanced())
        return call + " removed " + std::to_string(result.bytes_removed) + " argument bytes, " +
               std::to_string(result.bytes_expected) + " expected";
    const auto& boxes = sim::Interception::instance().message_boxes();
    for (size_t i = boxes_before; i < boxes.size(); ++i) {
        if (!documented(boxes[i])) return call + " showed " + message_boxes_since(i);
        ++fuzzing.documented_boxes_seen;
    }
    return {};
}

std::string fuzz_family(Fuzzing& fuzzing, const CalledFamily& family, const RunObjectInfo& info) {
    const void* const* table = routine_table(info, family.routine);
    for (int32_t id = 0; id < info.*family.count; ++id) {
        if (!table || !table[id])
            return std::string(family.name) + " " + std::to_string(id) +
                   " is missing from its routine table";
        const auto* record =
            fuzzing.session.plugin().address(family.infos)
                ? fuzzing.session.call(family.infos, fuzzing.session.host().services(), id)
                      .pointer<const AceRecord>()
                : nullptr;
        const std::vector<Kvor::ArgumentKind> kinds = argument_kinds(record, family.routine);
        const size_t boundary_rounds = kinds.empty() ? 1 : std::size(boundary_numbers) * 3;
        for (size_t round = 0; round < boundary_rounds + random_rounds; ++round) {
            std::vector<Argument> arguments;
            for (const Kvor::ArgumentKind kind : kinds)
                arguments.push_back(round < boundary_rounds
                                        ? boundary_argument(kind, round, fuzzing.random)
                                        : random_argument(kind, fuzzing.random));
            const std::string problem = call_once(fuzzing, family, id, table[id], arguments);
            if (!problem.empty()) return problem;
            if (kinds.empty()) break;  // nothing to vary
        }
    }
    return {};
}

const CalledFamily called_families[] = {
    {Routine::action, "action", "GetActionInfos", &RunObjectInfo::action_count},
    {Routine::condition, "condition", "GetConditionInfos", &RunObjectInfo::condition_count},
    {Routine::expression, "expression", "GetExpressionInfos", &RunObjectInfo::expression_count},
};

CheckOutcome calls_survive_odd_arguments(const CheckContext& context) {
    const uint32_t seed = context.seed.value_or(std::random_device()());
    const std::string repeat = " (seed " + std::to_string(seed) + ")";
    std::string problem;
    auto session = initialised_session(context, problem);
    if (!session) return fail(problem);
    RunObjectInfo info;
    if (!session->run_object_info(info)) return fail("GetRunObjectInfos did not answer 1");
    void* block = session->new_block();
    HostServices* services = session->host().services();
    if (session->plugin().address("GetProperties"))
        session->call_on_block(block, "GetProperties", services, block, 0);
    const bool sized = session->plugin().address("GetRunObjectDataSize");
    RunObjectHeader* run = session->host().run_time().create_run_data(
        sized ? session->call("GetRunObjectDataSize", nullptr, nullptr).number() : 0);
    if (session->plugin().address("CreateRunObject")) {
        const size_t before = message_box_count();
        const int32_t created =
            static_cast<int32_t>(session->call("CreateRunObject", run, block, nullptr).value);
        if (created != 0)
            return fail(
                "CreateRunObject returned " + std::to_string(created) +
                (message_box_count() > before ? " after " + message_boxes_since(before) : ""));
    }
    Fuzzing fuzzing{*session, run, seed, std::mt19937(seed)};
    for (const CalledFamily& family : called_families) {
        problem = fuzz_family(fuzzing, family, info);
        if (!problem.empty()) return fail(problem + repeat);
    }
    if (session->plugin().address("DestroyRunObject")) session->call("DestroyRunObject", run, 0);
    const std::string faults = stack_faults(*session);
    if (!faults.empty()) return fail(faults + repeat);
    return pass(
        "seed " + std::to_string(seed) + ", " + std::to_string(fuzzing.calls) + " calls" +
        (fuzzing.documented_boxes_seen
             ? ", " + std::to_string(fuzzing.documented_boxes_seen) + " documented message boxes"
             : ""));
}

}  // namespace

extern const Check fuzz_calls_check = {
    "fuzz-calls",
    "every action, condition and expression called through the routine tables with boundary "
    "numbers (0, -1, INT_MIN, INT_MAX, NaN, infinities), empty, long, null and random texts "
    "from the printed seed (--seed repeats it): no crash, no exception left out, no message "
    "box but a documented one",
    &calls_survive_odd_arguments};

}  // namespace plenar::cli
