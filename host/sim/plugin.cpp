#include "plenar_sim/plugin.h"

#include <windows.h>
#include <stdexcept>
#include "plenar/exports.h"
#include "plenar_sim/interception.h"
#include "plenar_sim/utf8.h"
#include "traced_callback.h"

namespace plenar::sim {
namespace {

const ExportEntry* table_entry(std::string_view name) {
    for (const ExportEntry& entry : export_table)
        if (name == entry.name) return &entry;
    return nullptr;
}

const char* convention_name(Convention convention) {
    switch (convention) {
        case Convention::stdcall: return "stdcall";
        case Convention::cdecl_: return "cdecl";
        case Convention::thiscall: return "thiscall";
    }
    return "?";
}

}  // namespace

Convention export_convention(std::string_view export_name) {
    const ExportEntry* entry = table_entry(export_name);
    return entry && entry->argument_bytes < 0 ? Convention::cdecl_ : Convention::stdcall;
}

Plugin::Plugin(const std::wstring& path) : path_(path) {
    // The attach routine runs inside LoadLibrary, before the imports can be
    // patched: what it shows or prints is not recorded.
    module_ = LoadLibraryW(path.c_str());
    if (!module_)
        throw std::runtime_error("cannot load " + utf8_from_wide(path) + " (Windows error " +
                                 std::to_string(GetLastError()) + ")");
    patched_imports_ = Interception::instance().patch(module_);
}

Plugin::~Plugin() { FreeLibrary(static_cast<HMODULE>(module_)); }

const void* Plugin::address(std::string_view export_name) const {
    const std::string name(export_name);
    return reinterpret_cast<const void*>(
        GetProcAddress(static_cast<HMODULE>(module_), name.c_str()));
}

std::vector<std::string> Plugin::missing_exports() const {
    std::vector<std::string> missing;
    for (const ExportEntry& entry : export_table)
        if (!address(entry.name)) missing.emplace_back(entry.name);
    return missing;
}

CallResult Plugin::call_words(std::string_view export_name, std::span<const Word> arguments) {
    CallResult result = call_as(export_name, export_convention(export_name), arguments);
    const ExportEntry* entry = table_entry(export_name);
    // A 32-bit result is only the low half of a 64-bit result register.
    if (entry && entry->result == export_number) result.value = static_cast<uint32_t>(result.value);
    // The host's table fixes the argument size, whatever the caller passed.
    if (entry && entry->argument_bytes >= 0 && result.found &&
        result.bytes_expected != entry->argument_bytes) {
        faults_.push_back(std::string(export_name) + " called with " +
                          std::to_string(result.bytes_expected) + " argument bytes instead of " +
                          std::to_string(entry->argument_bytes));
    }
    return result;
}

CallResult Plugin::call_as(std::string_view export_name, Convention convention,
                           std::span<const Word> arguments) {
    TracedCall traced("export", export_name, arguments);
    const CallResult result = checked_call(address(export_name), arguments, convention);
    if (result.found) traced.finish(result.value);
    check(export_name, convention, result);
    return result;
}

void Plugin::check(std::string_view export_name, Convention convention, const CallResult& result) {
    if (!result.found) {
        faults_.push_back(std::string(export_name) + " is not exported");
    } else if (!result.balanced()) {
        faults_.push_back(std::string(export_name) + " removed " +
                          std::to_string(result.bytes_removed) + " argument bytes; as " +
                          convention_name(convention) + " it must remove " +
                          std::to_string(result.bytes_expected));
    }
}

}  // namespace plenar::sim
