// The host services record: version routine, general service entry and the
// edit-data blocks it resizes.
#include <cstring>
#include "fake_plugin_fixture.h"

using namespace plenar;
using namespace plenar::sim;

namespace {

using ServiceTest = FakePluginTest;

TEST_F(ServiceTest, ResizeMovesTheBlockAndKeepsItsContent) {
    void* block = host.edit_data().create(32, 0x524D424C);
    std::memcpy(static_cast<uint8_t*>(block) + 20, "0123456789AB", 12);
    void* moved =
        reinterpret_cast<void*>(plugin->call("FakeResize", host.services(), block, 64).value);
    ASSERT_NE(moved, nullptr);
    EXPECT_NE(moved, block);
    EXPECT_FALSE(host.edit_data().owns(block));  // the old block is freed
    EXPECT_TRUE(host.edit_data().owns(moved));
    EXPECT_EQ(EditDataStore::size(moved), 64u);
    EXPECT_EQ(EditDataStore::header(moved)->identifier, 0x524D424Cu);
    EXPECT_EQ(std::memcmp(static_cast<uint8_t*>(moved) + 20, "0123456789AB", 12), 0);
    for (int i = 32; i < 64; ++i) EXPECT_EQ(static_cast<uint8_t*>(moved)[i], 0) << i;

    ASSERT_EQ(host.service_calls().size(), 1u);
    const ServiceCall& call = host.service_calls()[0];
    EXPECT_EQ(call.edit_data, block);
    EXPECT_EQ(call.code, service_resize_edit_data);
    EXPECT_EQ(call.b, 64);
    EXPECT_EQ(call.result, reinterpret_cast<intptr_t>(moved));
    EXPECT_TRUE(host.faults().empty());
}

TEST_F(ServiceTest, ShrinkingKeepsTheFront) {
    void* block = host.edit_data().create(40);
    static_cast<uint8_t*>(block)[21] = 0x77;
    void* moved =
        reinterpret_cast<void*>(plugin->call("FakeResize", host.services(), block, 24).value);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(EditDataStore::size(moved), 24u);
    EXPECT_EQ(static_cast<uint8_t*>(moved)[21], 0x77);
}

TEST_F(ServiceTest, RefusedResizeKeepsTheOldBlock) {
    host.refuse_resize(true);
    void* block = host.edit_data().create(32);
    EXPECT_EQ(plugin->call("FakeResize", host.services(), block, 64).value, 0u);
    EXPECT_TRUE(host.edit_data().owns(block));
    EXPECT_EQ(EditDataStore::size(block), 32u);
    EXPECT_EQ(host.count(service_resize_edit_data), 1u);
}

TEST_F(ServiceTest, ResizeOfABlockTheHostDidNotMakeIsAFault) {
    uint8_t foreign[32] = {32};
    EXPECT_EQ(plugin->call("FakeResize", host.services(), foreign, 64).value, 0u);
    ASSERT_EQ(host.faults().size(), 1u);
    EXPECT_NE(host.faults()[0].find("unknown edit data"), std::string::npos);
}

TEST_F(ServiceTest, ResizeBelowTheHeaderIsRefusedAsAFault) {
    void* block = host.edit_data().create(32);
    EXPECT_EQ(plugin->call("FakeResize", host.services(), block, 10).value, 0u);
    EXPECT_TRUE(host.edit_data().owns(block));
    EXPECT_EQ(host.faults().size(), 1u);
}

TEST_F(ServiceTest, OtherCodesAreRecordedAndAnswered) {
    void* block = host.edit_data().create(32);
    host.set_query_answer(1);
    EXPECT_EQ(host.services()->service(block, service_edit_data_notice, 0, 0, 0), 0);
    EXPECT_EQ(host.services()->service(nullptr, service_query_113, 0, 0, 0), 1);
    EXPECT_EQ(host.services()->service(block, service_insert_properties, 0x1000, 1, 1), 0);
    ASSERT_EQ(host.service_calls().size(), 3u);
    EXPECT_EQ(host.count(service_edit_data_notice), 1u);
    EXPECT_EQ(host.service_calls()[2].a, 0x1000);
    EXPECT_TRUE(host.faults().empty());
    host.services()->service(nullptr, 77, 0, 0, 0);
    EXPECT_EQ(host.faults().size(), 1u);
}

TEST_F(ServiceTest, VersionRoutineAnswersTheChosenWordOrIsAbsent) {
    EXPECT_EQ(plugin->call("Initialize", host.services(), 0).value, 0u);
    EXPECT_EQ(host.version_calls(), 1u);
    host.set_version(0x020000FD);
    EXPECT_EQ(host.services()->version(), 0x020000FDu);
    host.set_version(std::nullopt);
    EXPECT_EQ(host.services()->version, nullptr);
    EXPECT_EQ(plugin->call("Initialize", host.services(), 0).value, static_cast<uint32_t>(-1));
}

TEST_F(ServiceTest, RecordHasTheHostDefaults) {
    const HostServices* services = host.services();
    EXPECT_NE(services->open_application, 0u);
    EXPECT_EQ(services->editor_window, Host::default_editor_window);
    EXPECT_NE(services->image_import_context, nullptr);
    host.set_image_import(false);
    EXPECT_EQ(services->image_import_context, nullptr);
    host.set_open_application(false);
    EXPECT_EQ(services->open_application, 0u);
}

TEST(HostSimulator, IsOneAtATime) {
    Host first;
    EXPECT_EQ(Host::active(), &first);
    EXPECT_THROW(Host second, std::logic_error);
}

TEST(EditDataStore, NewBlocksAreZeroWithTheirSizeInTheHeader) {
    EditDataStore store;
    void* block = store.create(48, 7);
    EXPECT_EQ(EditDataStore::size(block), 48u);
    EXPECT_EQ(EditDataStore::header(block)->identifier, 7u);
    for (int i = 8; i < 48; ++i) EXPECT_EQ(static_cast<uint8_t*>(block)[i], 0);
    EXPECT_EQ(EditDataStore::size(store.create(3)), 20u);  // never below the header
    EXPECT_EQ(store.count(), 2u);
}

// A write just before or after a block is seen, on the block and on one
// resized away.
TEST(EditDataStore, WritesOutsideABlockAreSeen) {
    EditDataStore store;
    for (const int outside : {-1, 48}) {
        auto* block = static_cast<uint8_t*>(store.create(48));
        EXPECT_TRUE(store.intact(block));
        block[outside] = 0;
        EXPECT_FALSE(store.intact(block)) << outside;
        const size_t seen = store.damaged_guards();
        EXPECT_TRUE(store.intact(store.resize(block, 64)));
        EXPECT_EQ(store.damaged_guards(), seen + 1);
    }
    EXPECT_FALSE(store.intact(nullptr));
}

}  // namespace
