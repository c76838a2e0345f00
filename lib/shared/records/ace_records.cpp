#include "records/ace_records.h"

#include <algorithm>
#include <cstdlib>
#include <string>

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

namespace {

struct TypeName {
    const char* name;
    uint16_t code;
    bool is_float = false;
};

constexpr TypeName parameter_types[] = {
    {"Text", 45},         {"String", 45},       {"Filename", 40},
    {"File", 40},         {"Float", 22, true},  {"Integer", 22},
    {"Unsigned Integer", 22},                   {"Object", 1},
    {"Position", 8},      {"Create", 9},        {"SysCreate", 20},
    {"Animation", 10},    {"Nop", 11},          {"Player", 12},
    {"Every", 13},        {"Key", 14},          {"Speed", 15},
    {"JoyDirection", 17}, {"Shoot", 18},        {"Zone", 19},
    {"Comparison", 23},   {"StringComparison", 46},
    {"Colour", 24},       {"Color", 24},        {"Frame", 26},
    {"SampleLoop", 27},   {"MusicLoop", 28},    {"NewDirection", 29},
    {"TextNumber", 30},   {"Click", 31},        {"Program", 33},
};

constexpr TypeName expression_parameter_types[] = {
    {"Text", 3}, {"String", 3}, {"Float", 1, true}, {"Integer", 1}, {"Unsigned Integer", 1},
};

constexpr TypeName return_types[] = {
    {"Integer", 0}, {"Float", 2}, {"Text", 1}, {"String", 1}, {"Short", 0}, {"Unsigned Integer", 0},
};

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Compares at most `limit` characters, ignoring the case of ASCII letters only,
// so the outcome never depends on the locale or on bytes of UTF-8 names.
bool SameIgnoringAsciiCase(const char* a, const char* b, size_t limit = SIZE_MAX) {
    for (size_t i = 0; i < limit; ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
        if (a[i] == '\0') return true;
    }
    return true;
}

template <size_t N>
const TypeName* Find(const TypeName (&table)[N], const char* name) {
    for (const TypeName& entry : table)
        if (SameIgnoringAsciiCase(entry.name, name)) return &entry;
    return nullptr;
}

// The number after "Custom", read with atoi's syntax (blanks, a sign, digits),
// but held within what keeps 1000 + n a 16-bit code instead of overflowing.
uint16_t CustomCode(const char* p) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) value = std::min(value * 10 + (*p - '0'), 100000L);
    return uint16_t(std::clamp(1000 + (negative ? -value : value), 0L, 65535L));
}

uint16_t UnknownParameterType(const char* name) {
    const std::string text =
        std::string("Error reading Parameter type \"") + name + "\"; text did not match anything.";
    Report(text.c_str(), "Tovrandi - Error", report_error);
    return 0;
}

template <size_t N>
uint16_t ReadTypeFrom(const TypeName (&table)[N], const char* name, bool& float_bit) {
    if (const TypeName* found = Find(table, name)) {
        if (found->is_float) float_bit = true;
        return found->code;
    }
    return UnknownParameterType(name);
}

}  // namespace

uint16_t ReadParameterType(const char* name, bool& float_bit) {
    if (!name) name = "";
    if (!Find(parameter_types, name) && SameIgnoringAsciiCase(name, "Custom", 6))
        return CustomCode(name + 6);
    return ReadTypeFrom(parameter_types, name, float_bit);
}

uint16_t ReadExpressionParameterType(const char* name, bool& float_bit) {
    return ReadTypeFrom(expression_parameter_types, name ? name : "", float_bit);
}

uint16_t ReadExpressionReturnType(const char* name) {
    if (!name) name = "";
    if (const TypeName* found = Find(return_types, name)) return found->code;
    ReportFormatted(report_error, "Tovrandi - Error", 256,
                    "Error reading expression return; returns '%s', which is unrecognised.", name);
    return 0;
}

