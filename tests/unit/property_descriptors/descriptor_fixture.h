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

namespace property_descriptor_test {

struct Box {
    std::string text;
    std::string caption;
};

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
        char* copy = static_cast<char*>(std::malloc(text.size() + 1));
        std::memcpy(copy, text.c_str(), text.size() + 1);
        json_reader_settings settings = {};
        char error[256] = {};
        json_value* parsed = json_read(&settings, copy, text.size(), error, sizeof error);
        EXPECT_NE(parsed, nullptr) << error << "\n" << text;
        return parsed;
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

    // The boxes shown so far, every one of them plain (style 0).
    std::vector<Box> Boxes() const {
        std::vector<Box> boxes;
        for (const auto& box : Kvor::Platform::RecordedBoxes()) {
            EXPECT_FALSE(box.wide);
            EXPECT_EQ(box.style, 0u) << box.text;
            boxes.push_back({box.text, box.caption});
        }
        return boxes;
    }

    void ExpectBoxes(const std::vector<Box>& expected) const {
        const std::vector<Box> boxes = Boxes();
        ASSERT_EQ(boxes.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(boxes[i].text, expected[i].text) << "box " << i;
            EXPECT_EQ(boxes[i].caption, expected[i].caption) << "box " << i;
        }
    }

    json_value* root = nullptr;
    std::vector<plenar::PropertyDescriptor> descriptors;
};

inline Box BoxOf(const Kvor::Message& message, const char* argument = nullptr) {
    return {argument ? Kvor::MessageText(message, argument) : Kvor::MessageText(message),
            message.caption};
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
