// A host that passes odd values: null records and edit data, ids of -1,
// 32767 and beyond every table, header words that are no length. Nothing may
// crash, every call must keep the stack balanced, and each answer is the
// specified one or a null or zero one. Then many load/unload cycles, with
// the process's memory flat afterwards.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "plugin_fixture.h"

using lumbra_test::PluginCase;

namespace {

class HostileHost : public PluginCase {
protected:
    plenar::sim::CallResult Call(const char* name, std::initializer_list<plenar::Word> words) {
        std::vector<plenar::Word> arguments(words);
        auto result = plugin->call_words(name, arguments);
        EXPECT_TRUE(result.balanced()) << name;
        return result;
    }
};

const int32_t odd_ids[] = {-1, -32768, 2, 3, 32767, 65535, 0x7FFFFFFF};

TEST_F(HostileHost, EveryExportBeforeInitializeAnswersNothing) {
    PlaceAndLoad();
    auto* services = host.services();
    plenar::Word record = plenar::sim::word(services);
    plenar::wchar buffer[300] = {};
    plenar::Word text = plenar::sim::word(buffer);
    EXPECT_EQ(Call("GetActionInfos", {record, 0}).value, 0u);
    // A menu, if any, is empty and the host's to destroy.
    if (auto menu = reinterpret_cast<HMENU>(Call("GetActionMenu", {record, 0, 0}).value)) {
        EXPECT_EQ(GetMenuItemCount(menu), 0);
        DestroyMenu(menu);
    }
    Call("GetActionString", {record, 0, text, 300});
    EXPECT_EQ(buffer[0], 0);
    buffer[0] = 'x';
    Call("GetObjInfos", {record, 0, text, text, text, text, text});
    EXPECT_EQ(buffer[0], 0);  // an empty text, not what the host left there
    EXPECT_EQ(Call("GetRunObjectInfos", {record, 0}).value, 0u);
    EXPECT_EQ(Call("GetProperties", {record, 0, 0}).value, 0u);
    EXPECT_EQ(Call("GetPropValue", {record, 0, 0x80000}).value, 0u);
    EXPECT_EQ(Call("CreateRunObject", {0, 0, 0}).value, static_cast<uint32_t>(-1));
    // Only the language lookup may tell the host it called too early.
    for (const auto& box : Boxes())
        lumbra_test::ExpectShown(box, lumbra_test::Shown(Kvor::message::language_too_early));
}

TEST_F(HostileHost, NullRecordsAndEditDataAreRefusedQuietly) {
    PlaceAndLoad();
    ASSERT_EQ(Initialize(), 0);
    plenar::wchar buffer[300];
    plenar::Word text = plenar::sim::word(buffer);
    EXPECT_EQ(Call("CreateObject", {0, 0, 0}).value, static_cast<uint32_t>(-1));
    EXPECT_EQ(Call("LoadObject", {0, 0, 0, 0}).value, 0u);
    EXPECT_EQ(Call("SetEditSize", {0, 0, 10, 10}).value, 0u);
    Call("GetObjectRect", {0, 0, 0, 0});
    Call("EditorDisplay", {0, 0, 0, 0, 0});
    EXPECT_EQ(Call("MakeIconEx", {0, 0, 0, 0, 0}).value, 0u);
    EXPECT_EQ(Call("GetActionInfos", {0, 0}).value, 0u);
    EXPECT_EQ(Call("GetConditionMenu", {0, 0, 0}).value, 0u);
    buffer[0] = 'x';
    Call("GetConditionString", {0, 0, text, 300});
    EXPECT_EQ(buffer[0], 'x');  // an incompatible host's buffer stays untouched
    Call("GetObjInfos", {0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Call("GetProperties", {0, 0, 0}).value, 0u);
    EXPECT_EQ(Call("GetPropValue", {0, 0, 0x80000}).value, 0u);
    EXPECT_EQ(Call("GetPropCheck", {0, 0, 0x80000}).value, 0u);
    Call("SetPropCheck", {0, 0, 0x80000, 1});
    Call("SetPropValue", {0, 0, 0x80000, 0});
    EXPECT_EQ(Call("GetRunObjectInfos", {0, 0}).value, 0u);
    EXPECT_EQ(Call("CreateRunObject", {0, 0, 0}).value, static_cast<uint32_t>(-1));
    EXPECT_EQ(Call("DestroyRunObject", {0, 0}).value, 0u);
    EXPECT_EQ(Call("HandleRunObject", {0}).value, 0u);
    EXPECT_EQ(Call("PauseRunObject", {0}).value, 0u);
    EXPECT_EQ(Call("GetDebugTree", {0}).value, 0u);
    Call("GetDebugItem", {0, 0, 0});
    Call("EditDebugItem", {0, 0});
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(HostileHost, OddIdsAndCodesGiveNullsAndEmptyTexts) {
    PlaceAndLoad();
    ASSERT_EQ(Initialize(), 0);
    plenar::Word record = plenar::sim::word(host.services());
    for (int32_t id : odd_ids) {
        SCOPED_TRACE(id);
        uint32_t code = static_cast<uint32_t>(id);
        // 65535 reads as the 16-bit code -1; 0x7FFFFFFF as -1 as well.
        EXPECT_EQ(Call("GetActionInfos", {record, code}).value, 0u);
        EXPECT_EQ(Call("GetConditionInfos", {record, code}).value, 0u);
        EXPECT_EQ(Call("GetExpressionInfos", {record, code}).value, 0u);
        for (const char* name : {"GetActionString", "GetConditionString", "GetExpressionString",
                                 "GetExpressionTitle"}) {
            plenar::wchar buffer[80] = {'x'};
            Call(name, {record, code, plenar::sim::word(buffer), 80});
            if (std::string(name) != "GetExpressionTitle") {
                EXPECT_EQ(buffer[0], 0) << name;
            }
        }
        for (const char* name : {"GetActionTitle", "GetConditionTitle", "GetExpressionParam"}) {
            plenar::wchar buffer[80] = {'x'};
            Call(name, {record, 0, code, plenar::sim::word(buffer), 80});
            EXPECT_EQ(buffer[0], 0) << name;
            Call(name, {record, code, 0, plenar::sim::word(buffer), 80});
            EXPECT_EQ(buffer[0], 0) << name;
        }
        // Buffer sizes that are zero or negative write nothing.
        plenar::wchar untouched[4] = {'x', 'y', 'z', 0};
        Call("GetActionString", {record, 0, plenar::sim::word(untouched), code});
        if (static_cast<int16_t>(code) <= 0) {
            EXPECT_EQ(untouched[0], 'x');
        }
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(HostileHost, OddIdsAtRunTimeReachTheFallbacks) {
    PlaceAndLoad();
    ASSERT_EQ(Initialize(), 0);
    plenar::RunObjectInfo info{};
    Call("GetRunObjectInfos", {plenar::sim::word(host.services()), plenar::sim::word(&info)});
    auto* run = host.run_time().create_run_data(sizeof(plenar::RunObjectHeader) + sizeof(void*));
    ASSERT_EQ(Call("CreateRunObject", {plenar::sim::word(run), 0, 0}).value, 0u);
    for (int32_t id : odd_ids) {
        run->current_id = id;
        plenar::Word words[] = {plenar::sim::word(run), 1, 2};
        using plenar::sim::Convention;
        auto action = plenar::sim::checked_call(reinterpret_cast<const void*>(info.actions[0]),
                                                words, Convention::stdcall);
        auto condition = plenar::sim::checked_call(
            reinterpret_cast<const void*>(info.conditions[0]), words, Convention::stdcall);
        auto expression = plenar::sim::checked_call(
            reinterpret_cast<const void*>(info.expressions[0]), {words, 2}, Convention::stdcall);
        EXPECT_TRUE(action.balanced() && condition.balanced() && expression.balanced());
        EXPECT_EQ(action.value, 0u);
        EXPECT_EQ(condition.value, 0u);
        EXPECT_EQ(expression.value, 0u);
        plenar::wchar item[256] = {'x'};
        Call("GetDebugItem",
             {plenar::sim::word(item), plenar::sim::word(run), static_cast<uint32_t>(id)});
        EXPECT_EQ(item[0], 0);
    }
    // Every odd debugger id is reported, never thrown into the host.
    EXPECT_EQ(Boxes().size(), std::size(odd_ids));
    EXPECT_EQ(host.run_time().calls().size(), 0u);
    Call("DestroyRunObject", {plenar::sim::word(run), 0});
}

// A header word below the 28 bytes every block of the object has is no
// length; the calls read the block's own fields and stay inside it.
TEST_F(HostileHost, PropertyCallsOnBlocksWhoseHeaderWordIsNoLength) {
    PlaceAndLoad();
    ASSERT_EQ(Initialize(), 0);
    plenar::Word record = plenar::sim::word(host.services());
    for (uint32_t word : {0u, 20u, 24u, 27u}) {
        SCOPED_TRACE(word);
        void* block = host.edit_data().create(28);
        plenar::sim::EditDataStore::header(block)->size = word;
        EXPECT_EQ(Call("GetPropValue", {record, plenar::sim::word(block), 0x80001}).value, 0u);
        EXPECT_EQ(Call("GetPropCheck", {record, plenar::sim::word(block), 0x80000}).value, 0u);
        EXPECT_EQ(host.edit_data().length(block), 28u);
        host.edit_data().release(block);
    }
}

// A host short of memory: the plug-in's n-th heap request is refused, for
// every n a whole Initialize makes. Initialize answers -1 with a box about
// the memory (or finishes, where only what it can go without was refused)
// and leaves no object behind; the same loaded library then initialises and
// answers as usual.
TEST_F(HostileHost, OutOfMemoryAnywhereInInitialize) {
    const std::wstring path = Place();
    auto& intercepted = plenar::sim::Interception::instance();
    auto name = [&](plenar::sim::Plugin& loaded) {
        // Filled first, so that a buffer left unwritten shows.
        plenar::wchar texts[5][260];
        for (auto& text : texts) std::fill(std::begin(text), std::end(text), plenar::wchar('#'));
        host.set_open_application(true);
        loaded.call("GetObjInfos", host.services(), nullptr, texts[0], texts[1], texts[2], texts[3],
                    texts[4]);
        return plenar::sim::utf8_from_wide(texts[0]);
    };
    size_t whole = 0;
    {
        plenar::sim::Plugin loaded(path);
        ASSERT_GT(intercepted.patch_heap(loaded.module()), 0);
        const size_t before = intercepted.heap_requests();
        ASSERT_EQ(loaded.call("Initialize", host.services(), 0).value, 0u);
        whole = intercepted.heap_requests() - before;
    }
    ASSERT_GT(whole, 10u);
    for (size_t request = 1; request <= whole; ++request) {
        SCOPED_TRACE(request);
        plenar::sim::Plugin loaded(path);
        intercepted.patch_heap(loaded.module());
        intercepted.clear();
        intercepted.refuse_heap_request(request);
        const auto result = loaded.call("Initialize", host.services(), 0);
        intercepted.refuse_heap_request(0);
        EXPECT_TRUE(result.balanced());
        if (static_cast<int32_t>(result.value) != 0) {
            EXPECT_EQ(static_cast<int32_t>(result.value), -1);
            ASSERT_FALSE(Boxes().empty());
            const auto& last = Boxes().back();
            EXPECT_TRUE(last.text == Kvor::message::out_of_memory.text ||
                        last.text == Kvor::message::description_no_memory.text ||
                        last.caption ==
                            Kvor::MessageCaption(Kvor::message::description_not_json, "Lumbra"))
                << last.caption << ": " << last.text;
            EXPECT_EQ(name(loaded), "");
        }
        EXPECT_EQ(loaded.call("Initialize", host.services(), 0).value, 0u);
        EXPECT_EQ(name(loaded), "Lumbra");
    }
}

// Out of memory in an export that allocates: its failure value and the
// out-of-memory box, nothing handed over half made; with memory back the
// same call works.
TEST_F(HostileHost, OutOfMemoryInAnExportGivesItsFailureValueAndABox) {
    PlaceAndLoad();
    ASSERT_EQ(Initialize(), 0);
    auto& intercepted = plenar::sim::Interception::instance();
    ASSERT_GT(intercepted.patch_heap(plugin->module()), 0);
    void* block = host.edit_data().create(28 + 1 + 37 + 1);
    Call("GetProperties", {plenar::sim::word(host.services()), plenar::sim::word(block), 0});
    for (const auto& call : host.service_calls())
        if (call.code == plenar::service_resize_edit_data && call.result)
            block = reinterpret_cast<void*>(call.result);
    auto* run = host.run_time().create_run_data(sizeof(plenar::RunObjectHeader) + sizeof(void*));

    const plenar::Word record = plenar::sim::word(host.services());
    const struct {
        const char* name;
        std::vector<plenar::Word> arguments;
        plenar::Word failure;
        std::function<void(plenar::Word)> release;  // what a good answer made
    } rows[] = {
        {"GetPropValue",
         {record, plenar::sim::word(block), 0x80001},
         0,
         [](plenar::Word value) { reinterpret_cast<plenar::PropValue*>(value)->Delete(); }},
        {"CreateRunObject",
         {plenar::sim::word(run), 0, 0},
         static_cast<uint32_t>(-1),
         [&](plenar::Word) {
             Call("DestroyRunObject", {plenar::sim::word(run), 0});
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        intercepted.clear();
        intercepted.refuse_heap_request(1);
        const auto refused = plugin->call_words(row.name, row.arguments);
        intercepted.refuse_heap_request(0);
        EXPECT_TRUE(refused.balanced());
        EXPECT_EQ(refused.value, row.failure);
        ASSERT_EQ(Boxes().size(), 1u);
        lumbra_test::ExpectShown(Boxes()[0], lumbra_test::Shown(Kvor::message::out_of_memory));
        EXPECT_EQ(plenar::sim::RunTime::extension_of(run), nullptr);
        const plenar::Word answer = plugin->call_words(row.name, row.arguments).value;
        ASSERT_NE(answer, row.failure);
        row.release(answer);
    }
    host.edit_data().release(block);
}

// The soak: load, Initialize, instances, the property sheet, Free, unload,
// many times; memory afterwards stays near where the warm-up left it.
size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PrivateUsage;
}

int SoakCycles() {
    const char* cycles = getenv("LUMBRA_SOAK_CYCLES");
    return cycles ? atoi(cycles) : 100;
}

TEST_F(HostileHost, LoadUnloadCyclesKeepMemoryFlat) {
    std::wstring path = Place();
    auto cycle = [&] {
        plenar::sim::Plugin loaded(path);
        ASSERT_EQ(loaded.call("Initialize", host.services(), 0).value, 0u);
        plenar::RunObjectInfo info{};
        loaded.call("GetRunObjectInfos", host.services(), &info);
        void* block = host.edit_data().create(info.edit_data_size);
        loaded.call("CreateObject", host.services(), nullptr, block);
        loaded.call("GetProperties", host.services(), block, 0);
        // Building the storage had the host resize (and so move) the block.
        for (const auto& call : host.service_calls())
            if (call.code == plenar::service_resize_edit_data && call.result)
                block = reinterpret_cast<void*>(call.result);
        host.clear_calls();
        auto value = loaded.call("GetPropValue", host.services(), block, 0x80001);
        ASSERT_NE(value.value, 0u);
        reinterpret_cast<plenar::PropValue*>(value.value)->Delete();
        auto menu = loaded.call("GetActionMenu", host.services(), nullptr, nullptr);
        if (menu.value) DestroyMenu(reinterpret_cast<HMENU>(menu.value));
        for (int instance = 0; instance < 3; ++instance) {
            auto* run =
                host.run_time().create_run_data(sizeof(plenar::RunObjectHeader) + sizeof(void*));
            loaded.call("CreateRunObject", run, nullptr, nullptr);
            loaded.call("DestroyRunObject", run, 0);
        }
        loaded.call("Free", host.services());
        host.edit_data().release(block);
    };
    for (int i = 0; i < 20; ++i) cycle();
    size_t warm = PrivateBytes();
    int cycles = SoakCycles();
    for (int i = 0; i < cycles; ++i) cycle();
    size_t after = PrivateBytes();
    // A leak of even 1 KB a cycle would show over the cycles.
    EXPECT_LT(after, warm + 256 * 1024) << cycles << " cycles: " << warm << " -> " << after;
    for (const auto& box : Boxes()) ADD_FAILURE() << box.caption << ": " << box.text;
}

}  // namespace
