// The records of actions, conditions and expressions: menus that lead to
// records, counts that agree, and ids out of range that do no harm.
#include <windows.h>
#include <functional>
#include "check_support.h"
#include "plenar/exports.h"

namespace plenar::cli {
namespace {

struct Family {
    const char* name;   // "Action"
    int32_t menu_base;  // 25000
    uint16_t RunObjectInfo::*count;
    const char* parameter_title;  // the export naming a parameter
};

const Family families[] = {
    {"Action", 25000, &RunObjectInfo::action_count, "GetActionTitle"},
    {"Condition", 26000, &RunObjectInfo::condition_count, "GetConditionTitle"},
    {"Expression", 27000, &RunObjectInfo::expression_count, "GetExpressionParam"},
};

std::string export_of(const Family& family, const char* what) {
    return std::string("Get") + family.name + what;
}

// Every item identifier of a menu tree, popups followed.
void collect_menu_ids(HMENU menu, std::vector<uint32_t>& ids) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU popup = GetSubMenu(menu, i)) {
            collect_menu_ids(popup, ids);
            continue;
        }
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID;
        if (GetMenuItemInfoW(menu, i, TRUE, &item) && !(item.fType & MFT_SEPARATOR))
            ids.push_back(item.wID);
    }
}

CheckOutcome menus_lead_to_records(const CheckContext& context) {
    std::string problem;
    auto session = initialised_session(context, problem);
    if (!session) return fail(problem);
    HostServices* services = session->host().services();
    void* block = session->new_block();
    for (const Family& family : families) {
        const HMENU menu =
            session->call(export_of(family, "Menu").c_str(), services, nullptr, block)
                .pointer<HMENU__>();
        if (!menu) continue;  // no menu: nothing to lead anywhere
        std::vector<uint32_t> ids;
        collect_menu_ids(menu, ids);
        for (uint32_t id : ids) {
            const int32_t code = static_cast<int32_t>(
                session->call(export_of(family, "CodeFromMenu").c_str(), services, id).value);
            const void* record =
                session->call(export_of(family, "Infos").c_str(), services, code).pointer<void>();
            if (!record)
                return fail(std::string(family.name) + " menu entry " + std::to_string(id) +
                            " gives code " + std::to_string(code) + ", which has no record");
        }
        DestroyMenu(menu);
    }
    const std::string faults = stack_faults(*session);
    return faults.empty() ? pass() : fail(faults);
}

CheckOutcome counts_agree(const CheckContext& context) {
    std::string problem;
    auto session = initialised_session(context, problem);
    if (!session) return fail(problem);
    RunObjectInfo info;
    if (!session->run_object_info(info)) return fail("GetRunObjectInfos did not answer 1");
    for (const Family& family : families) {
        int records = 0;
        while (
            records < 32767 &&
            session->call(export_of(family, "Infos").c_str(), session->host().services(), records)
                .value)
            ++records;
        if (records != info.*family.count)
            return fail(std::string(family.name) + " records: GetRunObjectInfos counts " +
                        std::to_string(info.*family.count) + ", Get" + family.name +
                        "Infos answers " + std::to_string(records));
    }
    return pass();
}

// Ids every export taking one must survive: the ends of the range and beyond.
std::vector<int32_t> probe_ids(int32_t count) {
    std::vector<int32_t> ids = {-1, 32767, count, count + 1};
    for (int32_t id = 0; id < count; ++id) ids.push_back(id);
    return ids;
}

CheckOutcome every_id_is_survived(const CheckContext& context) {
    std::string problem;
    auto session = initialised_session(context, problem);
    if (!session) return fail(problem);
    HostServices* services = session->host().services();
    RunObjectInfo info;
    if (!session->run_object_info(info)) return fail("GetRunObjectInfos did not answer 1");
    wchar buffer[260];
    for (const Family& family : families) {
        const std::vector<int32_t> ids = probe_ids(info.*family.count);
        const bool expression = std::string(family.name) == "Expression";
        for (int32_t id : ids) {
            session->call(export_of(family, "Infos").c_str(), services, id);
            session->call(export_of(family, "CodeFromMenu").c_str(), services,
                          family.menu_base + id);
            session->call(export_of(family, "CodeFromMenu").c_str(), services, id);
            session->call(export_of(family, "String").c_str(), services, id, buffer, 260);
            if (expression) session->call("GetExpressionTitle", services, id, buffer, 260);
            for (int32_t parameter : {-1, 0, 1, 16, 17, 32767})
                session->call(family.parameter_title, services, id, parameter, buffer, 260);
        }
    }
    void* block = session->new_block();
    session->call_on_block(block, "GetProperties", services, block, 0);
    for (int32_t index : probe_ids(16)) {
        for (uint32_t id :
             {property_id_base + static_cast<uint32_t>(index), static_cast<uint32_t>(index)}) {
            session->call("GetPropCheck", services, block, id);
            session->call_on_block(block, "SetPropCheck", services, block, id, 1);
            if (auto* value =
                    session->call("GetPropValue", services, block, id).pointer<PropValue>())
                value->Delete();
        }
    }
    for (int32_t code : probe_ids(32)) session->call("GetInfos", code);
    if (RunObjectHeader* run = session->host().create_run_data(session->plugin())) {
        if (session->call("CreateRunObject", run, block, nullptr).value == 0) {
            for (int32_t id : probe_ids(16)) {
                session->call("GetDebugItem", buffer, run, id);
                session->call("EditDebugItem", run, id);
            }
            session->call("DestroyRunObject", run, 0);
        }
    }
    const std::string faults = stack_faults(*session);
    return faults.empty() ? pass() : fail(faults);
}

}  // namespace

extern const Check menus_check = {
    "menus", "every menu entry leads through Get*CodeFromMenu to an existing record",
    &menus_lead_to_records};
extern const Check counts_check = {
    "record-counts",
    "GetRunObjectInfos' counts equal the records Get*Infos answers from id 0 upward",
    &counts_agree};
extern const Check ids_check = {
    "ids",
    "every export taking an id or code survives ids in and out of range (-1, 32767, count, "
    "count + 1) with the stack balanced",
    &every_id_is_survived};

}  // namespace plenar::cli
