// A run of one instance: created from the edit data, every action, condition
// and expression called through the routine tables with sample parameters,
// the debugger's items read and edited, then destroyed.
#include <cstring>
#include "output.h"
#include "plenar_sim/trace.h"
#include "show_sections.h"

namespace plenar::cli {
namespace {

std::string samples_text(const std::vector<Sample>& samples) {
    std::string text;
    for (const Sample& s : samples) text += (text.empty() ? "" : ", ") + sample_text(s);
    return "(" + text + ")";
}

size_t fetches(sim::RunTime& run_time) {
    size_t n = 0;
    for (const sim::CallbackCall& call : run_time.calls())
        n += call.callback == sim::Callback::get_parameter ||
             call.callback == sim::Callback::first_expression_parameter ||
             call.callback == sim::Callback::next_expression_parameter;
    return n;
}

void call_routine(ShowState& state, RunObjectHeader* run, RoutineKind kind, int32_t id,
                  const void* routine) {
    static const char* const infos[] = {"GetActionInfos", "GetConditionInfos",
                                        "GetExpressionInfos"};
    static const char* const names[] = {"action", "condition", "expression"};
    const auto* record =
        state.plugin.address(infos[static_cast<int>(kind)])
            ? reinterpret_cast<const AceRecord*>(
                  state.plugin.call(infos[static_cast<int>(kind)], state.host.services(), id).value)
            : nullptr;
    const std::vector<Sample> samples = samples_for(record, kind);
    sim::RunTime& run_time = state.host.run_time();
    for (const Sample& s : samples)
        if (s.text)
            run_time.queue_text(L"sample");
        else
            run_time.queue_parameter(s.number);
    run_time.clear_calls();
    run->current_id = id;
    run->flags = 0;
    const Word words[] = {sim::word(run), 0, 0};
    const std::span<const Word> arguments(words, kind == RoutineKind::expression ? 2 : 3);
    // The routine is not an export, but the trace shows it as the host's call.
    sim::TracedCall traced(
        "export", std::string(names[static_cast<int>(kind)]) + " " + std::to_string(id), arguments);
    const sim::CallResult result = sim::checked_call(routine, arguments, sim::Convention::stdcall);
    traced.finish(result.value);
    std::string outcome;
    if (kind == RoutineKind::expression && record && record->flags == expression_returns_string)
        outcome = quoted_wide(reinterpret_cast<const void*>(result.value));
    else if (kind == RoutineKind::expression && record &&
             record->flags == expression_returns_float) {
        float value;
        std::memcpy(&value, &result.value, sizeof value);
        outcome = hex_word(static_cast<uint32_t>(result.value)) + " (float " +
                  std::to_string(value) + ")";
    } else
        outcome = std::to_string(static_cast<int32_t>(result.value));
    std::string line =
        padded(std::string(names[static_cast<int>(kind)]) + " " + std::to_string(id), 14) +
        padded(samples_text(samples), 20) + "-> " + padded(outcome, 16);
    if (kind == RoutineKind::expression)
        line += (run->flags & expression_string_result)  ? "string flag, "
                : (run->flags & expression_float_result) ? "float flag, "
                                                         : "";
    line += std::to_string(fetches(run_time)) + " fetched";
    std::string details;
    if (!result.balanced())
        details += "stack UNBALANCED: " + std::to_string(result.bytes_removed) +
                   " bytes removed, " + std::to_string(result.bytes_expected) + " expected";
    if (const size_t left = run_time.queued_parameters()) {
        details += (details.empty() ? "" : "; ") + std::to_string(left) +
                   " queued parameters left unfetched";
        while (run_time.queued_parameters())
            run_time.next_parameter(sim::Callback::get_parameter, run, 0, 0);
    }
    print_item(line, 2);
    if (!details.empty()) print_item(details, 3);
    report_message_boxes(state, 2);
}

void call_table(ShowState& state, RunObjectHeader* run, RoutineKind kind, const void* const* table,
                uint16_t count) {
    for (int32_t id = 0; id < count; ++id) {
        if (!table || !table[id]) {
            print_item("routine " + std::to_string(id) + ": missing from its table");
            return;
        }
        call_routine(state, run, kind, id, table[id]);
    }
}

std::string debug_item(ShowState& state, RunObjectHeader* run, int32_t id) {
    wchar buffer[256] = {};
    state.plugin.call("GetDebugItem", buffer, run, id);
    buffer[255] = 0;
    return quoted_wide(buffer);
}

void show_debugger(ShowState& state, RunObjectHeader* run) {
    print_section("Debugger");
    if (!exported(state, "GetDebugTree")) return;
    const auto* tree =
        reinterpret_cast<const uint16_t*>(state.plugin.call("GetDebugTree", run).value);
    std::vector<uint16_t> items;
    std::string entries;
    for (size_t i = 0; tree && i < 256; ++i) {
        char entry[8];
        std::snprintf(entry, sizeof entry, "0x%04X", tree[i]);
        entries += (entries.empty() ? "" : " ") + std::string(entry);
        if (tree[i] == debug_tree_end) break;
        items.push_back(tree[i]);
    }
    print_field("tree", tree ? entries : "(null)");
    report_message_boxes(state);
    if (!exported(state, "GetDebugItem")) return;
    sim::Interception& clock = sim::Interception::instance();
    for (const uint16_t entry : items) {
        const int32_t id = entry & ~debug_item_editable;
        const bool editable = entry & debug_item_editable;
        print_item("item " + std::to_string(id) + (editable ? " (editable)" : ""));
        print_field("  at once", debug_item(state, run, id));
        clock.advance_clock(501);
        print_field("  501 ms later", debug_item(state, run, id));
        if (editable && exported(state, "EditDebugItem")) {
            state.host.run_time().queue_edit_answer(1, L"edited");
            state.plugin.call("EditDebugItem", run, id);
            print_field("  edited to", "\"edited\"");
            print_field("  read again", debug_item(state, run, id));
            clock.advance_clock(501);
            print_field("  501 ms later", debug_item(state, run, id));
        }
        report_message_boxes(state, 2);
    }
}

}  // namespace

void show_run(ShowState& state) {
    print_section("Run");
    if (!exported(state, "GetRunObjectDataSize") || !exported(state, "CreateRunObject")) return;
    const uint32_t size = state.plugin.call("GetRunObjectDataSize", nullptr, nullptr).number();
    print_field("run data size", std::to_string(size) + " bytes");
    RunObjectHeader* run = state.host.run_time().create_run_data(size);
    const sim::CallResult created =
        state.plugin.call("CreateRunObject", run, state.edit_data, nullptr);
    print_field("CreateRunObject", std::to_string(static_cast<int32_t>(created.value)));
    report_message_boxes(state);
    if (state.plugin.address("HandleRunObject"))
        print_field(
            "HandleRunObject",
            std::to_string(static_cast<int32_t>(state.plugin.call("HandleRunObject", run).value)));
    if (!state.have_info) {
        print_item("no routine tables without GetRunObjectInfos");
    } else {
        print_item("calls (numbers 2, 3, ...; texts \"sample\"):");
        const RunObjectInfo& info = state.info;
        call_table(state, run, RoutineKind::action,
                   reinterpret_cast<const void* const*>(info.actions), info.action_count);
        call_table(state, run, RoutineKind::condition,
                   reinterpret_cast<const void* const*>(info.conditions), info.condition_count);
        call_table(state, run, RoutineKind::expression,
                   reinterpret_cast<const void* const*>(info.expressions), info.expression_count);
    }
    show_debugger(state, run);
    print_section("End of run");
    if (exported(state, "DestroyRunObject")) {
        const sim::CallResult destroyed = state.plugin.call("DestroyRunObject", run, 0);
        print_field("DestroyRunObject", std::to_string(static_cast<int32_t>(destroyed.value)));
        report_message_boxes(state);
    }
}

}  // namespace plenar::cli
