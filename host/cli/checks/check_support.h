// What the checks share: a loaded and initialised plug-in, and the message
// boxes it raised, told in a failure reason.
#pragma once

#include <memory>
#include <string>
#include "check.h"
#include "plugin_session.h"

namespace plenar::cli {

// The plug-in loaded for `context`, the interception's records cleared.
std::unique_ptr<PluginSession> open_session(const CheckContext& context);

// Loaded and initialised; `problem` tells why not when it returns null.
std::unique_ptr<PluginSession> initialised_session(const CheckContext& context,
                                                   std::string& problem);

// "message box "CAPTION": TEXT" for the first box recorded since `first`,
// or "" when there is none.
std::string message_boxes_since(size_t first);
size_t message_box_count();

// What a check is doing now ("action 3 (INT_MIN, null text)"), so that a
// crash in its process can be reported with it; "" between steps.
void set_current_step(std::string step);
const std::string& current_step();

// The stack faults of the session as one reason, "" when none.
std::string stack_faults(const PluginSession& session);

}  // namespace plenar::cli
