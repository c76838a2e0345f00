// What the property sheet tests share: a sheet of every stored kind, the
// host's value objects, and the exports called as the host's editor calls
// them, following the block the host moves.
#pragma once

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "../support/stored_bytes.h"
#include "plugin_fixture.h"

namespace lumbra_test {

using plenar::sim::checked_call;
using plenar::sim::Convention;
using plenar::sim::utf8_from_wide;

constexpr const char* sheet = R"({"Identifier": "TEST", "UK English": {
    "About": {"Name": "Sheet"},
    "Properties": [
        {"Title": "Ticked", "Type": "Checkbox", "DefaultState": false},
        {"Title": "Name", "Type": "Editbox String", "DefaultState": "abc"},
        {"Title": "Count", "Type": "Editbox Number", "DefaultState": 5},
        {"Title": "Choice", "Type": "Combo Box", "Items": ["a", "b", "c"], "DefaultState": "b"},
        {"Title": "Tail", "Type": "Editbox String", "DefaultState": "tail"},
        {"Title": "Group", "Type": "Folder"},
        {"Type": "FolderEnd"}]}})";

enum : uint32_t { ticked = 0, name = 1, count = 2, choice = 3, tail = 4, group = 5 };
constexpr uint32_t Id(uint32_t index) { return plenar::property_id_base + index; }

using test_support::Bytes;
using test_support::Join;
using test_support::NumberBytes;
using test_support::TextBytes;

using plenar::sim::HostValue;
using HostData = plenar::sim::HostValueData;

inline plenar::Word Pointer(const void* pointer) { return plenar::sim::word(pointer); }

// The text a returned STRW value points to.
inline const wchar_t* TextOf(void* value) {
    return static_cast<const wchar_t*>(
        plenar::PropLayout<plenar::PropPointerLayout>(static_cast<plenar::PropValue*>(value)).data);
}

// The host's view of a returned value: the slots, called with the object in ECX.
class ValueSlots {
public:
    explicit ValueSlots(void* value) : value_(value) {}
    plenar::Word Call(int slot, std::initializer_list<plenar::Word> arguments = {}) {
        const void* const* table = *static_cast<const void* const* const*>(value_);
        std::vector<plenar::Word> words(arguments);
        auto result = checked_call(table[slot], words, Convention::thiscall, value_);
        result.bytes_expected = int32_t(4 * words.size());
        EXPECT_TRUE(result.balanced()) << "slot " << slot;
        return result.value;
    }

private:
    void* value_;
};

class SheetExports : public PluginCase {
protected:
    void Start(const std::string& description = sheet) {
        folder.write_file(L"Lumbra.json", description);
        PlaceAndLoad();
        ASSERT_EQ(Initialize(), 0);
        block = host.edit_data().create(28, 0x524D424C);
        Interception().clear();
        host.clear_calls();
    }
    static plenar::sim::Interception& Interception() {
        return plenar::sim::Interception::instance();
    }
    // Calls an export, checks its stack balance and follows the block the
    // host moved while the export ran.
    template <typename... A>
    plenar::Word Call(const char* name, A... arguments) {
        const size_t before = host.service_calls().size();
        auto result = plugin->call(name, arguments...);
        EXPECT_TRUE(result.balanced()) << name;
        for (size_t i = before; i < host.service_calls().size(); ++i) {
            const auto& call = host.service_calls()[i];
            if (call.code == plenar::service_resize_edit_data && call.result)
                block = reinterpret_cast<void*>(call.result);
        }
        return result.value;
    }
    void OpenSheet() { ASSERT_EQ(Call("GetProperties", host.services(), block, 0), 1u); }
    void Set(uint32_t id, HostValue& value) {
        Call("SetPropValue", host.services(), block, id, static_cast<plenar::PropValue*>(&value));
    }
    void* Get(uint32_t id) {
        return reinterpret_cast<void*>(Call("GetPropValue", host.services(), block, id));
    }
    // A value read back, freed through its slot 1 as the host frees it.
    std::string GetText(uint32_t id) {
        void* value = Get(id);
        if (!value) return "<null>";
        ValueSlots slots(value);
        EXPECT_EQ(slots.Call(4), uint32_t(plenar::prop_class_wstr));
        std::string converted = utf8_from_wide(TextOf(value));
        slots.Call(1);
        return converted;
    }
    uint32_t GetNumber(uint32_t id) {
        void* value = Get(id);
        if (!value) return 0xDEADBEEF;
        ValueSlots slots(value);
        EXPECT_EQ(slots.Call(4), uint32_t(plenar::prop_class_dword));
        const uint32_t number =
            plenar::PropLayout<plenar::PropNumberLayout>(static_cast<plenar::PropValue*>(value))
                .value;
        slots.Call(1);
        return number;
    }
    uint32_t GetCheck(uint32_t id) {
        return static_cast<uint32_t>(Call("GetPropCheck", host.services(), block, id));
    }
    void SetCheck(uint32_t id, int32_t state) {
        Call("SetPropCheck", host.services(), block, id, state);
    }
    const uint8_t* Data() const { return static_cast<const uint8_t*>(block); }
    uint32_t PropSize() const { return *reinterpret_cast<const uint32_t*>(Data() + 24); }
    Bytes Stored() const { return Bytes(Data() + 28, Data() + PropSize()); }
    Bytes Whole() { return Bytes(Data(), Data() + host.edit_data().length(block)); }
    size_t Calls(int32_t code) const { return host.count(code); }
    void ExpectNoFaults() {
        EXPECT_TRUE(host.faults().empty()) << host.faults().front();
        EXPECT_TRUE(plugin->faults().empty()) << plugin->faults().front();
    }

    void* block = nullptr;
};

inline const wchar_t wide_abc[] = L"abc";
inline const wchar_t wide_long[] = L"a longer name";

inline const Bytes sheet_defaults =
    Join({{0x00}, TextBytes("abc"), NumberBytes(5), NumberBytes(1), TextBytes("tail")});

}  // namespace lumbra_test
