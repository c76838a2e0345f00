// A description through the whole SDK construction: records, fetch plans,
// property descriptors, the editor's texts, the language choice (with an
// optional settings file) and the edit-time data size, each checked against
// what the host and dispatch rely on.
#include <cstring>
#include <string>

#include "editor/ace_texts.h"
#include "properties/editdata_size.h"
#include "fuzz_support.h"
#include "load/language.h"
#include "records/ace_records.h"
#include "platform/settings_file_recorder.h"

namespace {

// Text after this line is the settings file, Tovrandi.ini.
constexpr char settings_marker[] = "\n#Tovrandi.ini\n";

void CheckRecords(Kvor::AceKind kind, const std::vector<Kvor::ACEInfo*>& records,
                  const std::vector<Kvor::FetchPlan>& plans, const json_value& language) {
    fuzz::Require(plans.size() == records.size(), "one fetch plan per record");
    for (size_t id = 0; id < records.size(); ++id) {
        const Kvor::ACEInfo* record = records[id];
        fuzz::Require(record != nullptr, "every id has a record or a placeholder");
        fuzz::Require(record->ID == static_cast<int16_t>(id), "a record carries its own id");
        fuzz::Require(record->NumOfParams >= 0 && record->NumOfParams <= Kvor::MaxParameters,
                      "a record's parameter count is within the limit");
        for (int i = 0; i < record->NumOfParams; ++i)
            fuzz::Require(record->Parameter[record->NumOfParams + i] == 0,
                          "the words after the codes are zero");
        fuzz::Require(plans[id].Count <= record->NumOfParams,
                      "a plan fetches no more than declared");
        const auto code = static_cast<int32_t>(id);
        fuzz::Require(Kvor::AceDisplayString(language, kind, code) != nullptr,
                      "titles are never null");
        for (int32_t p = -1; p <= record->NumOfParams; ++p)
            fuzz::Require(Kvor::AceParameterPrompt(language, kind, code, p) != nullptr,
                          "prompts are never null");
        if (kind == Kvor::AceKind::expression) {
            const std::string title = Kvor::ExpressionTitle(language, code);
            fuzz::Require(!title.empty() && title.back() == '(', "an expression title ends in (");
        }
    }
    const auto past = static_cast<int32_t>(records.size());
    fuzz::Require(*Kvor::AceDisplayString(language, kind, past) == 0, "no title past the end");
}

void CheckProperties(const Kvor::SDK& sdk, const json_value& properties) {
    if (sdk.EdittimeProperties.empty()) return;
    const plenar::PropertyDescriptor& end = sdk.EdittimeProperties.back();
    fuzz::Require(end.id == 0 && end.type == 0 && end.title == nullptr, "the sheet ends in zeros");
    const uint32_t entries = properties.type == json_type_array ? properties.length() : 0;
    for (size_t i = 0; i + 1 < sdk.EdittimeProperties.size(); ++i) {
        const uint32_t id = sdk.EdittimeProperties[i].id;
        fuzz::Require(
            id == plenar::property_folder_end_id ||
                (id >= plenar::property_id_base && id - plenar::property_id_base < entries),
            "a descriptor's id names its own entry");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string settings;
    bool with_settings = false;
    if (size_t at = text.find(settings_marker); at != std::string::npos) {
        settings = text.substr(at + sizeof settings_marker - 1);
        text.resize(at);
        with_settings = true;
    }
    json_value* root = fuzz::ParseDescription(text);
    if (!root) return 0;
    fuzz::ResetProcessState();
    if (with_settings) Kvor::SetSettingsFile(Kvor::SettingsRead::read, settings);
    {
        fuzz::ScopedSDK sdk(root);
        const json_value& language = Kvor::CurrentLanguage();
        bool found_key = false;
        (void)Kvor::LanguageFromSettings(settings, *root, found_key);
        (void)Kvor::DefaultLanguageIndex();

        CheckRecords(Kvor::AceKind::action, sdk->Actions.Records, sdk->Actions.Plans, language);
        CheckRecords(Kvor::AceKind::condition, sdk->Conditions.Records, sdk->Conditions.Plans,
                     language);
        CheckRecords(Kvor::AceKind::expression, sdk->Expressions.Records, sdk->Expressions.Plans,
                     language);
        fuzz::Require(
            Kvor::ActionInfoAt(-1) == nullptr &&
                Kvor::ActionInfoAt(static_cast<int>(sdk->Actions.Records.size())) == nullptr,
            "no record outside the ids");
        if (!sdk->Actions.Routines.empty())
            fuzz::Require(sdk->Actions.Routines.size() == sdk->Actions.Records.size() + 1 &&
                              sdk->Actions.Routines.back() == nullptr,
                          "the routine table has one entry per id, then null");
        const json_value& properties = language["Properties"];
        CheckProperties(*sdk, properties);
        const uint32_t bytes = Kvor::ComputeEditDataSize(properties, false);
        fuzz::Require(bytes >= 28, "the edit-time data holds at least its header");
    }
    return 0;
}
