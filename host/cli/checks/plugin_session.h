// One plug-in loaded by the simulated host for a tool run: optionally a copy
// with a description beside it in a fresh folder, and the steps the host
// takes with it, each call checked for its stack balance.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "plenar_sim/sim.h"

namespace plenar::cli {

class PluginSession {
public:
    // Loads `plugin`; with a description, copies both into a fresh folder
    // first, the description named after the plug-in (Lumbra.pvx: Lumbra.json),
    // or both named `name` when given (Widget.pvx and Widget.json), with a
    // Tovrandi.ini of the text `settings` beside them when given.
    // Throws std::runtime_error when the library does not load.
    PluginSession(const std::wstring& plugin, const std::optional<std::wstring>& description = {},
                  const std::optional<std::wstring>& name = {},
                  const std::optional<std::string>& settings = {});

    sim::Plugin& plugin() { return *plugin_; }
    sim::Host& host() { return host_; }
    const std::wstring& plugin_path() const { return path_; }

    // Calls an export; an unbalanced stack is kept in stack_faults().
    template <typename... A>
    sim::CallResult call(const char* name, A... arguments) {
        sim::CallResult result = plugin_->call(name, arguments...);
        if (!result.balanced()) note_unbalanced(name, result);
        return result;
    }
    const std::vector<std::string>& stack_faults() const { return stack_faults_; }

    int32_t initialize();  // Initialize's result
    // GetRunObjectInfos into `info`; false when it does not answer 1.
    bool run_object_info(RunObjectInfo& info);
    // A new edit-data block of the size GetRunObjectInfos announces.
    void* new_block();
    // Calls an export taking the block and follows the block the host moved
    // while it ran; `block` is updated.
    template <typename... A>
    sim::CallResult call_on_block(void*& block, const char* name, A... arguments) {
        const size_t before = host_.service_calls().size();
        sim::CallResult result = call(name, arguments...);
        follow_moves(block, before);
        return result;
    }
    // A run object made for `block` (null: none) and destroyed again;
    // false when either export fails.
    bool create_and_destroy_run_object(void* block);

private:
    void note_unbalanced(const char* name, const sim::CallResult& result);
    void follow_moves(void*& block, size_t first_call);

    std::unique_ptr<sim::TempFolder> folder_;
    std::wstring path_;
    sim::Host host_;
    std::unique_ptr<sim::Plugin> plugin_;
    std::vector<std::string> stack_faults_;
};

// The plug-in's base name: its file name without folder and extension.
std::wstring plugin_base_name(const std::wstring& path);

}  // namespace plenar::cli
