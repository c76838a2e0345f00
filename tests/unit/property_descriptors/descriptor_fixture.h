// Builds descriptors from a "Properties" array written in JSON and reads back
// the descriptors' texts and the message boxes shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kvor/messages.h"
#include "platform/platform_recorder.h"
#include "properties/descriptors.h"
#include "../support/description_support.h"

namespace property_descriptor_test {

using Box = unit_support::ExpectedBox;

// A descriptor's wide text as UTF-8 (the tests use ASCII and two-byte
// letters only); null stays distinguishable as "<null>".
inline std::string Narrow(const void* wide) {
    if (!wide) return "<null>";
    std::string text;
    for (auto* unit = static_cast<const char16_t*>(wide); *unit; ++unit) {
        if (*unit < 0x80) {
            text += static_cast<char>(*unit);
        } else {
            text += static_cast<char>(0xC0 | (*unit >> 6));
            text += static_cast<char>(0x80 | (*unit & 0x3F));
        }
    }
    return text;
}

class DescriptorTest : public ::testing::Test {
protected:
    void SetUp() override { Kvor::Platform::ClearRecords(); }
    void TearDown() override {
        Kvor::ReleasePropertyDescriptors(descriptors);
        json_release(root);
    }

    static json_value* Parse(const std::string& text) {
        return unit_support::ParseDescription(text);
    }

    // Builds from `properties`, the text of the "Properties" value.
    void Build(const std::string& properties) {
        root = Parse("{\"Properties\": " + properties + "}");
        ASSERT_NE(root, nullptr);
        descriptors = Kvor::BuildPropertyDescriptors((*root)["Properties"]);
        ASSERT_FALSE(descriptors.empty());
    }

    // Builds from one entry and expects exactly one descriptor for it.
    const plenar::PropertyDescriptor& BuildOne(const std::string& entry) {
        Build("[" + entry + "]");
        EXPECT_EQ(descriptors.size(), 2u) << entry;
        return descriptors.front();
    }

    // The boxes shown so far, every one of them narrow and plain (style 0).
    std::vector<Box> Boxes() const {
        std::vector<Box> boxes;
        for (const auto& box : Kvor::Platform::RecordedBoxes()) {
            EXPECT_FALSE(box.wide);
            boxes.push_back({box.text, box.caption, box.style});
        }
        return boxes;
    }

    void ExpectBoxes(const std::vector<Box>& expected) const {
        Boxes();
        unit_support::ExpectRecordedBoxes(expected);
    }

    json_value* root = nullptr;
    std::vector<plenar::PropertyDescriptor> descriptors;
};

inline Box BoxOf(const Kvor::Message& message, const char* argument = nullptr) {
    return argument ? unit_support::Shown(message, argument) : unit_support::Shown(message);
}
inline Box UnrecognisedBox(const std::string& type) {
    return BoxOf(Kvor::message::unknown_property_type, type.c_str());
}
inline Box RefusedBox(const std::string& type) {
    return BoxOf(Kvor::message::refused_property_type, type.c_str());
}
inline const Box custom_box = BoxOf(Kvor::message::custom_property);
inline const Box no_items_box = BoxOf(Kvor::message::combo_without_items);

}  // namespace property_descriptor_test
