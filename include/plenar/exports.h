// The plug-in interface: the 45 functions a plug-in exports under these exact
// names. All are stdcall except GetHelpFileName and GetDependencies (cdecl,
// no arguments). Arguments and results are 32 bits wide on the host (words
// that may carry a pointer are pointer-sized in the 64-bit test builds). The
// host calls them on its own thread, one at a time, Initialize first.
//
// When the host calls what (each family below is marked editor-time, when
// the user edits a project, or run-time, when a built application runs):
//   loading      Initialize; GetInfos, GetObjInfos, GetHelpFileName,
//                GetDependencies; Free before unloading
//   placing      GetRunObjectInfos (a new block's size) -> CreateObject ->
//   the sheet    GetProperties -> services 1 (insert the descriptors), then
//                5 (resize the block, which may move) and 18 (notice) the
//                first time; GetPropValue / GetPropCheck, SetPropValue /
//                SetPropCheck (each may resize: services 5 and 18);
//                ReleaseProperties when the sheet closes
//   opening      LoadObject -> service 18; UnloadObject on closing
//   events       GetActionMenu -> GetActionCodeFromMenu -> GetActionInfos,
//                GetActionString / GetActionTitle (and the same for
//                conditions and expressions)
//   running      GetRunObjectDataSize -> CreateRunObject -> per frame
//                HandleRunObject and the routines of the RunObjectInfo
//                tables (run_data.h) -> DestroyRunObject; PauseRunObject and
//                ContinueRunObject around a pause; the debugger exports
//                while the host's debugger shows the instance
#pragma once

#include "abi.h"
#include "plenarcore.h"
#include "prop_values.h"
#include "records.h"
#include "run_object_info.h"
#include "services.h"
#include "text.h"

