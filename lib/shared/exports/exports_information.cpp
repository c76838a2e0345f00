// The object's about texts, help file, dependencies and capability answers.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "kvor/keys.h"
#include "load/description.h"
#include "export_glue.h"
#include "load/host_version.h"
#include "load/language.h"
#include "platform/module.h"
#include "sdk.h"
#include "text/converters.h"

#include <windows.h>

namespace {

constexpr int info_buffer_length = 260;

const json_value& Root() { return ::SDK ? *::SDK->json : json_none; }

void CopyAbout(Kvor::WideChar* buffer, const json_value& about, const char* key) {
    if (buffer) Kvor::CopyUTF8ToWide(buffer, about[key].text(), info_buffer_length);
}

Kvor::WideChar help_file_name[info_buffer_length];

// Built at the first request once there is a description, freed when the
// library unloads.
struct DependencyTable {
    std::vector<std::unique_ptr<Kvor::WideChar, decltype(&free)>> texts;
    std::vector<const Kvor::WideChar*> table;
    bool built = false;
};
DependencyTable dependencies;

std::wstring DescriptionFileName() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(static_cast<HMODULE>(Kvor::LibraryModule), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring name = path;
    size_t separator = name.find_last_of(L"\\/");
    if (separator != std::wstring::npos) name.erase(0, separator + 1);
    size_t dot = name.rfind(L'.');
    return (dot == std::wstring::npos ? name + L"." : name.substr(0, dot + 1)) + L"json";
}

// The whole table, made apart from the one the host is given so that a
// table is only ever published complete.
DependencyTable BuildDependencies() {
    // Only an array lists files; a bare string names none.
    const json_value& listed = Root()[Kvor::key::root::Dependencies];
    const uint32_t count = listed.type == json_type_array ? listed.length() : 0;
    DependencyTable built;
    // Room for every entry first, so that no text is left unowned.
    built.texts.reserve(count + 1);
    built.table.reserve(count + 2);
    auto add = [&built](Kvor::WideChar* text) {
        if (!text) return;
        built.texts.emplace_back(text, &free);
        built.table.push_back(text);
    };
    if (Kvor::DescriptionFromDisk) {
        std::wstring file_name = DescriptionFileName();
        auto* copy = static_cast<Kvor::WideChar*>(calloc(file_name.size() + 1, sizeof(wchar_t)));
        if (copy) file_name.copy(copy, file_name.size());
        add(copy);
    }
    for (uint32_t i = 0; i < count; ++i)
        add(Kvor::UTF8ToNewWide(listed[static_cast<int32_t>(i)].text()));
    built.table.push_back(nullptr);
    built.built = true;
    return built;
}

}  // namespace

PLUGIN_EXPORT void PLENAR_STDCALL GetObjInfos(HostServices* services, void*, Kvor::WideChar* name,
                                              Kvor::WideChar* author, Kvor::WideChar* copyright,
                                              Kvor::WideChar* comment, Kvor::WideChar* url) {
    // Every text starts empty, as for a member the description lacks: so it
    // stays without a description, and whatever stops the filling early.
    for (Kvor::WideChar* buffer : {name, author, copyright, comment, url})
        if (buffer) buffer[0] = 0;
    if (!::SDK) return;
    Kvor::Guarded([&] {
        const json_value& about = Kvor::CurrentLanguage()[Kvor::key::language::About];
        CopyAbout(author, about, Kvor::key::about::Author);
        CopyAbout(copyright, about, Kvor::key::about::Copyright);
        CopyAbout(url, about, Kvor::key::about::URL);
        // Without an open application the host shows the object's own name.
        bool application_open = services && services->open_application != 0;
        CopyAbout(name,
                  application_open ? about : Kvor::PrimaryLanguage()[Kvor::key::language::About],
                  Kvor::key::about::Name);
        CopyAbout(comment, about, Kvor::key::about::Comment);
    });
}

// The buffer is the answer in every case; an error leaves it empty.
PLUGIN_EXPORT const Kvor::WideChar* PLENAR_CDECL GetHelpFileName() {
    help_file_name[0] = 0;
    return Kvor::Guarded(help_file_name, [] {
        const json_value& about =
            ::SDK ? Kvor::CurrentLanguage()[Kvor::key::language::About] : json_none;
        return Kvor::CopyUTF8ToWide(help_file_name, about[Kvor::key::about::Help].text(),
                                    info_buffer_length);
    });
}

PLUGIN_EXPORT const Kvor::WideChar* const* PLENAR_CDECL GetDependencies() {
    // Before Initialize there is nothing to list, and nothing is kept: the
    // first call after it builds the table from the description.
    static const Kvor::WideChar* const none[1] = {nullptr};
    if (!::SDK) return none;
    return Kvor::Guarded(none, [] {
        if (!dependencies.built) dependencies = BuildDependencies();
        return static_cast<const Kvor::WideChar* const*>(dependencies.table.data());
    });
}

PLUGIN_EXPORT uint32_t PLENAR_STDCALL GetInfos(int32_t code) {
    switch (code) {
        case 0: return 0x300;
        case 2: return 0x100;
        case 6: return 2;
        case 7: return Kvor::oldest_host_build;
        case 8: return 1;
        default: return 0;
    }
}
