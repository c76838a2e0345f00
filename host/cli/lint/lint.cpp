#include "lint.h"

#include "../checks/message_places.h"
#include "entries.h"
#include "keys.h"
#include "menus.h"

namespace plenar::cli {

void lint_description(std::string_view text, const JsonScan& scan, Diagnostics& found) {
    using namespace lint;
    Findings root_findings(found, {});
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        root_findings.add(Rule::byte_order_mark, 1, 1,
                          "the file begins with a UTF-8 byte-order mark (EF BB BF), which the "
                          "SDK's reader refuses: save it as UTF-8 without one",
                          {});
    if (!scan.root) return;
    check_root_keys(*scan.root, root_findings);
    const std::vector<const JsonMember*> sections = language_sections(*scan.root);
    for (const JsonMember* section : sections) {
        Findings findings(found, sections.size() > 1 ? section->name : std::string());
        check_section_keys(section->value, findings);
        check_menus(section->value, findings);
        check_display_strings(section->value, findings);
        check_property_count(section->value, findings);
    }
}

}  // namespace plenar::cli
