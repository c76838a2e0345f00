// What the editor-side export tests share: the plug-in placed and loaded,
// an edit-data block, and calls checked against the host's conventions.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace lumbra_test {

using plenar::Rect;
using plenar::Surface;
using plenar::sim::opaque_pixel;
using plenar::sim::pixel_at;
using plenar::sim::utf8_from_wide;

// The part of the edit data these exports touch, after the host's header.
struct EditSize {
    plenar::EditDataHeader header;
    int16_t width;
    int16_t height;
};

constexpr uint32_t compatible_host = 0x02000000 | 254;

class EditorExports : public PluginCase {
protected:
    void Start() {
        PlaceAndLoad();
        ASSERT_EQ(Initialize(), 0);
    }
    // A description of our own beside the library, then started.
    void StartWith(const std::string& description) {
        folder.write_file(L"Lumbra.json", description);
        Start();
    }
    EditSize* NewEditData() {
        auto* data = static_cast<EditSize*>(host.edit_data().create(64));
        data->width = 7;
        data->height = 9;
        return data;
    }
    // Calls an export and checks it took its arguments off the stack as the host expects.
    template <typename... A>
    plenar::Word Call(const char* name, A... arguments) {
        auto result = plugin->call(name, arguments...);
        EXPECT_TRUE(result.balanced()) << name;
        return result.value;
    }
    const plenar::AceRecord* Record(const char* export_name, int32_t id) {
        return reinterpret_cast<const plenar::AceRecord*>(Call(export_name, host.services(), id));
    }
};

}  // namespace lumbra_test
