#include "plugin_session.h"

#include <cstring>

namespace plenar::cli {

std::wstring plugin_base_name(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

PluginSession::PluginSession(const std::wstring& plugin,
                             const std::optional<std::wstring>& description,
                             const std::optional<std::wstring>& name,
                             const std::optional<std::string>& settings)
    : path_(plugin) {
    if (description) {
        folder_ = std::make_unique<sim::TempFolder>();
        path_ = name ? folder_->place_copy(plugin, *name + L".pvx") : folder_->place_copy(plugin);
        folder_->place_copy(*description, (name ? *name : plugin_base_name(plugin)) + L".json");
        if (settings) folder_->write_file(L"Tovrandi.ini", *settings);
    }
    plugin_ = std::make_unique<sim::Plugin>(path_);
}

void PluginSession::note_unbalanced(const char* name, const sim::CallResult& result) {
    stack_faults_.push_back(std::string(name) +
                            (result.found ? " removed " + std::to_string(result.bytes_removed) +
                                                " argument bytes, " +
                                                std::to_string(result.bytes_expected) + " expected"
                                          : " is not exported"));
}

void PluginSession::follow_moves(void*& block, size_t first_call) {
    for (size_t i = first_call; i < host_.service_calls().size(); ++i) {
        const sim::ServiceCall& service = host_.service_calls()[i];
        if (service.code == service_resize_edit_data && service.result &&
            service.a == reinterpret_cast<intptr_t>(block))
            block = reinterpret_cast<void*>(service.result);
    }
}

int32_t PluginSession::initialize() {
    return static_cast<int32_t>(call("Initialize", host_.services(), 0).value);
}

bool PluginSession::run_object_info(RunObjectInfo& info) {
    std::memset(&info, 0, sizeof info);
    return call("GetRunObjectInfos", host_.services(), &info).value == 1;
}

void* PluginSession::new_block() {
    RunObjectInfo info;
    const uint32_t size = run_object_info(info) ? info.edit_data_size : 0;
    uint32_t identifier = 0;
    std::memcpy(&identifier, info.identifier, 4);
    return host_.edit_data().create(size < sizeof(EditDataHeader) ? sizeof(EditDataHeader) : size,
                                    identifier);
}

bool PluginSession::create_and_destroy_run_object(void* block) {
    RunObjectHeader* run = host_.create_run_data(*plugin_);
    if (!run) return false;
    if (call("CreateRunObject", run, block, nullptr).value != 0) return false;
    return call("DestroyRunObject", run, 0).value == 0;
}

}  // namespace plenar::cli
