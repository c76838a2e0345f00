// The exports: all 45 present, each balancing the stack for its convention
// when called as the host calls it; Initialize quiet and successful.
#include <cstring>
#include "check_support.h"
#include "plenar/exports.h"

namespace plenar::cli {
namespace {

CheckOutcome exports_present_and_balanced(const CheckContext& context) {
    auto session = open_session(context);
    const std::vector<std::string> missing = session->plugin().missing_exports();
    if (!missing.empty()) {
        std::string names;
        for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
        return fail(std::to_string(missing.size()) + " exports missing: " + names);
    }
    HostServices* services = session->host().services();
    session->call("Initialize", services, 0);
    session->call("GetInfos", 0);
    session->call("GetHelpFileName");
    session->call("GetDependencies");
    RunObjectInfo info;
    session->run_object_info(info);
    void* block = session->new_block();
    session->call_on_block(block, "CreateObject", services, nullptr, block);
    Rect rect{};
    session->call("GetObjectRect", services, &rect, nullptr, block);
    session->call_on_block(block, "SetEditSize", services, block, 32, 32);
    session->host().editor_surface();  // the editor window's surface, made before drawing
    Rect drawn{10, 20, 110, 70};
    session->call("EditorDisplay", services, 0, 0, 0, &drawn);  // into the host's editor window
    Surface icon;
    session->call("MakeIconEx", services, &icon, 0, 0, 0);
    wchar texts[5][260] = {};
    session->call("GetObjInfos", services, block, texts[0], texts[1], texts[2], texts[3], texts[4]);
    wchar buffer[256];
    for (const char* family : {"Action", "Condition", "Expression"}) {
        const std::string name = family;
        session->call((("Get" + name + "Infos")).c_str(), services, 0);
        session->call(("Get" + name + "Menu").c_str(), services, nullptr, block);
        session->call(("Get" + name + "CodeFromMenu").c_str(), services, 25000);
        session->call(("Get" + name + "String").c_str(), services, 0, buffer, 256);
    }
    session->call("GetActionTitle", services, 0, 0, buffer, 256);
    session->call("GetConditionTitle", services, 0, 0, buffer, 256);
    session->call("GetExpressionParam", services, 0, 0, buffer, 256);
    session->call("GetExpressionTitle", services, 0, buffer, 256);
    session->call_on_block(block, "GetProperties", services, block, 0);
    session->call("GetPropCheck", services, block, property_id_base);
    session->call_on_block(block, "SetPropCheck", services, block, property_id_base, 0);
    if (auto* object =
            session->call("GetPropValue", services, block, property_id_base).pointer<PropValue>()) {
        session->call_on_block(block, "SetPropValue", services, block, property_id_base, object);
        object->Delete();
    }
    session->call("GetRunObjectDataSize", nullptr, nullptr);
    if (RunObjectHeader* run = session->host().create_run_data(session->plugin())) {
        session->call("CreateRunObject", run, block, nullptr);
        session->call("HandleRunObject", run);
        session->call("PauseRunObject", run);
        session->call("ContinueRunObject", run);
        session->call("GetDebugTree", run);
        session->call("GetDebugItem", buffer, run, 0);
        session->call("EditDebugItem", run, 0);
        session->call("DestroyRunObject", run, 0);
    }
    session->call("ReleaseProperties", services, block, 0);
    session->call("UnloadObject", services, nullptr, 0);
    session->call("Free", services);
    const std::string faults = stack_faults(*session);
    if (!faults.empty()) return fail(faults);
    return sim::stack_measured
               ? pass()
               : pass(std::string("stack balance ") + sim::stack_not_measured_reason);
}

CheckOutcome initialize_quietly(const CheckContext& context) {
    auto session = open_session(context);
    const sim::CallResult result = session->call("Initialize", session->host().services(), 0);
    if (!result.found) return fail("Initialize is not exported");
    if (!result.balanced()) return fail(stack_faults(*session));
    if (result.value != 0)
        return fail("Initialize returned " + std::to_string(static_cast<int32_t>(result.value)));
    const std::string boxes = message_boxes_since(0);
    return boxes.empty() ? pass() : fail("Initialize showed " + boxes);
}

}  // namespace

extern const Check exports_check = {
    "exports",
    "every one of the host's 45 exports is present and, called as the host calls it, balances the "
    "stack for its calling convention",
    &exports_present_and_balanced};
extern const Check initialize_check = {"initialize", "Initialize succeeds without a message box",
                                       &initialize_quietly};

}  // namespace plenar::cli
