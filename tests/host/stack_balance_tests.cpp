// Calls through the exports measure the argument bytes the callee removed,
// so an export with the wrong calling convention is reported.
#include <cstring>
#include "fake_plugin_fixture.h"

using namespace plenar::sim;

namespace {

using StackBalanceTest = FakePluginTest;

// Where nothing can be measured, a check of the measure is skipped, not passed.
#define SKIP_UNLESS_STACK_MEASURED() \
    if (!stack_measured) GTEST_SKIP() << stack_not_measured_reason

int32_t __cdecl add_cdecl(int32_t a, int32_t b) { return a + b; }
int32_t __stdcall add_stdcall(int32_t a, int32_t b) { return a + b; }

struct Counter {
    int32_t value = 40;
    int32_t __thiscall add(int32_t amount) { return value += amount; }
};

TEST_F(StackBalanceTest, AStdcallExportIsBalanced) {
    SKIP_UNLESS_STACK_MEASURED();
    const CallResult result = plugin->call("Initialize", host.services(), 0);
    EXPECT_TRUE(result.balanced());
    EXPECT_EQ(result.bytes_removed, 8);
    EXPECT_TRUE(plugin->faults().empty());
}

TEST_F(StackBalanceTest, ACdeclExportWhereStdcallIsDueIsReported) {
    SKIP_UNLESS_STACK_MEASURED();
    const CallResult result = plugin->call("Free", host.services());
    EXPECT_FALSE(result.balanced());
    EXPECT_EQ(result.bytes_removed, 0);
    EXPECT_EQ(result.bytes_expected, 4);
    ASSERT_EQ(plugin->faults().size(), 1u);
    EXPECT_EQ(plugin->faults()[0], "Free removed 0 argument bytes; as stdcall it must remove 4");
}

TEST_F(StackBalanceTest, CallingWithTheWrongArgumentCountIsReported) {
    plugin->call("Initialize", host.services());
    ASSERT_FALSE(plugin->faults().empty());
    EXPECT_NE(plugin->faults().back().find("instead of 8"), std::string::npos);
}

TEST_F(StackBalanceTest, AMissingExportIsReportedAndNotCalled) {
    const CallResult result = plugin->call("GetInfos", 7);
    EXPECT_FALSE(result.found);
    EXPECT_EQ(plugin->faults().at(0), "GetInfos is not exported");
}

TEST_F(StackBalanceTest, MissingExportsAreListedInTableOrder) {
    const std::vector<std::string> missing = plugin->missing_exports();
    EXPECT_EQ(missing.size(), 42u);  // only Initialize, Free and GetRunObjectDataSize exist
    EXPECT_EQ(missing.front(), "CreateObject");
    EXPECT_EQ(missing.back(), "EditDebugItem");
}

TEST(CheckedCall, MeasuresEachConvention) {
    SKIP_UNLESS_STACK_MEASURED();
    const plenar::Word words[] = {2, 3};
    const CallResult cdecl_call =
        checked_call(reinterpret_cast<const void*>(&add_cdecl), words, Convention::cdecl_);
    EXPECT_EQ(cdecl_call.value, 5u);
    EXPECT_TRUE(cdecl_call.balanced());

    const CallResult stdcall_call =
        checked_call(reinterpret_cast<const void*>(&add_stdcall), words, Convention::stdcall);
    EXPECT_EQ(stdcall_call.value, 5u);
    EXPECT_EQ(stdcall_call.bytes_removed, 8);
    EXPECT_TRUE(stdcall_call.balanced());

    const CallResult mismatch =
        checked_call(reinterpret_cast<const void*>(&add_stdcall), words, Convention::cdecl_);
    EXPECT_FALSE(mismatch.balanced());
    EXPECT_EQ(mismatch.bytes_removed, 8);
}

TEST(CheckedCall, PassesTheObjectOfAThiscallMember) {
    Counter counter;
    auto member = &Counter::add;
    const void* function = nullptr;
    std::memcpy(&function, &member, sizeof function);  // a non-virtual member: its address first
    const plenar::Word words[] = {2};
    const CallResult result = checked_call(function, words, Convention::thiscall, &counter);
    EXPECT_EQ(result.value, 42u);
    EXPECT_EQ(counter.value, 42);
    EXPECT_TRUE(result.balanced());
}

TEST(CheckedCall, NullFunctionIsNotCalled) {
    EXPECT_FALSE(checked_call(nullptr, {}, Convention::stdcall).found);
}

}  // namespace
