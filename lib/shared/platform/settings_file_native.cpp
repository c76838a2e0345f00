// Native stand-in: the settings file is whatever the tests set.
#include "platform/settings_file.h"
#include "platform/settings_file_recorder.h"

namespace Kvor {

static SettingsRead stand_in_state = SettingsRead::absent;
static std::string stand_in_text;
static int stand_in_reads = 0;

void SetSettingsFile(SettingsRead state, const std::string& text) {
    stand_in_state = state;
    stand_in_text = text;
}

int SettingsFileReads() { return stand_in_reads; }

SettingsRead ReadSettingsFile(std::string& text) {
    ++stand_in_reads;
    if (stand_in_state == SettingsRead::read) text = stand_in_text;
    return stand_in_state;
}

}  // namespace Kvor
