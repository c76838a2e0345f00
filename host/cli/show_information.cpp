// The object's about-box texts, help file, dependencies, capability answers
// and run-object information, as the host reads them.
#include <cstring>
#include "output.h"
#include "show_sections.h"

namespace plenar::cli {
namespace {

struct AboutTexts {
    wchar name[260], author[260], copyright[260], comment[260], url[260];
};

AboutTexts read_about(ShowState& state) {
    AboutTexts texts{};
    state.plugin.call("GetObjInfos", state.host.services(), nullptr, texts.name, texts.author,
                      texts.copyright, texts.comment, texts.url);
    return texts;
}

std::string routine_table(const void* const* table, uint16_t count) {
    if (!table) return "(null)";
    size_t entries = 0;
    while (entries < 4096 && table[entries]) ++entries;
    return hex_address(reinterpret_cast<uintptr_t>(table)) + ", " + std::to_string(entries) +
           " routines before its null" +
           (entries == count ? "" : " (count says " + std::to_string(count) + ")");
}

}  // namespace

void show_object_information(ShowState& state) {
    print_section("Object information");
    if (exported(state, "GetObjInfos")) {
        const AboutTexts open = read_about(state);
        state.host.set_open_application(false);
        const AboutTexts closed = read_about(state);
        state.host.set_open_application(true);
        print_field("name", quoted_wide(open.name));
        state.preview.name = wide_text(open.name);
        print_field("name (no app open)", quoted_wide(closed.name));
        print_field("author", quoted_wide(open.author));
        print_field("copyright", quoted_wide(open.copyright));
        print_field("comment", quoted_wide(open.comment));
        print_field("web address", quoted_wide(open.url));
        report_message_boxes(state);
    }
    if (exported(state, "GetHelpFileName")) {
        const sim::CallResult help = state.plugin.call("GetHelpFileName");
        print_field("help file", quoted_wide(reinterpret_cast<const void*>(help.value)));
    }
    if (exported(state, "GetDependencies")) {
        const sim::CallResult result = state.plugin.call("GetDependencies");
        const auto* table = reinterpret_cast<const wchar* const*>(result.value);
        std::string list;
        for (size_t i = 0; table && table[i] && i < 256; ++i)
            list += (list.empty() ? "" : ", ") + quoted_wide(table[i]);
        print_field("dependencies", !table ? "(null table)" : list.empty() ? "none" : list);
    }
    if (exported(state, "GetInfos")) {
        for (int32_t code = 0; code <= 8; ++code) {
            const uint32_t answer = state.plugin.call("GetInfos", code).number();
            print_field("GetInfos " + std::to_string(code),
                        padded(std::to_string(answer), 6) + hex_word(answer));
        }
    }
    report_message_boxes(state);
}

void show_run_object_information(ShowState& state) {
    print_section("Run-object information");
    if (!exported(state, "GetRunObjectInfos")) return;
    // A host record filled with a marker, so untouched fields show.
    std::memset(&state.info, 0xCD, sizeof state.info);
    const sim::CallResult result =
        state.plugin.call("GetRunObjectInfos", state.host.services(), &state.info);
    state.have_info = true;
    const RunObjectInfo& info = state.info;
    print_field("result", std::to_string(static_cast<int32_t>(result.value)));
    print_field("conditions", routine_table(reinterpret_cast<const void* const*>(info.conditions),
                                            info.condition_count));
    print_field("actions", routine_table(reinterpret_cast<const void* const*>(info.actions),
                                         info.action_count));
    print_field("expressions", routine_table(reinterpret_cast<const void* const*>(info.expressions),
                                             info.expression_count));
    print_field("counts", std::to_string(info.condition_count) + " conditions, " +
                              std::to_string(info.action_count) + " actions, " +
                              std::to_string(info.expression_count) + " expressions");
    print_field("edit data size", std::to_string(info.edit_data_size) + " bytes");
    print_field("flags", hex_word(info.flags));
    print_field("version", std::to_string(info.version));
    print_field("byte 25", std::to_string(info.reserved_25) +
                               (info.reserved_25 == 0xCD ? " (left as the host set it)" : ""));
    print_field("word 26", std::to_string(info.reserved_26));
    print_field("identifier", quoted(std::string(info.identifier, strnlen(info.identifier, 4))));
    print_field("word 32", std::to_string(info.reserved_32));
    report_message_boxes(state);
}

}  // namespace plenar::cli
