// Every linked member's declared parameters match: creating a run object
// links the members, and the plug-in reports a disagreement in a message box.
#include "check_support.h"
#include "plenar_sim/sim.h"

namespace plenar::cli {
namespace {

CheckOutcome members_match_declarations(const CheckContext& context) {
    std::string problem;
    auto session = initialised_session(context, problem);
    if (!session) return fail(problem);
    void* block = session->new_block();
    session->call_on_block(block, "GetProperties", session->host().services(), block, 0);
    const size_t before = message_box_count();
    if (!session->create_and_destroy_run_object(block)) {
        const std::string boxes = message_boxes_since(before);
        return fail("CreateRunObject or DestroyRunObject failed" +
                    (boxes.empty() ? "" : " after " + boxes));
    }
    const std::string boxes = message_boxes_since(before);
    if (!boxes.empty()) return fail("CreateRunObject showed " + boxes);
    const std::string faults = stack_faults(*session);
    return faults.empty() ? pass() : fail(faults);
}

}  // namespace

extern const Check linking_check = {
    "linking",
    "creating a run object links every member without a message box (\"Tovrandi - "
    "Error linking ...\": declared parameters disagree with the member)",
    &members_match_declarations};

}  // namespace plenar::cli
