#include "runtime/runtime.h"

namespace Kvor {

namespace {
constexpr uint32_t base_view_size = 146;
constexpr uint32_t extended_view_size = 24;
}  // namespace

Runtime::Runtime(plenar::RunObjectHeader* run_data)
    : RunData(run_data), FirstParameter(0), SecondParameter(0), View{} {
    plenar::RunHeader* header = run_data ? run_data->run_header : nullptr;
    View.RunHeader = header;
    View.Size = base_view_size;
    if (!header) return;
    View.Values[0] = header->value_058;
    View.Values[1] = header->value_090;
    View.Values[2] = header->value_1278;
    plenar::HostServices* services = header->services;
    if (services && services->service &&
        services->service(nullptr, plenar::service_query_113, 0, 0, 0) != 0)
        View.Size += extended_view_size;
}

WideChar* Runtime::CopyString(const WideChar* text) {
    static const WideChar empty[1] = {0};
    if (!text) text = empty;
    size_t length = 0;
    while (text[length]) ++length;
    plenar::RunHeader* header = RunData ? RunData->run_header : nullptr;
    if (!header || !header->allocate_string) return nullptr;
    auto* copy = static_cast<WideChar*>(header->allocate_string(
        RunData, 0, static_cast<uint32_t>((length + 1) * sizeof(WideChar))));
    if (!copy) return nullptr;
    for (size_t i = 0; i <= length; ++i) copy[i] = text[i];
    return copy;
}

int32_t Runtime::EditNumber(plenar::EditRecord* record) {
    plenar::RunHeader* header = RunData ? RunData->run_header : nullptr;
    return header && header->edit_number ? header->edit_number(RunData, 0, record) : 0;
}

int32_t Runtime::EditText(plenar::EditRecord* record) {
    plenar::RunHeader* header = RunData ? RunData->run_header : nullptr;
    return header && header->edit_text ? header->edit_text(RunData, 0, record) : 0;
}

}  // namespace Kvor
