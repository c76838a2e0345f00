#include "records/ace_records.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "kvor/keys.h"
#include "load/language.h"
#include "text/report.h"
#include "sdk.h"

namespace Kvor {

RecordAllocator AllocateRecordMemory = std::calloc;

ACEInfo* ACEInfo::Allocate(int parameter_count) {
    const size_t size = sizeof(ACEInfo) + 2 * sizeof(uint16_t) * size_t(parameter_count);
    return static_cast<ACEInfo*>(AllocateRecordMemory(1, size));
}

void ACEInfo::Free(ACEInfo* record) { std::free(record); }

const char* AceKindName(AceKind kind) {
    switch (kind) {
        case AceKind::action: return "action";
        case AceKind::condition: return "condition";
        case AceKind::expression: return "expression";
    }
    return "";
}

const char* AceKindKey(AceKind kind) {
    switch (kind) {
        case AceKind::action: return key::language::Actions;
        case AceKind::condition: return key::language::Conditions;
        case AceKind::expression: return key::language::Expressions;
    }
    return "";
}

namespace {

template <size_t N>
uint16_t ReadTypeFrom(const ParameterType (&table)[N], const char* name, bool& float_bit) {
    if (const ParameterType* found = FindType(table, name)) {
        if (found->kind == ArgumentKind::floating) float_bit = true;
        return found->code;
    }
    Report(Kvor::message::unknown_parameter_type, name);
    return 0;
}

}  // namespace

uint16_t ReadParameterType(const char* name, bool& float_bit) {
    if (!name) name = "";
    if (!FindType(parameter_types, name) && StartsIgnoringAsciiCase(name, custom_type_prefix))
        return CustomParameterCode(name);
    return ReadTypeFrom(parameter_types, name, float_bit);
}

uint16_t ReadExpressionParameterType(const char* name, bool& float_bit) {
    return ReadTypeFrom(expression_parameter_types, name ? name : "", float_bit);
}

uint16_t ReadExpressionReturnType(const char* name) {
    if (!name) name = "";
    if (const ResultType* found = FindType(result_types, name)) return found->code;
    Report(Kvor::message::unknown_return_type, name);
    return 0;
}

namespace {

// What sets the three kinds apart.
struct Kind {
    AceKind kind;
    uint16_t (*read_type)(const char* name, bool& float_bit);
    uint16_t (*flags)(const json_value& entry);
    uint16_t (*placeholder_flags)(const json_value& entry);
};

uint16_t NoFlags(const json_value&) { return 0; }

uint16_t TriggerFlags(const json_value& entry) {
    return entry[key::entry::Triggered].boolean() ? 0 : plenar::condition_not_triggered;
}

uint16_t ReturnTypeFlags(const json_value& entry) {
    return ReadExpressionReturnType(entry[key::entry::Returns].text());
}

const Kind actions{AceKind::action, ReadParameterType, NoFlags, NoFlags};
const Kind conditions{AceKind::condition, ReadParameterType, TriggerFlags, TriggerFlags};
// A refused expression's "Returns" is not read: its message would add
// nothing, and a placeholder has no value the host could use anyway.
const Kind expressions{AceKind::expression, ReadExpressionParameterType, ReturnTypeFlags, NoFlags};

// Stands in for a refused entry so that record i keeps matching entry i and
// routine and member table i. If even this cannot be allocated, a null entry
// keeps the positions instead; the lookups below answer null for it.
bool FillPlaceholder(const Kind& kind, const json_value& entry, ACEInfo*& slot, int id) {
    slot = ACEInfo::Allocate(0);
    if (slot) {
        slot->ID = int16_t(id);
        slot->Flags = kind.placeholder_flags(entry);
    }
    return false;
}

bool ReadInfo(const Kind& kind) {
    if (!::SDK) return false;
    std::vector<ACEInfo*>& records = ::SDK->Entries(kind.kind).Records;
    const int id = int(records.size());
    // The record's place comes first: what is allocated for it then belongs
    // to the array at once, so a report that runs out of memory half way
    // leaves nothing unowned.
    records.push_back(nullptr);
    ACEInfo*& slot = records.back();
    const json_value& entry = CurrentLanguage()[AceKindKey(kind.kind)][int32_t(id)];
    const char* noun = AceKindName(kind.kind);
    if (entry.type != json_type_object) {
        ReportAbout(noun, Kvor::message::entry_not_object);
        return FillPlaceholder(kind, entry, slot, id);
    }
    // Only an array's elements can be read; anything else in its place
    // gives no parameters rather than a count made of unrelated bytes.
    const json_value& parameters = entry[key::entry::Parameters];
    const uint32_t count = parameters.type == json_type_array ? parameters.length() : 0;
    if (count > uint32_t(MaxParameters)) {
        ReportAbout(noun, Kvor::message::too_many_parameters, noun);
        return FillPlaceholder(kind, entry, slot, id);
    }
    slot = ACEInfo::Allocate(int(count));
    if (!slot) {
        ReportAbout(noun, Kvor::message::record_no_memory, noun);
        return FillPlaceholder(kind, entry, slot, id);
    }

    ACEInfo* record = slot;
    record->ID = int16_t(id);
    record->NumOfParams = int16_t(count);
    record->Flags = kind.flags(entry);
    for (uint32_t i = 0; i < count; ++i) {
        bool is_float = false;
        record->Parameter[i] =
            kind.read_type(parameters[int32_t(i)][key::parameter::type].text(), is_float);
        if (is_float) record->FloatFlags |= uint16_t(1u << i);
    }
    // The count words after the codes stay zero from the allocation.
    return true;
}

const ACEInfo* InfoAt(const std::vector<ACEInfo*>& records, int id) {
    if (id < 0 || size_t(id) >= records.size()) return nullptr;
    return records[size_t(id)];
}

}  // namespace

bool ReadActionInfo() { return ReadInfo(actions); }
bool ReadConditionInfo() { return ReadInfo(conditions); }
bool ReadExpressionInfo() { return ReadInfo(expressions); }

const ACEInfo* ActionInfoAt(int id) { return ::SDK ? InfoAt(::SDK->Actions.Records, id) : nullptr; }
const ACEInfo* ConditionInfoAt(int id) {
    return ::SDK ? InfoAt(::SDK->Conditions.Records, id) : nullptr;
}
const ACEInfo* ExpressionInfoAt(int id) {
    return ::SDK ? InfoAt(::SDK->Expressions.Records, id) : nullptr;
}

void FreeRecords(std::vector<ACEInfo*>& records) {
    for (ACEInfo* record : records) ACEInfo::Free(record);
    records.clear();
}

}  // namespace Kvor
