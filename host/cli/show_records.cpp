// Every action, condition and expression record with its display string and
// parameter prompts, as the host's event editor reads them.
#include "output.h"
#include "show_sections.h"

namespace plenar::cli {
namespace {

struct Family {
    const char* title;
    const char* infos;             // the record export
    const char* string;            // the display string export
    const char* prompt;            // the parameter prompt export
    const char* expression_title;  // null but for expressions
    uint16_t RunObjectInfo::*count;
};

const Family families[] = {
    {"Actions", "GetActionInfos", "GetActionString", "GetActionTitle", nullptr,
     &RunObjectInfo::action_count},
    {"Conditions", "GetConditionInfos", "GetConditionString", "GetConditionTitle", nullptr,
     &RunObjectInfo::condition_count},
    {"Expressions", "GetExpressionInfos", "GetExpressionString", "GetExpressionParam",
     "GetExpressionTitle", &RunObjectInfo::expression_count},
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
    return quoted_wide(buffer);
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
        for (int32_t id = 0; id < count; ++id) {
            const auto* record = reinterpret_cast<const AceRecord*>(
                state.plugin.call(family.infos, state.host.services(), id).value);
            print_item(record ? record_text(*record)
                              : "id " + std::to_string(id) + ": no record (null)");
            if (state.plugin.address(family.string))
                print_field("  string", text_of(state, family.string, id));
            if (family.expression_title && state.plugin.address(family.expression_title))
                print_field("  title", text_of(state, family.expression_title, id));
            const int parameters = record ? record->parameter_count : 0;
            for (int32_t p = 0; p < parameters && state.plugin.address(family.prompt); ++p)
                print_field("  parameter " + std::to_string(p),
                            text_of(state, family.prompt, id, p));
            report_message_boxes(state, 2);
        }
    }
}

}  // namespace plenar::cli
