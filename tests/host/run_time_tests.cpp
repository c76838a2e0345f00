// The run header's callbacks hand out queued values and record each call.
#include <bit>
#include <cstring>
#include "fake_plugin_fixture.h"

using namespace plenar;
using namespace plenar::sim;

namespace {

using RunTimeTest = FakePluginTest;

TEST_F(RunTimeTest, RunDataLeadsToTheRunHeaderAndServices) {
    RunObjectHeader* run =
        host.run_time().create_run_data(sizeof(plenar::RunObjectHeader) + sizeof(void*));
    ASSERT_NE(run->run_header, nullptr);
    EXPECT_EQ(run->run_header->services, host.services());
    EXPECT_EQ(run->run_header->value_058, RunTime::value_058);
    EXPECT_EQ(run->run_header->value_090, RunTime::value_090);
    EXPECT_EQ(run->run_header->value_1278, RunTime::value_1278);
    EXPECT_EQ(RunTime::extension_of(run), nullptr);
    const void* extension = &host;
    std::memcpy(reinterpret_cast<uint8_t*>(run) + sizeof(RunObjectHeader), &extension,
                sizeof extension);
    EXPECT_EQ(RunTime::extension_of(run), &host);
}

TEST_F(RunTimeTest, RunDataHasTheSizeThePluginAsksFor) {
    RunObjectHeader* run = host.create_run_data(*plugin);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->run_header, host.run_time().header());
    // The plug-in's own 8 bytes after the header are there and zero.
    const uint8_t* own = reinterpret_cast<const uint8_t*>(run) + sizeof(RunObjectHeader);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(own[i], 0) << i;
    EXPECT_TRUE(plugin->faults().empty());
}

TEST_F(RunTimeTest, GetParameterPlaysTheQueueAndAdvancesTheCursor) {
    RunObjectHeader* run =
        host.run_time().create_run_data(sizeof(plenar::RunObjectHeader) + sizeof(void*));
    run->parameter_cursor = 10;
    host.run_time().queue_float(2.5f);
    host.run_time().queue_text(L"text");
    host.run_time().queue_parameter(99);
    plenar::Word values[3] = {};
    plugin->call("FakeFetchParameters", run, values, 3);
    EXPECT_EQ(std::bit_cast<float>(static_cast<uint32_t>(values[0])), 2.5f);
    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(values[1]), L"text");
    EXPECT_EQ(values[2], 99u);
    EXPECT_EQ(run->parameter_cursor, 10u);  // the plug-in put it back

    const std::vector<CallbackCall>& calls = host.run_time().calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].callback, Callback::get_parameter);
    EXPECT_EQ(calls[0].type, fetch_float);
    EXPECT_EQ(calls[1].type, fetch_generic);
    EXPECT_EQ(calls[2].result, 99u);
    EXPECT_EQ(host.run_time().queued_parameters(), 0u);
}

TEST_F(RunTimeTest, AskingBeyondTheQueueIsAFault) {
    RunObjectHeader* run =
        host.run_time().create_run_data(sizeof(plenar::RunObjectHeader) + sizeof(void*));
    host.run_time().queue_null_text();
    plenar::Word values[2] = {7, 7};
    plugin->call("FakeFetchParameters", run, values, 2);
    EXPECT_EQ(values[0], 0u);
    EXPECT_EQ(values[1], 0u);
    EXPECT_EQ(host.faults().size(), 1u);
}

TEST_F(RunTimeTest, ExpressionParametersAreTakenFromTheSameQueue) {
    RunObjectHeader* run =
        host.run_time().create_run_data(sizeof(plenar::RunObjectHeader) + sizeof(void*));
    host.run_time().queue_parameter(1);
    host.run_time().queue_parameter(2);
    RunHeader* header = run->run_header;
    EXPECT_EQ(header->first_expression_parameter(run, fetch_integer, 0xABC), 1u);
    EXPECT_EQ(header->next_expression_parameter(run, fetch_integer, 0xABC), 2u);
    EXPECT_EQ(host.run_time().count(Callback::first_expression_parameter), 1u);
    EXPECT_EQ(host.run_time().calls()[1].argument, 0xABCu);
}

TEST_F(RunTimeTest, AllocateStringGivesDistinctRecordedMemory) {
    RunObjectHeader* run =
        host.run_time().create_run_data(sizeof(plenar::RunObjectHeader) + sizeof(void*));
    void* first = run->run_header->allocate_string(run, 0, 12);
    void* second = run->run_header->allocate_string(run, 0, 4);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    std::memset(first, 0x41, 12);  // all of it is writable
    ASSERT_EQ(host.run_time().allocations().size(), 2u);
    EXPECT_EQ(host.run_time().allocations()[0].bytes, 12u);
    EXPECT_EQ(host.run_time().allocations()[1].memory, second);
}

TEST_F(RunTimeTest, EditDialogsAnswerFromTheQueueAndWriteTheText) {
    RunObjectHeader* run =
        host.run_time().create_run_data(sizeof(plenar::RunObjectHeader) + sizeof(void*));
    wchar_t text[6] = L"old";
    EditRecord record{{0, 0}, text, 6};
    host.run_time().queue_edit_answer(1, L"a longer text");
    host.run_time().queue_edit_answer(0);
    EXPECT_EQ(run->run_header->edit_text(run, 0, &record), 1);
    EXPECT_STREQ(text, L"a lon");  // cut to the record's length
    EXPECT_EQ(run->run_header->edit_number(run, 0, &record), 0);
    EXPECT_STREQ(text, L"a lon");
    EXPECT_EQ(run->run_header->edit_number(run, 0, &record), 0);  // nothing queued
    EXPECT_EQ(host.run_time().count(Callback::edit_number), 2u);
}

}  // namespace
