// Interception of a plug-in's calls to the system: message boxes, debugger
// output and the tick count. Works without any hook inside the plug-in, by
// replacing the entries of the loaded module's import address table. Process
// wide: every patched module reports to the one Interception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plenar::sim {

struct MessageBoxCall {
    std::string text;     // UTF-8 (converted from UTF-16, or from the ANSI code page)
    std::string caption;  // UTF-8; a null caption gives ""
    uint32_t style = 0;
    uintptr_t owner = 0;
    bool wide = false;  // MessageBoxW
};

struct DebugOutputLine {
    std::string text;   // UTF-8
    bool wide = false;  // OutputDebugStringW
};

class Interception {
public:
    static Interception& instance();

    // Replaces MessageBoxA/W (user32), OutputDebugStringA/W and GetTickCount
    // (kernel32) in `module`'s imports; returns how many entries were replaced.
    int patch(void* module);

    // The module's heap as a test sets it, on request only: malloc, calloc
    // and realloc of its C runtime (msvcrt.dll) replaced in its imports, so
    // that every request is counted and one of them can be refused. Returns
    // how many entries were replaced.
    int patch_heap(void* module);
    // Refuses the `request`-th heap request from now (1: the next one); 0
    // refuses none. Only that one: a heap refusing every later request too
    // would also refuse the C++ runtime the memory it needs to throw.
    void refuse_heap_request(size_t request);
    size_t heap_requests() const { return heap_requests_; }

    const std::vector<MessageBoxCall>& message_boxes() const { return message_boxes_; }
    const std::vector<DebugOutputLine>& debug_output() const { return debug_output_; }
    // Forgets the recorded calls and puts the clock back to its start.
    void clear();

    // The answer of every message box; IDOK (1) unless told otherwise.
    void set_message_box_answer(int32_t answer) { message_box_answer_ = answer; }

    // The clock: GetTickCount answers `tick_count()` and then advances it by
    // the step (0 unless set), so a run is repeatable.
    void set_tick_count(uint32_t milliseconds) { tick_count_ = milliseconds; }
    void advance_clock(uint32_t milliseconds) { tick_count_ += milliseconds; }
    void set_clock_step(uint32_t milliseconds) { clock_step_ = milliseconds; }
    uint32_t tick_count() const { return tick_count_; }
    size_t tick_count_calls() const { return tick_count_calls_; }

    // Called by the replacement functions.
    int32_t record_message_box(MessageBoxCall call);
    bool grant_heap_request();
    void record_debug_output(DebugOutputLine line);
    uint32_t read_clock();

    static constexpr uint32_t clock_start = 1000000;

private:
    Interception() = default;

    std::vector<MessageBoxCall> message_boxes_;
    std::vector<DebugOutputLine> debug_output_;
    int32_t message_box_answer_ = 1;
    uint32_t tick_count_ = clock_start;
    uint32_t clock_step_ = 0;
    size_t tick_count_calls_ = 0;
    size_t heap_requests_ = 0;
    size_t refused_request_ = 0;  // 0: none
};

}  // namespace plenar::sim