namespace {

// What sets the three kinds apart.
struct Kind {
    const char* member;  // the language's array of entries
    const char* noun;    // as the messages name the kind
    std::vector<ACEInfo*> SDK::*records;
    uint16_t (*read_type)(const char* name, bool& float_bit);
    uint16_t (*flags)(const json_value& entry);
    uint16_t (*placeholder_flags)(const json_value& entry);
};

uint16_t NoFlags(const json_value&) { return 0; }

uint16_t TriggerFlags(const json_value& entry) {
    return entry["Triggered"].boolean() ? 0 : plenar::condition_not_triggered;
}

uint16_t ReturnTypeFlags(const json_value& entry) {
    return ReadExpressionReturnType(entry["Returns"].text());
}

const Kind actions{"Actions", "action", &SDK::ActionInfos, ReadParameterType, NoFlags, NoFlags};
const Kind conditions{"Conditions", "condition", &SDK::ConditionInfos, ReadParameterType,
                      TriggerFlags, TriggerFlags};
// A refused expression's "Returns" is not read: its message would add
// nothing, and a placeholder has no value the host could use anyway.
const Kind expressions{"Expressions", "expression", &SDK::ExpressionInfos,
                       ReadExpressionParameterType, ReturnTypeFlags, NoFlags};

// Stands in for a refused entry so that record i keeps matching entry i and
// routine and member table i. If even this cannot be allocated, a null entry
// keeps the positions instead; the lookups below answer null for it.
bool AppendPlaceholder(const Kind& kind, const json_value& entry, std::vector<ACEInfo*>& records,
                       int id) {
    ACEInfo* placeholder = ACEInfo::Allocate(0);
    if (placeholder) {
        placeholder->ID = int16_t(id);
        placeholder->Flags = kind.placeholder_flags(entry);
    }
    records.push_back(placeholder);
    return false;
}

bool ReadInfo(const Kind& kind) {
    if (!::SDK) return false;
    std::vector<ACEInfo*>& records = ::SDK->*kind.records;
    const int id = int(records.size());
    const json_value& entry = CurrentLanguage()[kind.member][int32_t(id)];
    const std::string caption = std::string("Tovrandi - Error reading ") + kind.noun;

    if (entry.type != json_type_object) {
        Report("Invalid JSON reference, expected object.", caption.c_str(), report_error);
        return AppendPlaceholder(kind, entry, records, id);
    }
    // Only an array's elements can be read; anything else in its place
    // gives no parameters rather than a count made of unrelated bytes.
    const json_value& parameters = entry["Parameters"];
    const uint32_t count = parameters.type == json_type_array ? parameters.length() : 0;
    if (count > uint32_t(MaxParameters)) {
        Report((std::string("Too many parameters in ") + kind.noun + ".").c_str(), caption.c_str(),
               report_error);
        return AppendPlaceholder(kind, entry, records, id);
    }
    ACEInfo* record = ACEInfo::Allocate(int(count));
    if (!record) {
        Report((std::string("Could not allocate memory for ") + kind.noun + " return.").c_str(),
               (std::string("Tovrandi - Error creating ") + kind.noun + " info").c_str(),
               report_error);
        return AppendPlaceholder(kind, entry, records, id);
    }

    record->ID = int16_t(id);
    record->NumOfParams = int16_t(count);
    record->Flags = kind.flags(entry);
    for (uint32_t i = 0; i < count; ++i) {
        bool is_float = false;
        record->Parameter[i] = kind.read_type(parameters[int32_t(i)][0].text(), is_float);
        if (is_float) record->FloatFlags |= uint16_t(1u << i);
    }
    // The count words after the codes stay zero from the allocation.
    records.push_back(record);
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

const ACEInfo* ActionInfoAt(int id) { return ::SDK ? InfoAt(::SDK->ActionInfos, id) : nullptr; }
const ACEInfo* ConditionInfoAt(int id) {
    return ::SDK ? InfoAt(::SDK->ConditionInfos, id) : nullptr;
}
const ACEInfo* ExpressionInfoAt(int id) {
    return ::SDK ? InfoAt(::SDK->ExpressionInfos, id) : nullptr;
}

void FreeRecords(std::vector<ACEInfo*>& records) {
    for (ACEInfo* record : records) ACEInfo::Free(record);
    records.clear();
}

}  // namespace Kvor
