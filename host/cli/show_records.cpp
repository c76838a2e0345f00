// Every action, condition and expression record with its display string and
// parameter prompts, as the host's event editor reads them.
#include "output.h"
#include "show_sections.h"

namespace plenar::cli {
namespace {

struct Family {
    RoutineKind kind;
    const char* title;
    const char* infos;             // the record export
    const char* string;            // the display string export
    const char* prompt;            // the parameter prompt export
    const char* expression_title;  // null but for expressions
    uint16_t RunObjectInfo::*count;
};

const Family families[] = {
    {RoutineKind::action, "Actions", "GetActionInfos", "GetActionString", "GetActionTitle", nullptr,
     &RunObjectInfo::action_count},
    {RoutineKind::condition, "Conditions", "GetConditionInfos", "GetConditionString",
     "GetConditionTitle", nullptr, &RunObjectInfo::condition_count},
    {RoutineKind::expression, "Expressions", "GetExpressionInfos", "GetExpressionString",
     "GetExpressionParam", "GetExpressionTitle", &RunObjectInfo::expression_count},
};

std::string record_text(const AceRecord& record) {
    char head[64];
    std::snprintf(head, sizeof head, "id %d flags 0x%04X count %d", record.id, record.flags,
                  record.parameter_count);
    std::string text = head;
    if (record.parameter_count > 0) {
        text += " codes";
        for (int i = 0; i < record.parameter_count; ++i)
            text += " " + std::to_string(record.code(i));
        int nonzero = 0;
        for (int i = 0; i < record.parameter_count; ++i)
            nonzero += record.code(record.parameter_count + i) != 0;
        if (nonzero)
            text += " (" + std::to_string(nonzero) + " of the words after the codes are not 0)";
    }
    return text;
}

std::string text_of(ShowState& state, const char* name, int32_t code, int32_t parameter = -1) {
    wchar buffer[260] = {};
    if (parameter < 0)
        state.plugin.call(name, state.host.services(), code, buffer, 260);
    else
        state.plugin.call(name, state.host.services(), code, parameter, buffer, 260);
    buffer[259] = 0;
    return wide_text(buffer);
}

// The display string as the event editor shows it once the parameters are
// chosen: each %N the sample of parameter N; an expression as its title,
// its samples and the closing parenthesis.
std::string with_samples(const std::string& text, const std::vector<Sample>& samples,
                         bool expression) {
    if (expression) {
        std::string call = text;
        for (size_t i = 0; i < samples.size(); ++i)
            call += (i ? ", " : "") + sample_text(samples[i]);
        return call + ")";
    }
    std::string shown;
    for (size_t at = 0; at < text.size();) {
        size_t digits = at + 1;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
        const size_t number = text[at] == '%' && digits > at + 1 && digits - at < 6
                                  ? std::stoul(text.substr(at + 1, digits - at - 1))
                                  : samples.size();
        if (number < samples.size()) {
            shown += sample_text(samples[number]);
            at = digits;
        } else {
            shown += text[at++];
        }
    }
    return shown;
}

}  // namespace

void show_records(ShowState& state) {
    for (const Family& family : families) {
        print_section(family.title);
        if (!state.have_info) {
            print_item("no count without GetRunObjectInfos");
            continue;
        }
        const int count = state.info.*family.count;
        if (!exported(state, family.infos)) continue;
        if (count == 0) print_item("none");
        auto& shown = state.preview.records[static_cast<size_t>(family.kind)].emplace();
        for (int32_t id = 0; id < count; ++id) {
            const auto* record = reinterpret_cast<const AceRecord*>(
                state.plugin.call(family.infos, state.host.services(), id).value);
            print_item(record ? record_text(*record)
                              : "id " + std::to_string(id) + ": no record (null)");
            RecordLine line{id, {}, {}};
            if (state.plugin.address(family.string)) {
                line.text = text_of(state, family.string, id);
                print_field("  string", quoted(line.text));
            }
            if (family.expression_title && state.plugin.address(family.expression_title)) {
                line.text = text_of(state, family.expression_title, id);
                print_field("  title", quoted(line.text));
            }
            const std::vector<Sample> samples = samples_for(record, family.kind);
            for (size_t p = 0; p < samples.size() && state.plugin.address(family.prompt); ++p) {
                const std::string number = std::to_string(p);
                const std::string prompt =
                    text_of(state, family.prompt, id, static_cast<int32_t>(p));
                print_field("  parameter " + number, quoted(prompt));
                line.prompts.push_back(std::string(1, '%') + number + " " + prompt + ": " +
                                       sample_text(samples[p]));
            }
            line.text = with_samples(line.text, samples, family.kind == RoutineKind::expression);
            shown.push_back(std::move(line));
            report_message_boxes(state, 2);
        }
    }
}

}  // namespace plenar::cli
