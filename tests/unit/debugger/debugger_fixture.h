// A stand-in owner for the debugger's callbacks: counts reads and writes and
// answers with whatever the case sets up; the clock starts at a known tick.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "runtime/debugger.h"
#include "platform/platform_recorder.h"

namespace debugger_test {

using Kvor::WideChar;
using Kvor::WideString;

struct Owner {
    WideString next_text;  // what the reader produces
    int reads = 0;
    bool accept = true;  // what the writer answers
    WideString written;  // the last text the writer was given
    int writes = 0;
};

inline void Read(void* owner, WideString& out) {
    auto* self = static_cast<Owner*>(owner);
    ++self->reads;
    out = self->next_text;
}

inline bool Write(void* owner, WideString& text) {
    auto* self = static_cast<Owner*>(owner);
    ++self->writes;
    self->written = text;
    return self->accept;
}

inline WideString Wide(const std::u16string& text) { return WideString(text.begin(), text.end()); }

// What GetItem wrote into a host-sized buffer, up to its terminator.
inline WideString Shown(Kvor::Debugger& debugger, int32_t id) {
    WideChar buffer[Kvor::Debugger::text_buffer_size];
    std::fill(std::begin(buffer), std::end(buffer), WideChar(0x5A5A));
    debugger.GetItem(buffer, id);
    return WideString(buffer);
}

class DebuggerTest : public ::testing::Test {
protected:
    void SetUp() override { Kvor::Platform::SetTickCount(start); }
    void At(uint32_t tick) { Kvor::Platform::SetTickCount(tick); }

    static constexpr uint32_t start = 10000;
    Owner owner;
    Kvor::Debugger debugger{&owner};
};

}  // namespace debugger_test
