// A copy of the plug-in in a fresh folder, loaded as the host loads it, with
// its message boxes and debugger output recorded by the simulator.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "kvor/messages.h"
#include "plenar/text.h"
#include "plenar_sim/sim.h"

namespace lumbra_test {

// A catalogued message as the plug-in shows it: its text, and its caption
// with the library's name ("Lumbra" unless the copy is named otherwise).
struct ShownMessage {
    std::string text;
    std::string caption;
    uint32_t style;
};
template <typename... A>
ShownMessage Shown(const Kvor::Message& message, A... arguments) {
    return {Kvor::MessageText(message, arguments...), Kvor::MessageCaption(message, "Lumbra"),
            message.style};
}
template <typename... A>
ShownMessage ShownAbout(const char* kind, const Kvor::Message& message, A... arguments) {
    return {Kvor::MessageText(message, arguments...), Kvor::MessageCaption(message, "Lumbra", kind),
            message.style};
}
inline void ExpectShown(const plenar::sim::MessageBoxCall& box, const ShownMessage& expected) {
    EXPECT_EQ(box.text, expected.text);
    EXPECT_EQ(box.caption, expected.caption);
    EXPECT_EQ(box.style, expected.style);
    EXPECT_EQ(box.owner, 0u);
}

// The plug-in as built, beside the test programs.
inline std::wstring BuiltPlugin() { return plenar::sim::program_folder() + L"\\Lumbra.pvx"; }

class PluginCase : public ::testing::Test {
protected:
    void SetUp() override { plenar::sim::Interception::instance().clear(); }

    // Copies the plug-in into the case's folder (under `name`), with files
    // written beside it first.
    std::wstring Place(const std::wstring& name = L"Lumbra.pvx") {
        return folder.place_copy(BuiltPlugin(), name);
    }
    plenar::sim::Plugin& Load(const std::wstring& path) {
        plugin = std::make_unique<plenar::sim::Plugin>(path);
        return *plugin;
    }
    plenar::sim::Plugin& PlaceAndLoad() { return Load(Place()); }

    int32_t Initialize() {
        auto result = plugin->call("Initialize", host.services(), 0);
        EXPECT_TRUE(result.balanced());
        return static_cast<int32_t>(result.value);
    }
    const std::vector<plenar::sim::MessageBoxCall>& Boxes() {
        return plenar::sim::Interception::instance().message_boxes();
    }

    // The about name from the current language (an application is open).
    std::string CurrentName() {
        host.set_open_application(true);
        return ObjectInfo(0);
    }
    // One of GetObjInfos' five texts: 0 name, 1 author, 2 copyright, 3 comment, 4 URL.
    // The buffers start full of a sentinel, so a text left unwritten shows.
    std::string ObjectInfo(int which) {
        plenar::wchar texts[5][260];
        for (auto& text : texts) {
            std::fill(std::begin(text), std::end(text), plenar::wchar('#'));
            text[259] = 0;
        }
        plugin->call("GetObjInfos", host.services(), nullptr, texts[0], texts[1], texts[2],
                     texts[3], texts[4]);
        return plenar::sim::utf8_from_wide(texts[which]);
    }

    plenar::sim::TempFolder folder;
    plenar::sim::Host host;
    std::unique_ptr<plenar::sim::Plugin> plugin;
};

// A description whose one language is named `name` (its About "Name").
inline std::string Description(const std::string& name) {
    return R"({"Identifier": "TEST", "Dependencies": [], ")" + name + R"(": {"About": {"Name": ")" +
           name + R"("}}})";
}

}  // namespace lumbra_test
