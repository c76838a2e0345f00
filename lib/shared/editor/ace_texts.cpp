#include "editor/ace_texts.h"
#include "kvor/keys.h"

namespace Kvor {

namespace {
const json_value& Element(const json_value& language, AceKind kind, int32_t code) {
    return language[AceKindKey(kind)][code];
}
}  // namespace

const char* AceDisplayString(const json_value& language, AceKind kind, int32_t code) {
    return Element(language, kind, code)[key::entry::Title].text();
}

const char* AceParameterPrompt(const json_value& language, AceKind kind, int32_t code,
                               int32_t parameter) {
    return Element(language, kind, code)[key::entry::Parameters][parameter][key::parameter::prompt]
        .text();
}

std::string ExpressionTitle(const json_value& language, int32_t code) {
    std::string title = AceDisplayString(language, AceKind::expression, code);
    if (title.empty() || title.back() != '(') title += '(';
    return title;
}

}  // namespace Kvor
