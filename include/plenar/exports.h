// The plug-in interface: the 45 functions a plug-in exports under these exact
// names. All are stdcall except GetHelpFileName and GetDependencies (cdecl,
// no arguments). Arguments and results are 32 bits wide. The host calls them
// on its own thread, one at a time, Initialize first.
#pragma once

#include "abi.h"
#include "plenarcore.h"
#include "prop_values.h"
#include "records.h"
#include "run_object_info.h"
#include "services.h"
#include "text.h"

namespace plenar {

struct Rect { int32_t left, top, right, bottom; };
static_assert(sizeof(Rect) == 16);

using Menu = void*;  // a Windows menu handle; a returned copy belongs to the host

namespace exports {
// lifecycle
using Initialize = int32_t(PLENAR_STDCALL*)(HostServices*, int32_t);          // 0 or -1
using Free = int32_t(PLENAR_STDCALL*)(HostServices*);                          // 0
// edit-time object
using CreateObject = int32_t(PLENAR_STDCALL*)(HostServices*, void*, void* edit_data);  // 0 or -1
using LoadObject = int32_t(PLENAR_STDCALL*)(HostServices*, void*, void* edit_data, int32_t);
using UnloadObject = void(PLENAR_STDCALL*)(HostServices*, void*, int32_t);
using SetEditSize = int32_t(PLENAR_STDCALL*)(HostServices*, void* edit_data, int32_t, int32_t);
using GetObjectRect = void(PLENAR_STDCALL*)(HostServices*, Rect*, void*, void* edit_data);
using EditorDisplay = void(PLENAR_STDCALL*)(HostServices*, void*, void*, void*, Rect*);
using MakeIconEx = int32_t(PLENAR_STDCALL*)(HostServices*, Surface*, void*, void*, void*);
// information
using GetObjInfos = void(PLENAR_STDCALL*)(HostServices*, void* edit_data, wchar* name,
                                          wchar* author, wchar* copyright, wchar* comment,
                                          wchar* url);  // each 260 characters
using GetHelpFileName = const wchar*(PLENAR_CDECL*)();
using GetDependencies = const wchar* const*(PLENAR_CDECL*)();  // null-terminated
using GetInfos = uint32_t(PLENAR_STDCALL*)(int32_t code);
// actions, conditions, expressions (code: signed 16-bit in a 32-bit argument)
using GetAceInfos = const AceRecord*(PLENAR_STDCALL*)(HostServices*, int32_t code);
using GetAceMenu = Menu(PLENAR_STDCALL*)(HostServices*, void* object_info, void* edit_data);
using GetCodeFromMenu = int32_t(PLENAR_STDCALL*)(HostServices*, int32_t menu_id);
using GetParamTitle = void*(PLENAR_STDCALL*)(HostServices*, int32_t code, int32_t param,
                                             wchar* buffer, int32_t size);
using GetAceString = void*(PLENAR_STDCALL*)(HostServices*, int32_t code, wchar* buffer,
                                            int32_t size);
// properties
using GetProperties = int32_t(PLENAR_STDCALL*)(HostServices*, void* edit_data, int32_t master);
using ReleaseProperties = void(PLENAR_STDCALL*)(HostServices*, void* edit_data, int32_t master);
using GetPropValue = PropValue*(PLENAR_STDCALL*)(HostServices*, void* edit_data, uint32_t id);
using GetPropCheck = int32_t(PLENAR_STDCALL*)(HostServices*, void* edit_data, uint32_t id);
using SetPropValue = void(PLENAR_STDCALL*)(HostServices*, void* edit_data, uint32_t id,
                                           PropValue* value);
using SetPropCheck = void(PLENAR_STDCALL*)(HostServices*, void* edit_data, uint32_t id,
                                           int32_t state);
// run-time object
using GetRunObjectInfos = int32_t(PLENAR_STDCALL*)(HostServices*, RunObjectInfo*);
using GetRunObjectDataSize = uint32_t(PLENAR_STDCALL*)(void*, void*);
using CreateRunObject = int32_t(PLENAR_STDCALL*)(RunObjectHeader*, void* edit_data, void*);
using DestroyRunObject = int32_t(PLENAR_STDCALL*)(RunObjectHeader*, int32_t);
using RunObjectCall = int32_t(PLENAR_STDCALL*)(RunObjectHeader*);  // Handle/Pause/Continue
// debugger
using GetDebugTree = const uint16_t*(PLENAR_STDCALL*)(RunObjectHeader*);
using GetDebugItem = void(PLENAR_STDCALL*)(wchar* buffer, RunObjectHeader*, int32_t id);
using EditDebugItem = void(PLENAR_STDCALL*)(RunObjectHeader*, int32_t id);
}  // namespace exports

// Every export with the bytes of arguments its callee removes (-1: cdecl).
struct ExportEntry { const char* name; int32_t argument_bytes; };
inline constexpr ExportEntry export_table[] = {
    {"Initialize", 8}, {"Free", 4}, {"CreateObject", 12}, {"LoadObject", 16},
    {"UnloadObject", 12}, {"SetEditSize", 16}, {"GetObjectRect", 16}, {"EditorDisplay", 20},
    {"MakeIconEx", 20}, {"GetObjInfos", 28}, {"GetHelpFileName", -1}, {"GetDependencies", -1},
    {"GetInfos", 4}, {"GetActionInfos", 8}, {"GetConditionInfos", 8}, {"GetExpressionInfos", 8},
    {"GetActionMenu", 12}, {"GetConditionMenu", 12}, {"GetExpressionMenu", 12},
    {"GetActionCodeFromMenu", 8}, {"GetConditionCodeFromMenu", 8},
    {"GetExpressionCodeFromMenu", 8}, {"GetActionTitle", 20}, {"GetConditionTitle", 20},
    {"GetExpressionParam", 20}, {"GetActionString", 16}, {"GetConditionString", 16},
    {"GetExpressionString", 16}, {"GetExpressionTitle", 16}, {"GetProperties", 12},
    {"ReleaseProperties", 12}, {"GetPropValue", 12}, {"GetPropCheck", 12}, {"SetPropValue", 16},
    {"SetPropCheck", 16}, {"GetRunObjectInfos", 8}, {"GetRunObjectDataSize", 8},
    {"CreateRunObject", 12}, {"DestroyRunObject", 8}, {"HandleRunObject", 4},
    {"PauseRunObject", 4}, {"ContinueRunObject", 4}, {"GetDebugTree", 4}, {"GetDebugItem", 12},
    {"EditDebugItem", 8},
};
static_assert(sizeof(export_table) / sizeof(export_table[0]) == 45);

}  // namespace plenar
