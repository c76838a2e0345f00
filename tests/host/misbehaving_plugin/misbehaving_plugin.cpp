// A tiny plug-in that misbehaves where a test tells it to, without being
// rebuilt: each export first reads misbehaviour.txt beside the plug-in, one
// "EXPORT ACTION" a line, and does every action named for it:
//   print  writes a line to standard output, as a chatty plug-in does
//   crash  writes to an address nothing is mapped at (an access violation)
//   hang   sleeps for ever
//   exit   ends the process with exit code 0, as a plug-in calling exit() does
//   throw  lets a C++ exception out
//   box    shows a message box of its own
// and then answers as a quiet plug-in with nothing to offer would, whatever
// the host passed. GetRunObjectInfos ordered "tables" hands over one action,
// condition and expression, each taking one integer; their routines (named
// Action, Condition and Expression in the orders) also know
//   crash-on-minimum  crash when the integer is INT_MIN
#include <windows.h>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include "plenar/edit_data.h"
#include "plenar/run_object_info.h"

using namespace plenar;

namespace {

HINSTANCE self;

std::wstring orders_path() {
    wchar_t path[MAX_PATH];
    const std::wstring file(path, GetModuleFileNameW(self, path, MAX_PATH));
    return file.substr(0, file.find_last_of(L"\\/") + 1) + L"misbehaviour.txt";
}

void crash() {
    volatile uintptr_t nowhere = 16;  // read at run time: the compiler cannot call it undefined
    *reinterpret_cast<volatile int*>(nowhere) = 1;
}

bool ordered(const char* export_name, const char* wanted) {
    std::ifstream orders(orders_path().c_str());
    std::string name, action;
    while (orders >> name >> action)
        if (name == export_name && action == wanted) return true;
    return false;
}

void misbehave(const char* export_name) {
    std::ifstream orders(orders_path().c_str());
    std::string name, action;
    while (orders >> name >> action) {
        if (name != export_name) continue;
        if (action == "print") {
            std::printf("misbehaving plug-in: %s was called\n", export_name);
            std::fflush(stdout);
        } else if (action == "crash") {
            crash();
        } else if (action == "throw") {
            throw std::runtime_error("misbehaving plug-in");
        } else if (action == "box") {
            MessageBoxA(nullptr, "misbehaving plug-in", export_name, MB_OK);
        } else if (action == "hang") {
            for (;;) Sleep(INFINITE);
        } else if (action == "exit") {
            ExitProcess(0);
        }
    }
}

// One integer parameter: id, flags, count, its code, a zero word.
const uint16_t action_record[] = {0, 0, 1, 22, 0};
const uint16_t expression_record[] = {0, 0, 1, 1, 0};

void take_integer(const char* routine, Word value) {
    misbehave(routine);
    if (static_cast<int32_t>(value) == INT_MIN && ordered(routine, "crash-on-minimum")) crash();
}

int32_t PLENAR_STDCALL action(RunObjectHeader* run, Word, Word) {
    take_integer("Action", run->run_header->get_parameter(run, fetch_integer, 0));
    return 0;
}

int32_t PLENAR_STDCALL condition(RunObjectHeader* run, Word, Word) {
    take_integer("Condition", run->run_header->get_parameter(run, fetch_integer, 0));
    return 0;
}

Word PLENAR_STDCALL expression(RunObjectHeader* run, Word argument) {
    take_integer("Expression",
                 run->run_header->first_expression_parameter(run, fetch_integer, argument));
    return 0;
}

const ActionRoutine actions[] = {&action, nullptr};
const ConditionRoutine conditions[] = {&condition, nullptr};
const ExpressionRoutine expressions[] = {&expression, nullptr};

const void* record_for(int32_t id, const uint16_t* record) { return id == 0 ? record : nullptr; }

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

int32_t __stdcall Initialize(void*, int32_t) {
    misbehave("Initialize");
    return 0;
}

void* __stdcall GetActionMenu(void*, void*, void*) {
    misbehave("GetActionMenu");
    return nullptr;
}

int32_t __stdcall Free(void*) {
    misbehave("Free");
    return 0;
}

int32_t __stdcall GetRunObjectInfos(void*, RunObjectInfo* info) {
    misbehave("GetRunObjectInfos");
    if (!ordered("GetRunObjectInfos", "tables")) return 0;
    *info = RunObjectInfo{};
    info->actions = actions;
    info->conditions = conditions;
    info->expressions = expressions;
    info->action_count = info->condition_count = info->expression_count = 1;
    info->edit_data_size = sizeof(EditDataHeader);
    return 1;
}

const void* __stdcall GetActionInfos(void*, int32_t id) { return record_for(id, action_record); }
const void* __stdcall GetConditionInfos(void*, int32_t id) { return record_for(id, action_record); }
const void* __stdcall GetExpressionInfos(void*, int32_t id) {
    return record_for(id, expression_record);
}

}  // extern "C"
