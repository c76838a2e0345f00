#include "plenar_sim/run_time.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include "traced_callback.h"

namespace plenar::sim {
namespace {

RunTime* owner_of(RunObjectHeader* run) {
    if (!run || !run->run_header) return nullptr;
    return reinterpret_cast<RunTime::Block*>(run->run_header)->owner;
}

Word PLENAR_STDCALL get_parameter(RunObjectHeader* run, int32_t type, int32_t zero) {
    return traced_callback("get_parameter", {word(run), word(type), word(zero)}, [&] {
        RunTime* owner = owner_of(run);
        return owner ? owner->next_parameter(Callback::get_parameter, run, type, word(zero)) : 0;
    });
}

Word PLENAR_STDCALL first_expression_parameter(RunObjectHeader* run, int32_t type, Word argument) {
    return traced_callback(
        "first_expression_parameter", {word(run), word(type), word(argument)}, [&] {
            RunTime* owner = owner_of(run);
            return owner ? owner->next_parameter(Callback::first_expression_parameter, run, type,
                                                 argument)
                         : 0;
        });
}

Word PLENAR_STDCALL next_expression_parameter(RunObjectHeader* run, int32_t type, Word argument) {
    return traced_callback(
        "next_expression_parameter", {word(run), word(type), word(argument)}, [&] {
            RunTime* owner = owner_of(run);
            return owner ? owner->next_parameter(Callback::next_expression_parameter, run, type,
                                                 argument)
                         : 0;
        });
}

void* PLENAR_STDCALL allocate_string(RunObjectHeader* run, int32_t zero, uint32_t bytes) {
    return traced_callback("allocate_string", {word(run), word(zero), word(bytes)}, [&] {
        RunTime* owner = owner_of(run);
        return owner ? owner->allocate(run, zero, bytes) : nullptr;
    });
}

int32_t PLENAR_STDCALL edit_number(RunObjectHeader* run, int32_t zero, EditRecord* record) {
    return traced_callback("edit_number", {word(run), word(zero), word(record)}, [&] {
        RunTime* owner = owner_of(run);
        return owner ? owner->edit(Callback::edit_number, run, record) : 0;
    });
}

int32_t PLENAR_STDCALL edit_text(RunObjectHeader* run, int32_t zero, EditRecord* record) {
    return traced_callback("edit_text", {word(run), word(zero), word(record)}, [&] {
        RunTime* owner = owner_of(run);
        return owner ? owner->edit(Callback::edit_text, run, record) : 0;
    });
}

}  // namespace

RunTime::RunTime(HostServices* services, std::vector<std::string>& faults)
    : block_(std::make_unique<Block>()), faults_(faults) {
    std::memset(&block_->header, 0, sizeof block_->header);
    block_->owner = this;
    RunHeader& header = block_->header;
    header.value_058 = value_058;
    header.value_090 = value_090;
    header.value_1278 = value_1278;
    header.allocate_string = &allocate_string;
    header.first_expression_parameter = &first_expression_parameter;
    header.next_expression_parameter = &next_expression_parameter;
    header.get_parameter = &get_parameter;
    header.edit_number = &edit_number;
    header.edit_text = &edit_text;
    header.services = services;
}

RunTime::~RunTime() = default;

RunObjectHeader* RunTime::create_run_data(uint32_t size) {
    size = std::max<uint32_t>(size, sizeof(RunObjectHeader));
    run_data_.push_back(std::make_unique<uint8_t[]>(size));  // zeroed
    auto* run = reinterpret_cast<RunObjectHeader*>(run_data_.back().get());
    run->run_header = &block_->header;
    return run;
}

void* RunTime::extension_of(RunObjectHeader* run) {
    void* extension = nullptr;
    std::memcpy(&extension, reinterpret_cast<uint8_t*>(run) + sizeof(RunObjectHeader),
                sizeof extension);
    return extension;
}

void RunTime::queue_parameter(uint32_t value) { parameters_.push_back(value); }

void RunTime::queue_word(Word value) { parameters_.push_back(value); }

void RunTime::queue_float(float value) { parameters_.push_back(std::bit_cast<uint32_t>(value)); }

void RunTime::queue_text(std::wstring text) {
    texts_.push_back(std::move(text));  // a deque keeps earlier texts in place
    parameters_.push_back(word(texts_.back().c_str()));
}

void RunTime::queue_null_text() { parameters_.push_back(0); }

void RunTime::queue_edit_answer(int32_t result, std::optional<std::wstring> text) {
    edits_.push_back({result, std::move(text)});
}

size_t RunTime::count(Callback callback) const {
    return std::count_if(calls_.begin(), calls_.end(),
                         [&](const CallbackCall& call) { return call.callback == callback; });
}

Word RunTime::next_parameter(Callback callback, RunObjectHeader* run, int32_t type, Word argument) {
    Word value = 0;
    if (parameters_.empty()) {
        faults_.push_back("a parameter was asked for beyond the queued ones");
    } else {
        value = parameters_.front();
        parameters_.pop_front();
    }
    if (callback == Callback::get_parameter) ++run->parameter_cursor;
    calls_.push_back({callback, run, type, argument, value});
    return value;
}

void* RunTime::allocate(RunObjectHeader* run, int32_t zero, uint32_t bytes) {
    allocated_.push_back(std::make_unique<uint8_t[]>(std::max<uint32_t>(bytes, 1)));
    void* memory = allocated_.back().get();
    allocations_.push_back({memory, bytes});
    calls_.push_back({Callback::allocate_string, run, zero, bytes, word(memory)});
    return memory;
}

int32_t RunTime::edit(Callback callback, RunObjectHeader* run, EditRecord* record) {
    int32_t result = 0;
    if (!record) {
        faults_.push_back("an edit dialog was given no record");
    } else if (!edits_.empty()) {
        Edit answer = std::move(edits_.front());
        edits_.pop_front();
        result = answer.result;
        // The dialog writes at most `length` units, the last one the NUL.
        if (answer.text && record->text && record->length) {
            const size_t units = std::min<size_t>(answer.text->size(), record->length - 1);
            auto* text = static_cast<wchar_t*>(record->text);
            std::copy_n(answer.text->c_str(), units, text);
            text[units] = L'\0';
        }
    }
    calls_.push_back({callback, run, 0, word(record), word(result)});
    return result;
}

}  // namespace plenar::sim
