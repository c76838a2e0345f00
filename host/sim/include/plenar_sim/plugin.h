// A plug-in loaded as the host loads it (LoadLibrary), its imports patched
// for interception, its exports resolved by name and called with a stack
// check against the convention each export must use.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>
#include "checked_call.h"

namespace plenar::sim {

class Plugin {
public:
    // Throws std::runtime_error naming the path and the Windows error when
    // the library does not load.
    explicit Plugin(const std::wstring& path);
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    void* module() const { return module_; }
    const std::wstring& path() const { return path_; }
    int patched_imports() const { return patched_imports_; }

    const void* address(std::string_view export_name) const;  // null when absent
    std::vector<std::string> missing_exports() const;         // of the host's 45, in table order

    // Calls an export with argument words. Exports of the host's table are
    // checked against their convention and argument size, and a result that
    // is not a pointer is cut to its 32 bits; other names are taken as
    // stdcall. An unbalanced or missing call is also kept in faults().
    template <typename... A>
    CallResult call(std::string_view export_name, A... arguments) {
        const Word words[] = {word(arguments)..., 0};
        return call_words(export_name, std::span<const Word>(words, sizeof...(A)));
    }
    CallResult call_words(std::string_view export_name, std::span<const Word> arguments);
    CallResult call_as(std::string_view export_name, Convention convention,
                       std::span<const Word> arguments);

    const std::vector<std::string>& faults() const { return faults_; }

private:
    void check(std::string_view export_name, Convention convention, const CallResult& result);

    std::wstring path_;
    void* module_ = nullptr;
    int patched_imports_ = 0;
    std::vector<std::string> faults_;
};

// The convention and argument bytes the host expects of an export of its
// table; stdcall with `argument_count` words for any other name.
Convention export_convention(std::string_view export_name);

}  // namespace plenar::sim
