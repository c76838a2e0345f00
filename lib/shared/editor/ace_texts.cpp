#include "editor/ace_texts.h"

namespace Kvor {

const char* AceFamilyKey(AceFamily family) {
    switch (family) {
    case AceFamily::action: return "Actions";
    case AceFamily::condition: return "Conditions";
    case AceFamily::expression: return "Expressions";
    }
    return "";
}

namespace {
const json_value& Element(const json_value& language, AceFamily family, int32_t code) {
    return language[AceFamilyKey(family)][code];
}
}  // namespace

const char* AceDisplayString(const json_value& language, AceFamily family, int32_t code) {
    return Element(language, family, code)["Title"].text();
}

const char* AceParameterPrompt(const json_value& language, AceFamily family, int32_t code,
                               int32_t parameter) {
    return Element(language, family, code)["Parameters"][parameter][1].text();
}

std::string ExpressionTitle(const json_value& language, int32_t code) {
    std::string title = AceDisplayString(language, AceFamily::expression, code);
    if (title.empty() || title.back() != '(') title += '(';
    return title;
}

}  // namespace Kvor
