// Builds an SDK object over a small description, as Init would, and reads
// back what the user was shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../support/description_support.h"
#include "load/language.h"
#include "records/ace_records.h"
#include "sdk.h"
#ifndef _WIN32
#include "platform/platform_recorder.h"
#include "platform/settings_file_recorder.h"
#endif

namespace records_test {

using unit_support::ParseDescription;
using Box = unit_support::ExpectedBox;

class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SDK = nullptr;
        Kvor::CachedLanguage = &json_none;
#ifndef _WIN32
        Kvor::Platform::ClearRecords();
        Kvor::SetSettingsFile(Kvor::SettingsRead::absent);
#endif
    }
    void TearDown() override {
        delete sdk;
        ::SDK = nullptr;
        Kvor::CachedLanguage = &json_none;
        Kvor::AllocateRecordMemory = std::calloc;
    }
    // A description with one language whose members are `members`.
    void BuildLanguage(const std::string& members) {
        Build(R"({"Identifier": "TEST", "UK English": {"About": {"Name": "Test"}, )" + members +
              "}}");
    }
    void Build(const std::string& description) {
        sdk = new Kvor::SDK(nullptr, ParseDescription(description));
        ASSERT_EQ(::SDK, sdk);
    }
    // The message boxes shown so far; the win32 build shows real ones (which
    // return at once under Wine) and cannot read them back.
    void ExpectBoxes(const std::vector<Box>& expected) {
        unit_support::ExpectRecordedBoxes(expected);
    }
    void ForgetBoxes() {
#ifndef _WIN32
        Kvor::Platform::ClearRecords();
#endif
    }
    Kvor::SDK* sdk = nullptr;
};

inline Box TypeBox(const std::string& name) {
    return unit_support::Shown(Kvor::message::unknown_parameter_type, name.c_str());
}

inline Box ReturnBox(const std::string& name) {
    return unit_support::Shown(Kvor::message::unknown_return_type, name.c_str());
}

}  // namespace records_test
