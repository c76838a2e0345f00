#include "sdk.h"

#include "icon.h"
#include "language.h"
#include "records.h"
#include "report.h"

Kvor::SDK* SDK = nullptr;

namespace Kvor {

SDK::SDK(plenar::HostServices* services, json_value* root)
    : json(root), HostServices(services), Icon(nullptr) {
    Icon = LoadIcon(services);
    // The language choice and the record readers read the description
    // through ::SDK, so it must point here before the first of them runs.
    if (!::SDK) ::SDK = this;

    const json_value& language = CurrentLanguage();
    if (language.type != json_type_object) {
        Report("The JSON parser could not find the current language object.",
               "Tovrandi - Internal JSON error.", report_plain);
        return;
    }
    for (uint32_t i = 0; i < language["Actions"].length(); ++i) ReadActionInfo();
    for (uint32_t i = 0; i < language["Conditions"].length(); ++i) ReadConditionInfo();
    for (uint32_t i = 0; i < language["Expressions"].length(); ++i) ReadExpressionInfo();
}

SDK::~SDK() {
    json_release(json);
    DestroyIcon(Icon);
    FreeRecords(ExpressionInfos);
    FreeRecords(ConditionInfos);
    FreeRecords(ActionInfos);
}

}  // namespace Kvor
