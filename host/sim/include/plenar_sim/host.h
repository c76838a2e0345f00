// The simulated host: the host services record with its version routine and
// general service entry, the image-import context, the editor window, the
// edit-data blocks and the run time. One Host at a time per process (the
// routines of the record take no context and reach the active Host).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include "edit_data_store.h"
#include "plenar/plenarcore.h"
#include "plenar/services.h"
#include "run_time.h"

namespace plenar::sim {

class Plugin;

struct ServiceCall {
    void* edit_data;
    int32_t code;
    intptr_t a, b, c;
    intptr_t result;
};

class Host {
public:
    Host();  // throws std::logic_error while another Host exists
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    static Host* active();

    HostServices* services() { return &services_; }

    // The version word (low 12 bits build, high 16 bits version), or no
    // version routine at all.
    void set_version(std::optional<uint32_t> version_word);
    size_t version_calls() const { return version_calls_; }
    static constexpr uint32_t default_version = 0x02000000 | 294;

    void set_open_application(bool open) { services_.open_application = open ? 1 : 0; }
    void set_image_import(bool available);
    void set_editor_window(uint32_t window) { services_.editor_window = window; }
    Surface* editor_surface();  // null for window 0
    static constexpr uint32_t default_editor_window = 1;

    // The general service entry.
    const std::vector<ServiceCall>& service_calls() const { return service_calls_; }
    size_t count(int32_t code) const;
    void refuse_resize(bool refuse) { refuse_resize_ = refuse; }
    void set_query_answer(intptr_t answer) { query_answer_ = answer; }
    void clear_calls();

    EditDataStore& edit_data() { return edit_data_; }
    RunTime& run_time() { return run_time_; }
    // Run data of the size the plug-in's GetRunObjectDataSize asks for (the
    // call checked like every export); null when it does not export it.
    RunObjectHeader* create_run_data(Plugin& plugin);

    // Misuse of the host seen by the simulator (unknown blocks, parameters
    // asked beyond the queued ones, ...), in order.
    const std::vector<std::string>& faults() const { return faults_; }

    // Bodies of the record's routines.
    uint32_t answer_version();
    intptr_t serve(void* edit_data, int32_t code, intptr_t a, intptr_t b, intptr_t c);

private:
    intptr_t resize_edit_data(void* edit_data, intptr_t block, intptr_t size);

    HostServices services_{};
    uint32_t version_word_ = default_version;
    size_t version_calls_ = 0;
    int image_import_context_ = 0;  // its address is the context
    std::vector<ServiceCall> service_calls_;
    bool refuse_resize_ = false;
    intptr_t query_answer_ = 0;
    std::vector<std::string> faults_;
    EditDataStore edit_data_;
    RunTime run_time_;
};

}  // namespace plenar::sim
