// Everything an object type's own code uses from the SDK, in one header: an
// object type's sources include this alone; the rest of lib/shared is the
// SDK's own.
//
// An object type is its description, one class named Extension and an icon.
// The SDK makes one Extension per instance of the object in a running
// application (CreateRunObject) and deletes it with the instance. The export
// glue finds the class through the object type's own "extension.h".
//
// The class must have:
//   Extension(plenar::RunObjectHeader* run_data, void* edit_data, void* creation);
//       run_data: the instance's run data, owned by the host, valid for the
//       object's life; edit_data: the instance's stored property values (read
//       them with Kvor::StoredNumber, in the constructor only); creation: the
//       host's creation record, valid during the constructor only.
//   Kvor::Runtime Runtime;    // constructed from run_data: the host's run-time calls
//   Kvor::Debugger Debugger;  // constructed from `this`: the debugger's items
// and, for each action, condition and expression it runs, a member linked in
// its constructor: Kvor::LinkAction<&Extension::SetCount>(0) and so on.
//
// The class may have (the SDK's behaviour without them in brackets):
//   void UnlinkedAction(int32_t id, plenar::RunObjectHeader*, plenar::Word, plenar::Word);
//                                   [nothing]  an action id with no member linked
//   bool UnlinkedCondition(int32_t id, plenar::RunObjectHeader*, plenar::Word, plenar::Word);
//                                   [false]    a condition id with no member linked
//   plenar::Word UnlinkedExpression(int32_t id, plenar::RunObjectHeader*, plenar::Word);
//                                   [0]        an expression id with no member linked
//   int32_t Handle();               [1]        every frame; its answer goes to the host
//   int32_t Pause();                [nothing]  when the application pauses and continues
// A member declared with other parameters is a compile error, not a silent
// fallback.
#pragma once

#include "platform/platform.h"      // Kvor::WideChar and Kvor::WideString: the host's texts
#include "plenar/run_data.h"        // plenar::RunObjectHeader, plenar::Word
#include "properties/run_values.h"  // Kvor::StoredNumber: stored property values
#include "runtime/debugger.h"       // Kvor::Debugger: items the host's debugger shows
#include "runtime/linking.h"        // Kvor::LinkAction, LinkCondition, LinkExpression
#include "runtime/runtime.h"        // Kvor::Runtime: copies of texts for the host, edit dialogs
