#include "traced_callback.h"

#include <windows.h>
#include <cstdio>
#include <fstream>

namespace plenar::sim {
namespace {

struct Recorder {
    bool on = false;
    int64_t origin = 0;
    double ticks_per_us = 1;
    std::vector<TraceEvent> events;
};

Recorder& recorder() {
    static Recorder instance;
    return instance;
}

int64_t ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double microseconds(int64_t from, int64_t to) {
    return static_cast<double>(to - from) / recorder().ticks_per_us;
}

std::string json_text(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += {'\\', c};
        else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else
            out += c;
    }
    return out + "\"";
}

// A word as hex: 8 digits, or 16 where words are pointer-sized.
std::string hex(Word value) {
    char text[24];
    std::snprintf(text, sizeof text, "\"0x%0*llx\"", static_cast<int>(2 * sizeof(Word)),
                  static_cast<unsigned long long>(value));
    return text;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string event_json(const TraceEvent& event, int pid) {
    std::string out =
        "{\"name\":" + json_text(event.name) + ",\"cat\":" + json_text(event.category) +
        ",\"ph\":\"X\",\"ts\":" + number(event.start_us) + ",\"dur\":" + number(event.duration_us) +
        ",\"pid\":" + std::to_string(pid) + ",\"tid\":1,\"args\":{\"arguments\":[";
    for (size_t i = 0; i < event.arguments.size(); ++i)
        out += (i ? "," : "") + hex(event.arguments[i]);
    out += "]";
    if (event.result) out += ",\"result\":" + hex(*event.result);
    for (const auto& [key, value] : event.details)
        out += "," + json_text(key) + ":" + json_text(value);
    return out + "}}";
}

}  // namespace

namespace trace {

void start() {
    Recorder& r = recorder();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    r.ticks_per_us = static_cast<double>(frequency.QuadPart) / 1e6;
    r.events.clear();
    r.origin = ticks();
    r.on = true;
}

void stop() { recorder().on = false; }

bool recording() { return recorder().on; }

const std::vector<TraceEvent>& events() { return recorder().events; }

std::string json(int pid) {
    std::string out = "{\"traceEvents\":[";
    for (size_t i = 0; i < recorder().events.size(); ++i)
        out += (i ? ",\n" : "\n") + event_json(recorder().events[i], pid);
    return out + "\n]}";
}

bool write(const std::wstring& path, int pid) {
    std::ofstream file(path.c_str(), std::ios::binary);
    file << json(pid);
    return static_cast<bool>(file.flush());
}

}  // namespace trace

TracedCall::TracedCall(const char* category, std::string_view name,
                       std::span<const Word> arguments) {
    if (!recorder().on) return;
    event_.emplace();
    event_->name = name;
    event_->category = category;
    event_->arguments.assign(arguments.begin(), arguments.end());
    start_ticks_ = ticks();
}

void TracedCall::detail(std::string_view key, std::string_view value) {
    if (event_) event_->details.emplace_back(key, value);
}

void TracedCall::finish(std::optional<Word> result) {
    if (!event_ || !recorder().on) return;
    const int64_t end = ticks();
    event_->start_us = microseconds(recorder().origin, start_ticks_);
    event_->duration_us = microseconds(start_ticks_, end);
    event_->result = result;
    recorder().events.push_back(std::move(*event_));
    event_.reset();
}

}  // namespace plenar::sim
