// What SDK unit tests share: a description parsed as Init parses it, and the
// message boxes the user was shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "json/json.h"
#include "kvor/messages.h"
#include "platform/module.h"
#include "text/converters.h"
#ifndef _WIN32
#include "platform/platform_recorder.h"
#endif

namespace unit_support {

// The reader takes a malloc'd copy with its NUL, as it takes Init's. Null,
// with the reader's message in `error`, when the text is not JSON; the test
// fails then unless `may_fail`.
inline json_value* ParseDescription(const std::string& text,
                                    const json_reader_settings& settings = {},
                                    std::string* error = nullptr, bool may_fail = false) {
    char* copy = static_cast<char*>(malloc(text.size() + 1));
    memcpy(copy, text.c_str(), text.size() + 1);
    char message[256] = {};
    json_value* root = json_read(&settings, copy, text.size(), message, sizeof message);
    if (error) *error = message;
    if (!may_fail) {
        EXPECT_NE(root, nullptr) << message << "\n" << text;
    }
    return root;
}

struct ExpectedBox {
    std::string text;
    std::string caption;
    uint32_t style;
};

// A catalogued message as this library shows it; `kind` fills "{kind}".
template <typename... A>
ExpectedBox Shown(const Kvor::Message& message, A... arguments) {
    return {Kvor::MessageText(message, arguments...),
            Kvor::MessageCaption(message, Kvor::ModuleBaseName()), message.style};
}
template <typename... A>
ExpectedBox ShownAbout(const char* kind, const Kvor::Message& message, A... arguments) {
    return {Kvor::MessageText(message, arguments...),
            Kvor::MessageCaption(message, Kvor::ModuleBaseName(), kind), message.style};
}

// The boxes shown so far, in order. Only the native stand-in records them;
// the win32 build shows real ones (which return at once under Wine).
inline void ExpectRecordedBoxes(const std::vector<ExpectedBox>& expected) {
#ifndef _WIN32
    const auto& boxes = Kvor::Platform::RecordedBoxes();
    ASSERT_EQ(boxes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        // An ANSI box shows the UTF-8 text in the ANSI code page.
        EXPECT_EQ(boxes[i].text,
                  boxes[i].wide ? expected[i].text : Kvor::UTF8ToANSI(expected[i].text))
            << "box " << i;
        EXPECT_EQ(boxes[i].caption, expected[i].caption) << "box " << i;
        EXPECT_EQ(boxes[i].style, expected[i].style) << "box " << i;
    }
#else
    (void)expected;
#endif
}

}  // namespace unit_support
