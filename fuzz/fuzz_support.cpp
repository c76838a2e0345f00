#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "load/language.h"
#include "platform/platform_recorder.h"
#include "platform/settings_file_recorder.h"

namespace fuzz {

json_value* ParseDescription(const std::string& text) {
    // The reader takes a malloc'd, NUL-terminated block and frees it.
    char* block = static_cast<char*>(malloc(text.size() + 1));
    if (!block) return nullptr;
    memcpy(block, text.data(), text.size());
    block[text.size()] = 0;
    const json_reader_settings settings{};
    return json_read(&settings, block, text.size(), nullptr, 0);
}

void ResetProcessState() {
    ::SDK = nullptr;
    Kvor::CachedLanguage = &json_none;
    Kvor::SetSettingsFile(Kvor::SettingsRead::absent);
    Kvor::Platform::ClearRecords();
}

ScopedSDK::ScopedSDK(json_value* root) : sdk(nullptr) {
    // The settings file stand-in is left as the caller set it.
    ::SDK = nullptr;
    Kvor::CachedLanguage = &json_none;
    Kvor::Platform::ClearRecords();
    sdk = new Kvor::SDK(nullptr, root);
}

ScopedSDK::~ScopedSDK() {
    delete sdk;
    ResetProcessState();
}

void Require(bool condition, const char* what) {
    if (condition) return;
    fprintf(stderr, "fuzz invariant broken: %s\n", what);
    abort();
}

}  // namespace fuzz
