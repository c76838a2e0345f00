// The item tree the host reads, and the limit on the number of items.
#include <cstring>
#include <vector>

#include "debugger_fixture.h"
#include "plenar/records.h"

namespace debugger_test {
namespace {

std::vector<uint16_t> TreeOf(const Kvor::Debugger& debugger) {
    std::vector<uint16_t> entries;
    const uint16_t* entry = debugger.Tree();
    while (*entry != plenar::debug_tree_end) entries.push_back(*entry++);
    return entries;
}

TEST_F(DebuggerTest, FreshTreeHoldsOnlyTheTerminator) {
    EXPECT_EQ(debugger.Tree()[0], 0xFFFF);
    EXPECT_TRUE(debugger.Items().empty());
}

TEST_F(DebuggerTest, TreeListsIdsInOrderWithEditableBit) {
    debugger.AddTextItem(Read, Write, 500);
    debugger.AddTextItem(Read, nullptr, 500);
    debugger.AddTextItem(nullptr, Write, 0);
    debugger.AddTextItem(nullptr, nullptr, 0);
    EXPECT_EQ(TreeOf(debugger), (std::vector<uint16_t>{0x80, 0x01, 0x82, 0x03}));
    EXPECT_EQ(debugger.Tree()[4], 0xFFFF);
}

TEST_F(DebuggerTest, NewItemStartsEmptyWithRoomForAHostText) {
    debugger.AddTextItem(Read, Write, 500);
    const Kvor::DebugItem& item = debugger.Items()[0];
    EXPECT_TRUE(item.text.empty());
    EXPECT_GE(item.text.capacity(), 256u);
    EXPECT_EQ(item.refresh_period, 500u);
    EXPECT_EQ(item.next_refresh, start + 500);
    EXPECT_EQ(item.reader, &Read);
    EXPECT_EQ(item.writer, &Write);
}

TEST_F(DebuggerTest, ItemWithoutPeriodNeverWaits) {
    debugger.AddTextItem(Read, nullptr, 0);
    EXPECT_EQ(debugger.Items()[0].next_refresh, 0xFFFFFFFFu);
}

TEST_F(DebuggerTest, TreePointerStaysPutAcrossAllAdditions) {
    const uint16_t* tree = debugger.Tree();
    for (int i = 0; i < 127; ++i) {
        debugger.AddTextItem(Read, i % 2 ? Write : nullptr, 0);
        ASSERT_EQ(debugger.Tree(), tree) << "after item " << i;
    }
    const std::vector<uint16_t> entries = TreeOf(debugger);
    ASSERT_EQ(entries.size(), 127u);
    for (uint16_t id = 0; id < 127; ++id)
        EXPECT_EQ(entries[id], id % 2 ? (id | 0x80) : id) << "id " << id;
}

TEST_F(DebuggerTest, The128thItemIsRefusedAndChangesNothing) {
    for (int i = 0; i < 127; ++i) debugger.AddTextItem(Read, Write, 0);
    const std::vector<uint16_t> before = TreeOf(debugger);
    try {
        debugger.AddTextItem(Read, nullptr, 0);
        FAIL() << "a 128th item was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), Kvor::message::debugger_too_many_items);
    }
    EXPECT_EQ(debugger.Items().size(), 127u);
    EXPECT_EQ(TreeOf(debugger), before);
    EXPECT_EQ(debugger.Tree()[127], 0xFFFF);
}

}  // namespace
}  // namespace debugger_test
