// Builds an SDK object over a small description, as Init would, and reads
// back what the user was shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "language.h"
#include "records.h"
#include "sdk.h"
#ifndef _WIN32
#include "platform_recorder.h"
#include "settings_file_recorder.h"
#endif

namespace records_test {

inline json_value* Parse(const std::string& text) {
    char* copy = static_cast<char*>(malloc(text.size() + 1));
    memcpy(copy, text.c_str(), text.size() + 1);
    json_reader_settings settings = {};
    char error[256] = {};
    json_value* root = json_read(&settings, copy, text.size(), error, sizeof error);
    EXPECT_NE(root, nullptr) << error << "\n" << text;
    return root;
}

struct Box {
    std::string text;
    std::string caption;
    uint32_t style;
};

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
        sdk = new Kvor::SDK(nullptr, Parse(description));
        ASSERT_EQ(::SDK, sdk);
    }
    // The message boxes shown so far; the win32 build shows real ones (which
    // return at once under Wine) and cannot read them back.
    void ExpectBoxes(const std::vector<Box>& expected) {
#ifndef _WIN32
        const auto& boxes = Kvor::Platform::RecordedBoxes();
        ASSERT_EQ(boxes.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(boxes[i].text, expected[i].text) << "box " << i;
            EXPECT_EQ(boxes[i].caption, expected[i].caption) << "box " << i;
            EXPECT_EQ(boxes[i].style, expected[i].style) << "box " << i;
        }
#else
        (void)expected;
#endif
    }
    void ForgetBoxes() {
#ifndef _WIN32
        Kvor::Platform::ClearRecords();
#endif
    }
    Kvor::SDK* sdk = nullptr;
};

inline std::string TypeMessage(const std::string& name) {
    return "Error reading Parameter type \"" + name + "\"; text did not match anything.";
}

inline std::string ReturnMessage(const std::string& name) {
    return "Error reading expression return; returns '" + name + "', which is unrecognised.";
}

}  // namespace records_test
