// The run-time side of the simulated host: the application's run header with
// its callbacks, instance run data, and the values the callbacks hand out,
// queued by a test beforehand. Every callback call is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "plenar/run_data.h"

namespace plenar::sim {

enum class Callback {
    get_parameter,
    first_expression_parameter,
    next_expression_parameter,
    allocate_string,
    edit_number,
    edit_text,
};

struct CallbackCall {
    Callback callback;
    RunObjectHeader* run;
    int32_t type;   // fetch type; allocate_string: the zero argument
    Word argument;  // expression routine argument; allocate_string: bytes; edits: record
    Word result;
};

class RunTime {
public:
    RunTime(HostServices* services, std::vector<std::string>& faults);
    ~RunTime();
    RunTime(const RunTime&) = delete;
    RunTime& operator=(const RunTime&) = delete;

    RunHeader* header() { return &block_->header; }

    // Zeroed run data of `size` bytes (at least the host's 184), its run
    // header set; owned by this RunTime.
    RunObjectHeader* create_run_data(uint32_t size);
    // The pointer a plug-in stores right after the host's header, if the
    // block has room for it.
    static void* extension_of(RunObjectHeader* run);

    // Parameters, handed out in order by get parameter and by the first and
    // next expression parameter callbacks.
    void queue_parameter(uint32_t value);
    void queue_word(Word value);  // a whole word, e.g. a pointer of the test's own
    void queue_float(float value);
    void queue_text(std::wstring text);  // the host keeps the text alive
    void queue_null_text();
    size_t queued_parameters() const { return parameters_.size(); }

    // Answers of the debugger's edit dialogs (1: confirmed); with `text`, the
    // dialog writes it into the record's buffer. Unqueued edits answer 0.
    void queue_edit_answer(int32_t result, std::optional<std::wstring> text = {});

    const std::vector<CallbackCall>& calls() const { return calls_; }
    size_t count(Callback callback) const;
    void clear_calls() { calls_.clear(); }

    // Strings handed out by allocate string, in order.
    struct Allocation {
        void* memory;
        uint32_t bytes;
    };
    const std::vector<Allocation>& allocations() const { return allocations_; }

    // Callback bodies (the stdcall entry points forward here).
    Word next_parameter(Callback callback, RunObjectHeader* run, int32_t type, Word argument);
    void* allocate(RunObjectHeader* run, int32_t zero, uint32_t bytes);
    int32_t edit(Callback callback, RunObjectHeader* run, EditRecord* record);

    // The run header as the callbacks find it: RunTime right after it.
    struct Block {
        RunHeader header;
        RunTime* owner;
    };

    static constexpr uint32_t value_058 = 0x05805805, value_090 = 0x09009009,
                              value_1278 = 0x12781278;

private:
    struct Edit {
        int32_t result;
        std::optional<std::wstring> text;
    };

    std::unique_ptr<Block> block_;
    std::vector<std::string>& faults_;
    std::vector<std::unique_ptr<uint8_t[]>> run_data_;
    std::deque<Word> parameters_;
    std::deque<std::wstring> texts_;
    std::deque<Edit> edits_;
    std::vector<CallbackCall> calls_;
    std::vector<Allocation> allocations_;
    std::vector<std::unique_ptr<uint8_t[]>> allocated_;
};

}  // namespace plenar::sim