namespace plenar {

struct Rect {
    int32_t left, top, right, bottom;
};
static_assert(sizeof(Rect) == 16);

using Menu = void*;  // a Windows menu handle; a returned copy belongs to the host

namespace exports {
// lifecycle (both)
using Initialize = int32_t(PLENAR_STDCALL*)(HostServices*, int32_t);  // 0 or -1
using Free = int32_t(PLENAR_STDCALL*)(HostServices*);                 // 0
// object (editor-time)
using CreateObject = int32_t(PLENAR_STDCALL*)(HostServices*, void*, void* edit_data);  // 0 or -1
using LoadObject = int32_t(PLENAR_STDCALL*)(HostServices*, void*, void* edit_data, int32_t);
using UnloadObject = void(PLENAR_STDCALL*)(HostServices*, void*, int32_t);
using SetEditSize = int32_t(PLENAR_STDCALL*)(HostServices*, void* edit_data, int32_t, int32_t);
using GetObjectRect = void(PLENAR_STDCALL*)(HostServices*, Rect*, void*, void* edit_data);
using EditorDisplay = void(PLENAR_STDCALL*)(HostServices*, void*, void*, void*, Rect*);
using MakeIconEx = int32_t(PLENAR_STDCALL*)(HostServices*, Surface*, void*, void*, void*);
// information (editor-time)
using GetObjInfos = void(PLENAR_STDCALL*)(HostServices*, void* edit_data, wchar* name,
                                          wchar* author, wchar* copyright, wchar* comment,
                                          wchar* url);  // each 260 characters
using GetHelpFileName = const wchar*(PLENAR_CDECL*)();
using GetDependencies = const wchar* const*(PLENAR_CDECL*)();  // null-terminated
using GetInfos = uint32_t(PLENAR_STDCALL*)(int32_t code);
// actions, conditions, expressions (editor-time; code: signed 16-bit in a 32-bit argument)
using GetAceInfos = const AceRecord*(PLENAR_STDCALL*)(HostServices*, int32_t code);
using GetAceMenu = Menu(PLENAR_STDCALL*)(HostServices*, void* object_info, void* edit_data);
using GetCodeFromMenu = int32_t(PLENAR_STDCALL*)(HostServices*, int32_t menu_id);
using GetParamTitle = void*(PLENAR_STDCALL*)(HostServices*, int32_t code, int32_t param,
                                             wchar* buffer, int32_t size);
using GetAceString = void*(PLENAR_STDCALL*)(HostServices*, int32_t code, wchar* buffer,
                                            int32_t size);
// properties (editor-time)
using GetProperties = int32_t(PLENAR_STDCALL*)(HostServices*, void* edit_data, int32_t master);
using ReleaseProperties = void(PLENAR_STDCALL*)(HostServices*, void* edit_data, int32_t master);
using GetPropValue = PropValue*(PLENAR_STDCALL*)(HostServices*, void* edit_data, uint32_t id);
using GetPropCheck = int32_t(PLENAR_STDCALL*)(HostServices*, void* edit_data, uint32_t id);
using SetPropValue = void(PLENAR_STDCALL*)(HostServices*, void* edit_data, uint32_t id,
                                           PropValue* value);
using SetPropCheck = void(PLENAR_STDCALL*)(HostServices*, void* edit_data, uint32_t id,
                                           int32_t state);
// run-time object (GetRunObjectInfos editor-time, the rest run-time)
using GetRunObjectInfos = int32_t(PLENAR_STDCALL*)(HostServices*, RunObjectInfo*);
using GetRunObjectDataSize = uint32_t(PLENAR_STDCALL*)(void*, void*);
using CreateRunObject = int32_t(PLENAR_STDCALL*)(RunObjectHeader*, void* edit_data, void*);
using DestroyRunObject = int32_t(PLENAR_STDCALL*)(RunObjectHeader*, int32_t);
using RunObjectCall = int32_t(PLENAR_STDCALL*)(RunObjectHeader*);  // Handle/Pause/Continue
// debugger (run-time)
using GetDebugTree = const uint16_t*(PLENAR_STDCALL*)(RunObjectHeader*);
using GetDebugItem = void(PLENAR_STDCALL*)(wchar* buffer, RunObjectHeader*, int32_t id);
using EditDebugItem = void(PLENAR_STDCALL*)(RunObjectHeader*, int32_t id);
}  // namespace exports

// Every export with the bytes of arguments its callee removes on the 32-bit
// host (-1: cdecl) and whether its result is a pointer (on x64 the others
// leave only the low 32 bits of the result register defined).
enum ExportResult : uint8_t { export_number, export_pointer };
struct ExportEntry {
    const char* name;
    int32_t argument_bytes;
    ExportResult result;
};
inline constexpr ExportEntry export_table[] = {
    {"Initialize", 8, export_number},
    {"Free", 4, export_number},
    {"CreateObject", 12, export_number},
    {"LoadObject", 16, export_number},
    {"UnloadObject", 12, export_number},
    {"SetEditSize", 16, export_number},
    {"GetObjectRect", 16, export_number},
    {"EditorDisplay", 20, export_number},
    {"MakeIconEx", 20, export_number},
    {"GetObjInfos", 28, export_number},
    {"GetHelpFileName", -1, export_pointer},
    {"GetDependencies", -1, export_pointer},
    {"GetInfos", 4, export_number},
    {"GetActionInfos", 8, export_pointer},
    {"GetConditionInfos", 8, export_pointer},
    {"GetExpressionInfos", 8, export_pointer},
    {"GetActionMenu", 12, export_pointer},
    {"GetConditionMenu", 12, export_pointer},
    {"GetExpressionMenu", 12, export_pointer},
    {"GetActionCodeFromMenu", 8, export_number},
    {"GetConditionCodeFromMenu", 8, export_number},
    {"GetExpressionCodeFromMenu", 8, export_number},
    {"GetActionTitle", 20, export_pointer},
    {"GetConditionTitle", 20, export_pointer},
    {"GetExpressionParam", 20, export_pointer},
    {"GetActionString", 16, export_pointer},
    {"GetConditionString", 16, export_pointer},
    {"GetExpressionString", 16, export_pointer},
    {"GetExpressionTitle", 16, export_pointer},
    {"GetProperties", 12, export_number},
    {"ReleaseProperties", 12, export_number},
    {"GetPropValue", 12, export_pointer},
    {"GetPropCheck", 12, export_number},
    {"SetPropValue", 16, export_number},
    {"SetPropCheck", 16, export_number},
    {"GetRunObjectInfos", 8, export_number},
    {"GetRunObjectDataSize", 8, export_number},
    {"CreateRunObject", 12, export_number},
    {"DestroyRunObject", 8, export_number},
    {"HandleRunObject", 4, export_number},
    {"PauseRunObject", 4, export_number},
    {"ContinueRunObject", 4, export_number},
    {"GetDebugTree", 4, export_pointer},
    {"GetDebugItem", 12, export_number},
    {"EditDebugItem", 8, export_number},
};
static_assert(sizeof(export_table) / sizeof(export_table[0]) == 45);

}  // namespace plenar
