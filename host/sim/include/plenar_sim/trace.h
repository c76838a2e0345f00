// A trace of every call between host and plug-in: each export the host calls
// and each callback the plug-in makes back (services, run header, the
// intercepted system functions), timed with the performance counter. Off
// unless started, so tests and plain runs pay one flag test a call. Written in
// the Trace Event format that Perfetto and chrome://tracing open: callbacks
// are complete events inside the export's time span, so they nest under it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include "plenar/abi.h"

namespace plenar::sim {

struct TraceEvent {
    std::string name;      // the export or callback
    std::string category;  // "export" or "callback"
    double start_us = 0;   // since the trace started
    double duration_us = 0;
    std::vector<Word> arguments;
    std::optional<Word> result;  // none for a routine returning nothing
    std::vector<std::pair<std::string, std::string>> details;  // further named texts
};

namespace trace {

void start();  // forgets earlier events and turns recording on
void stop();
bool recording();
const std::vector<TraceEvent>& events();
// {"traceEvents":[...]}, every event a complete event ("X") of process `pid`.
std::string json(int pid = 1);
// json() into the file; false when it cannot be written.
bool write(const std::wstring& path, int pid = 1);

}  // namespace trace

// Times one call from construction to finish(); does nothing while the trace
// is off. A call never finished (the plug-in crashed) is not recorded.
class TracedCall {
public:
    TracedCall(const char* category, std::string_view name, std::span<const Word> arguments);
    TracedCall(const char* category, std::string_view name, std::initializer_list<Word> arguments)
        : TracedCall(category, name, std::span<const Word>(arguments.begin(), arguments.size())) {}
    void detail(std::string_view key, std::string_view value);
    void finish(std::optional<Word> result);

private:
    std::optional<TraceEvent> event_;
    int64_t start_ticks_ = 0;
};
}  // namespace plenar::sim
