// What the exports' guard makes of an exception: the export's failure value
// and one message box, never the exception itself; and the out-of-memory box
// even when showing a box runs out of memory too.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "../support/description_support.h"
#include "failing_allocator.h"
#include "runtime/debugger.h"
#include "text/guard.h"

namespace {

namespace message = Kvor::message;
using unit_support::ExpectedBox;
using unit_support::Shown;

class GuardTest : public ::testing::Test {
protected:
    void SetUp() override { Kvor::Platform::ClearRecords(); }
    void TearDown() override { failing_allocator::Refuse(0); }
};

struct ThrowCase {
    const char* name;
    std::function<void()> work;
    const Kvor::ErrorBox* box;
    ExpectedBox shown;
};

const std::logic_error reader_broke("reader broke");

void NoItem() {
    Kvor::Debugger debugger(nullptr);
    Kvor::WideChar buffer[Kvor::Debugger::text_buffer_size];
    debugger.GetItem(buffer, 0);
}

const ThrowCase throw_cases[] = {
    {"OutOfMemory", [] { throw std::bad_alloc(); }, &Kvor::export_errors,
     Shown(message::out_of_memory)},
    {"OutOfMemoryInTheDebugger", [] { throw std::bad_alloc(); }, &Kvor::debugger_errors,
     Shown(message::out_of_memory)},
    {"StandardError", [] { throw reader_broke; }, &Kvor::export_errors,
     Shown(message::export_error, "reader broke")},
    {"StandardErrorInTheDebugger", [] { throw reader_broke; }, &Kvor::debugger_errors,
     Shown(message::debugger_error, "reader broke")},
    {"DebuggerError", NoItem, &Kvor::debugger_errors,
     Shown(message::debugger_error, message::debugger_unknown_item)},
    {"AnythingElse", [] { throw 42; }, &Kvor::export_errors,
     Shown(message::export_error, message::export_unknown_error)},
    {"AnythingElseInTheDebugger", [] { throw 42; }, &Kvor::debugger_errors,
     Shown(message::debugger_error, message::debugger_unknown_error)},
};

class Thrown : public GuardTest, public ::testing::WithParamInterface<ThrowCase> {};

TEST_P(Thrown, GivesTheFailureValueAndOneBox) {
    const ThrowCase& c = GetParam();
    int32_t result = 0;
    EXPECT_NO_THROW(result = Kvor::Guarded(
                        -7,
                        [&] {
                            c.work();
                            return 3;
                        },
                        *c.box));
    EXPECT_EQ(result, -7);
    unit_support::ExpectRecordedBoxes({c.shown});

    Kvor::Platform::ClearRecords();
    bool finished = false;
    EXPECT_NO_THROW(Kvor::Guarded(
        [&] {
            c.work();
            finished = true;
        },
        *c.box));
    EXPECT_FALSE(finished);
    unit_support::ExpectRecordedBoxes({c.shown});
}

INSTANTIATE_TEST_SUITE_P(Rows, Thrown, ::testing::ValuesIn(throw_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GuardTest, WorkThatDoesNotThrowGivesItsResultWithoutABox) {
    EXPECT_EQ(Kvor::Guarded(-7, [] { return 3; }), 3);
    int* answer = nullptr;
    static int value = 5;
    EXPECT_EQ(Kvor::Guarded(answer, [] { return &value; }), &value);
    bool finished = false;
    Kvor::Guarded([&] { finished = true; }, Kvor::debugger_errors);
    EXPECT_TRUE(finished);
    unit_support::ExpectRecordedBoxes({});
}

// The box's own formatting is refused its memory: the out-of-memory box is
// shown in the catalogue's words, which need none.
TEST_F(GuardTest, TheOutOfMemoryBoxNeedsNoMemory) {
    for (const std::function<void()>& work : {std::function<void()>([] { throw std::bad_alloc(); }),
                                              std::function<void()>([] { throw reader_broke; })}) {
        Kvor::Platform::ClearRecords();
        failing_allocator::Refuse(1);
        EXPECT_EQ(Kvor::Guarded(-1,
                                [&] {
                                    work();
                                    return 0;
                                }),
                  -1);
        EXPECT_TRUE(failing_allocator::Refused());
        failing_allocator::Refuse(0);
        unit_support::ExpectRecordedBoxes({Shown(message::out_of_memory)});
    }
}

}  // namespace
