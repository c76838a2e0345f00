#include "plenar_sim/host.h"

#include <stdexcept>
#include <cstdio>
#include "plenar_sim/plugin.h"
#include "traced_callback.h"

namespace plenar::sim {
namespace {

Host* active_host = nullptr;

uint32_t PLENAR_STDCALL version_routine() {
    return traced_callback("version", {},
                           [] { return active_host ? active_host->answer_version() : 0u; });
}

intptr_t PLENAR_STDCALL service_routine(void* edit_data, int32_t code, intptr_t a, intptr_t b,
                                        intptr_t c) {
    // The name carries the code so that a viewer tells the services apart.
    const std::string name = trace::recording() ? "service " + std::to_string(code) : std::string();
    return traced_callback(name, {word(edit_data), word(code), word(a), word(b), word(c)}, [&] {
        return active_host ? active_host->serve(edit_data, code, a, b, c) : 0;
    });
}

std::string hex(const void* pointer) {
    char text[16];
    snprintf(text, sizeof text, "%p", pointer);
    return text;
}

}  // namespace

Host::Host() : run_time_(&services_, faults_) {
    if (active_host) throw std::logic_error("only one simulated host at a time");
    active_host = this;
    services_.open_application = 1;
    services_.editor_window = default_editor_window;
    services_.image_import_context = &image_import_context_;
    services_.version = &version_routine;
    services_.service = &service_routine;
}

Host::~Host() { active_host = nullptr; }

Host* Host::active() { return active_host; }

void Host::set_version(std::optional<uint32_t> version_word) {
    services_.version = version_word ? &version_routine : nullptr;
    version_word_ = version_word.value_or(0);
}

void Host::set_image_import(bool available) {
    services_.image_import_context = available ? &image_import_context_ : nullptr;
}

Surface* Host::editor_surface() { return WindowSurface(services_.editor_window, 0); }

size_t Host::count(int32_t code) const {
    size_t n = 0;
    for (const ServiceCall& call : service_calls_) n += call.code == code;
    return n;
}

void Host::clear_calls() {
    service_calls_.clear();
    version_calls_ = 0;
    run_time_.clear_calls();
}

RunObjectHeader* Host::create_run_data(Plugin& plugin) {
    const CallResult size = plugin.call("GetRunObjectDataSize", nullptr, nullptr);
    return size.found ? run_time_.create_run_data(size.number()) : nullptr;
}

uint32_t Host::answer_version() {
    ++version_calls_;
    return version_word_;
}

intptr_t Host::serve(void* edit_data, int32_t code, intptr_t a, intptr_t b, intptr_t c) {
    intptr_t result = 0;
    switch (code) {
        case service_resize_edit_data: result = resize_edit_data(edit_data, a, b); break;
        case service_query_113: result = query_answer_; break;
        case service_insert_properties:
        case service_edit_data_notice:
            if (edit_data && !edit_data_.owns(edit_data))
                faults_.push_back("service " + std::to_string(code) + " given unknown edit data " +
                                  hex(edit_data));
            break;
        default: faults_.push_back("unknown service code " + std::to_string(code)); break;
    }
    service_calls_.push_back({edit_data, code, a, b, c, result});
    return result;
}

intptr_t Host::resize_edit_data(void* edit_data, intptr_t block, intptr_t size) {
    void* old_block = reinterpret_cast<void*>(block);
    if (old_block != edit_data)
        faults_.push_back("resize service: the block " + hex(old_block) + " is not the edit data " +
                          hex(edit_data));
    if (!edit_data_.owns(old_block)) {
        faults_.push_back("resize service given unknown edit data " + hex(old_block));
        return 0;
    }
    if (size < static_cast<intptr_t>(sizeof(EditDataHeader))) {
        faults_.push_back("resize service asked for " + std::to_string(size) + " bytes");
        return 0;
    }
    if (refuse_resize_) return 0;
    return reinterpret_cast<intptr_t>(edit_data_.resize(old_block, static_cast<uint32_t>(size)));
}

}  // namespace plenar::sim
