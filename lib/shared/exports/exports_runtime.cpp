// The run-time object: creation, the per-frame calls, its routine tables and
// its debugger items.
#include "kvor/keys.h"
#include "runtime/debugger.h"
#include "runtime/linking.h"
#include "properties/editdata_size.h"
#include "properties/stored_form.h"
#include "export_glue.h"
#include "extension.h"
#include "load/language.h"
#include "sdk.h"

using plenar::RunObjectHeader;

namespace {

// The host's 184-byte header and the pointer to the instance's extension.
constexpr uint32_t run_data_size = sizeof(RunObjectHeader) + sizeof(void*);
static_assert(run_data_size == (PLENAR_32BIT ? 188 : 200));

Extension* ExtensionOf(RunObjectHeader* run) {
    return run ? static_cast<Extension*>(Kvor::ExtensionOf(run)) : nullptr;
}

// An extension class may leave out Handle (handled as answering 1) and Pause
// (as doing nothing); templates, so that a member left out is never named.
// One declared with parameters would silently not be called.
template <class Ext>
int32_t HandleOf(Ext& extension) {
    static_assert(
        requires { extension.Handle(); } || !requires { &Ext::Handle; },
        "Handle takes no parameters");
    if constexpr (requires { extension.Handle(); }) return extension.Handle();
    return 1;
}

template <class Ext>
void PauseOf(Ext& extension) {
    static_assert(
        requires { extension.Pause(); } || !requires { &Ext::Pause; }, "Pause takes no parameters");
    if constexpr (requires { extension.Pause(); }) extension.Pause();
}

template <class Routine>
const Routine* Table(const std::vector<Routine>& table) {
    return table.empty() ? nullptr : table.data();
}

uint16_t Count(const json_value& entries) {
    return static_cast<uint16_t>(entries.type == json_type_array ? entries.length() : 0);
}

// Everything the host is told about the object at run time.
void FillRunObjectInfo(plenar::RunObjectInfo& info) {
    const json_value& language = ::SDK ? Kvor::CurrentLanguage() : json_none;
    if (::SDK) {
        info.conditions = Table(::SDK->Conditions.Routines);
        info.actions = Table(::SDK->Actions.Routines);
        info.expressions = Table(::SDK->Expressions.Routines);
    } else {
        info.conditions = nullptr;
        info.actions = nullptr;
        info.expressions = nullptr;
    }
    info.condition_count = Count(language[Kvor::key::language::Conditions]);
    info.action_count = Count(language[Kvor::key::language::Actions]);
    info.expression_count = Count(language[Kvor::key::language::Expressions]);
    info.edit_data_size = 28;
    // Only a description is sized (and the size kept): before Initialize the
    // host is told the fixed part alone, and a later Initialize still counts.
    if (::SDK)
        info.edit_data_size = Kvor::EditDataSize(Kvor::StoredProperties(), Kvor::RecordsLayout());
    info.flags = 0;
    info.version = 100;
    info.reserved_26 = 0;
    const json_value& identifier = (::SDK ? *::SDK->json : json_none)[Kvor::key::root::Identifier];
    for (int i = 0; i < 4; ++i) info.identifier[i] = 0;
    if (identifier.type == json_type_string)
        for (uint32_t i = 0; i < 4 && i < identifier.length(); ++i)
            info.identifier[i] = identifier.text()[i];
    info.reserved_32 = 1;
}

}  // namespace

PLUGIN_EXPORT uint32_t PLENAR_STDCALL GetRunObjectDataSize(void*, void*) { return run_data_size; }

PLUGIN_EXPORT int32_t PLENAR_STDCALL GetRunObjectInfos(HostServices*, plenar::RunObjectInfo* info) {
    if (!info) return 0;
    return Kvor::Guarded(0, [&] {
        FillRunObjectInfo(*info);
        return 1;
    });
}

PLUGIN_EXPORT int32_t PLENAR_STDCALL CreateRunObject(RunObjectHeader* run, void* edit_data,
                                                     void* creation) {
    if (!run) return -1;
    return Kvor::Guarded(-1, [&] {
        // The run data is given the instance only once it is whole.
        auto* extension = new Extension(run, edit_data, creation);
        extension->Runtime.View.Extension = extension;
        Kvor::ExtensionOf(run) = extension;
        return 0;
    });
}

PLUGIN_EXPORT int32_t PLENAR_STDCALL DestroyRunObject(RunObjectHeader* run, int32_t) {
    if (!run) return 0;
    return Kvor::Guarded(0, [&] {
        delete ExtensionOf(run);
        Kvor::ExtensionOf(run) = nullptr;
        return 0;
    });
}

PLUGIN_EXPORT int32_t PLENAR_STDCALL HandleRunObject(RunObjectHeader* run) {
    Extension* extension = ExtensionOf(run);
    return extension ? Kvor::Guarded(0, [&] { return HandleOf(*extension); }) : 0;
}

// Also exported as ContinueRunObject.
PLUGIN_EXPORT int32_t PLENAR_STDCALL PauseRunObject(RunObjectHeader* run) {
    if (Extension* extension = ExtensionOf(run)) Kvor::Guarded([&] { PauseOf(*extension); });
    return 0;
}

PLUGIN_EXPORT const uint16_t* PLENAR_STDCALL GetDebugTree(RunObjectHeader* run) {
    Extension* extension = ExtensionOf(run);
    return extension ? extension->Debugger.Tree() : nullptr;
}

PLUGIN_EXPORT void PLENAR_STDCALL GetDebugItem(Kvor::WideChar* buffer, RunObjectHeader* run,
                                               int32_t id) {
    Extension* extension = ExtensionOf(run);
    if (!buffer) return;
    buffer[0] = 0;
    if (!extension) return;
    Kvor::Guarded([&] { extension->Debugger.GetItem(buffer, id); }, Kvor::debugger_errors);
}

PLUGIN_EXPORT void PLENAR_STDCALL EditDebugItem(RunObjectHeader* run, int32_t id) {
    Extension* extension = ExtensionOf(run);
    if (!extension) return;
    Kvor::EditText edit{[](void* runtime, plenar::EditRecord* record) {
                            return static_cast<Kvor::Runtime*>(runtime)->EditText(record);
                        },
                        &extension->Runtime};
    Kvor::Guarded([&] { extension->Debugger.EditItem(id, edit); }, Kvor::debugger_errors);
}
