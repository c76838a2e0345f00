// Run-time dispatch with random ids, host words, parameter values and null
// texts: a description (a built-in one, or one from the input), members of
// many shapes linked to random ids (mismatches included), then a script of
// actions, conditions and expressions answered by a fake host from the input.
// Each call goes through the table entry of its id, as the host makes it (a
// linked member's own routine, or the generic one), and then once more
// through the generic routine with the same answers: the host must see the
// same of both.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <deque>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "runtime/linking.h"
#include "fuzz_support.h"
#include "platform/platform_recorder.h"
#include "records/ace_records.h"

namespace {

using Kvor::WideChar;
using Text = const WideChar*;

const char* const builtin_description = R"({"Identifier": "FUZZ", "L": {"About": {"Name": "F"},
  "Actions": [
    {"Title": "none"}, {"Title": "i", "Parameters": [["Integer", "a"]]},
    {"Title": "f", "Parameters": [["Float", "a"]]}, {"Title": "t", "Parameters": [["Text", "a"]]},
    {"Title": "ii", "Parameters": [["Integer", "a"], ["Integer", "b"]]},
    {"Title": "ti", "Parameters": [["Text", "a"], ["Integer", "b"]]},
    {"Title": "if", "Parameters": [["Integer", "a"], ["Float", "b"]]},
    {"Title": "ft", "Parameters": [["Float", "a"], ["File", "b"]]},
    {"Title": "tt", "NumAutoProps": 1, "Parameters": [["Text", "a"], ["Text", "b"]]},
    {"Title": "o", "Parameters": [["Object", "a"]]}],
  "Conditions": [
    {"Title": "none"}, {"Title": "i", "Parameters": [["Integer", "a"]]},
    {"Title": "ii", "Parameters": [["Integer", "a"], ["Integer", "b"]]},
    {"Title": "t", "Triggered": true, "Parameters": [["Text", "a"]]},
    {"Title": "f", "Parameters": [["Float", "a"]]},
    {"Title": "ti", "Parameters": [["Text", "a"], ["Integer", "b"]]}],
  "Expressions": [
    {"Title": "I(", "Returns": "Integer"},
    {"Title": "Ii(", "Returns": "Integer", "Parameters": [["Integer", "a"]]},
    {"Title": "Iii(", "Returns": "Integer", "Parameters": [["Integer", "a"], ["Integer", "b"]]},
    {"Title": "Ff(", "Returns": "Float", "Parameters": [["Float", "a"]]},
    {"Title": "F(", "Returns": "Float"},
    {"Title": "T$(", "Returns": "Text"},
    {"Title": "Tt$(", "Returns": "String", "Parameters": [["String", "a"]]},
    {"Title": "Tti$(", "Returns": "Text", "Parameters": [["Text", "a"], ["Integer", "b"]]},
    {"Title": "Iif(", "Returns": "Integer", "Parameters": [["Integer", "a"], ["Float", "b"]]},
    {"Title": "Ft(", "Returns": "Float", "Parameters": [["Text", "a"]]}]
}})";

// The fake host of one input: every answer comes from the input, and is
// kept so that the same call can be answered alike a second time.
struct FakeHost {
    FuzzedDataProvider* input = nullptr;
    std::deque<std::basic_string<WideChar>> texts;    // handed out as parameters
    std::set<Text> handed;                            // their addresses
    std::deque<std::basic_string<WideChar>> results;  // host memory for result strings
    std::set<const WideChar*> result_blocks;
    std::vector<std::pair<int32_t, plenar::Word>> answers;  // this call's fetches: type, word
    std::vector<bool> allocations;                          // this call's string requests: granted?
    bool replaying = false;
    size_t next_answer = 0, next_allocation = 0;
};
FakeHost* host = nullptr;

plenar::Word Word(Text text) { return reinterpret_cast<plenar::Word>(text); }

// A text or null for the types that may be a text; a number otherwise.
plenar::Word FreshAnswer(int32_t type) {
    FuzzedDataProvider& in = *host->input;
    if (type == plenar::fetch_generic || type == plenar::fetch_string) {
        if (in.ConsumeIntegral<uint8_t>() % 4 == 0) return 0;  // an exhausted input gives null
        std::basic_string<WideChar> text;
        for (size_t n = in.ConsumeIntegralInRange<size_t>(0, 12); n; --n)
            text.push_back(static_cast<WideChar>(in.ConsumeIntegralInRange<uint32_t>(1, 0x10FFFF)));
        host->texts.push_back(std::move(text));
        Text pointer = host->texts.back().c_str();
        host->handed.insert(pointer);
        return Word(pointer);
    }
    return in.ConsumeIntegral<uint32_t>();
}

plenar::Word Answer(int32_t type) {
    if (host->replaying) {
        fuzz::Require(host->next_answer < host->answers.size() &&
                          host->answers[host->next_answer].first == type,
                      "the generic routine fetches what the table's entry fetched");
        return host->answers[host->next_answer++].second;
    }
    host->answers.emplace_back(type, FreshAnswer(type));
    return host->answers.back().second;
}

plenar::Word PLENAR_STDCALL GetParameter(plenar::RunObjectHeader* run, int32_t type, int32_t) {
    ++run->parameter_cursor;
    return Answer(type);
}
plenar::Word PLENAR_STDCALL ExpressionParameter(plenar::RunObjectHeader*, int32_t type,
                                                plenar::Word) {
    return Answer(type);
}
void* PLENAR_STDCALL AllocateString(plenar::RunObjectHeader*, int32_t, uint32_t bytes) {
    bool granted;
    if (host->replaying) {
        fuzz::Require(host->next_allocation < host->allocations.size(),
                      "the generic routine asks for the strings the table's entry asked for");
        granted = host->allocations[host->next_allocation++];
    } else {
        granted =
            host->input->ConsumeIntegral<uint8_t>() != 0xFF;  // else the host is out of memory
        host->allocations.push_back(granted);
    }
    if (!granted) return nullptr;
    fuzz::Require(bytes % sizeof(WideChar) == 0 && bytes > 0,
                  "string requests are whole characters");
    host->results.emplace_back(bytes / sizeof(WideChar), WideChar{0x7777});
    host->result_blocks.insert(host->results.back().data());
    return host->results.back().data();
}

// A member sees only texts the host handed out, never null.
size_t Length(Text text) {
    fuzz::Require(text && host->handed.count(text), "a member gets the host's text, never null");
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

class Extension {
public:
    explicit Extension(plenar::RunObjectHeader* run) : Runtime(run) {}
    Kvor::Runtime Runtime;
    uint64_t sink = 0;  // what members computed, so nothing is optimised away

    void A0() { ++sink; }
    void A1(int32_t a) { sink += a; }
    void A2(float a) { sink += static_cast<uint64_t>(a == a); }
    void A3(Text a) { sink += Length(a); }
    void A4(int32_t a, int32_t b) { sink += a ^ b; }
    void A5(Text a, int32_t b) { sink += Length(a) + b; }
    void A6(int32_t a, float b) { sink += a + (b == b); }
    void A7(float a, Text b) { sink += Length(b) + (a == a); }
    void A8(Text a, Text b) { sink += Length(a) + Length(b); }
    int32_t C0() { return static_cast<int32_t>(sink); }
    int32_t C1(int32_t a) { return a; }
    bool C2(int32_t a, int32_t b) { return a == b; }
    int32_t C3(Text a) { return static_cast<int32_t>(Length(a)); }
    int32_t C4(float a) { return a > 0; }
    int32_t C5(Text a, int32_t b) { return static_cast<int32_t>(Length(a)) - b; }
    int32_t E0() { return 7; }
    int32_t E1(int32_t a) { return a; }
    int32_t E2(int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
    }
    float E3(float a) { return a / 2; }
    float E4() { return 0.5f; }
    Text E5() { return Runtime.CopyString(KVOR_WIDE("hello")); }
    Text E6(Text a) {
        Length(a);
        return Runtime.CopyString(a);
    }
    Text E7(Text a, int32_t) {
        Length(a);
        return Runtime.CopyString(a);
    }
    int32_t E8(int32_t a, float) { return a; }
    float E9(Text a) { return static_cast<float>(Length(a)); }

    void UnlinkedAction(int32_t, plenar::RunObjectHeader*, plenar::Word, plenar::Word) { ++sink; }
    int32_t UnlinkedCondition(int32_t, plenar::RunObjectHeader*, plenar::Word, plenar::Word) {
        return 0;
    }
    plenar::Word UnlinkedExpression(int32_t, plenar::RunObjectHeader*, plenar::Word) { return 0; }
};

using Linker = bool (*)(int);
const Linker action_linkers[] = {Kvor::LinkAction<&Extension::A0>, Kvor::LinkAction<&Extension::A1>,
                                 Kvor::LinkAction<&Extension::A2>, Kvor::LinkAction<&Extension::A3>,
                                 Kvor::LinkAction<&Extension::A4>, Kvor::LinkAction<&Extension::A5>,
                                 Kvor::LinkAction<&Extension::A6>, Kvor::LinkAction<&Extension::A7>,
                                 Kvor::LinkAction<&Extension::A8>};
const Linker condition_linkers[] = {
    Kvor::LinkCondition<&Extension::C0>, Kvor::LinkCondition<&Extension::C1>,
    Kvor::LinkCondition<&Extension::C2>, Kvor::LinkCondition<&Extension::C3>,
    Kvor::LinkCondition<&Extension::C4>, Kvor::LinkCondition<&Extension::C5>};
const Linker expression_linkers[] = {
    Kvor::LinkExpression<&Extension::E0>, Kvor::LinkExpression<&Extension::E1>,
    Kvor::LinkExpression<&Extension::E2>, Kvor::LinkExpression<&Extension::E3>,
    Kvor::LinkExpression<&Extension::E4>, Kvor::LinkExpression<&Extension::E5>,
    Kvor::LinkExpression<&Extension::E6>, Kvor::LinkExpression<&Extension::E7>,
    Kvor::LinkExpression<&Extension::E8>, Kvor::LinkExpression<&Extension::E9>};

// Links a random member (or none) to every id, and tries one id past the end.
template <size_t N>
void LinkAll(FuzzedDataProvider& in, const Linker (&linkers)[N], size_t count) {
    for (size_t id = 0; id <= count; ++id) {
        const size_t choice = in.ConsumeIntegralInRange<size_t>(0, N);
        if (choice < N) linkers[choice](static_cast<int>(id));
    }
}

int32_t PickId(FuzzedDataProvider& in, size_t count) {
    if (in.ConsumeIntegral<uint8_t>() < 16) return in.ConsumeIntegral<int32_t>();
    return in.ConsumeIntegralInRange<int32_t>(-2, static_cast<int32_t>(count) + 1);
}

// The entry the host calls for `id`; for an id the table lacks, the first,
// as a host running a stray id would.
template <class Routine>
Routine EntryFor(const std::vector<Routine>& table, int32_t id) {
    return id >= 0 && static_cast<size_t>(id) + 1 < table.size() ? table[static_cast<size_t>(id)]
                                                                 : table[0];
}

// What the host sees of one call: its result (a text result by its
// characters), cursor, flags and message boxes, and what the extension
// made of it.
struct Seen {
    plenar::Word result = 0;
    std::basic_string<WideChar> text;
    uint32_t cursor = 0;
    uint16_t flags = 0;
    std::vector<std::string> boxes;
    uint64_t sink = 0;
    plenar::Word first = 0, second = 0;
    bool operator==(const Seen&) const = default;
};

Seen See(plenar::Word result, plenar::RunObjectHeader* run, const Extension& extension) {
    Seen seen;
    seen.result = result;
    if ((run->flags & plenar::expression_string_result) &&
        host->result_blocks.count(reinterpret_cast<Text>(result))) {
        seen.text = reinterpret_cast<Text>(result);
        seen.result = 0;  // each call has its own block
    }
    seen.cursor = run->parameter_cursor;
    seen.flags = run->flags;
    for (const auto& box : Kvor::Platform::RecordedBoxes())
        seen.boxes.push_back(box.caption + ": " + box.text);
    seen.sink = extension.sink;
    seen.first = extension.Runtime.FirstParameter;
    seen.second = extension.Runtime.SecondParameter;
    return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string description =
        in.ConsumeBool() ? in.ConsumeRandomLengthString(4096) : std::string(builtin_description);
    json_value* root = fuzz::ParseDescription(description);
    if (!root) return 0;
    FakeHost fake;
    fake.input = &in;
    host = &fake;
    {
        fuzz::ScopedSDK sdk(root);
        plenar::RunHeader header{};
        header.get_parameter = &GetParameter;
        header.first_expression_parameter = &ExpressionParameter;
        header.next_expression_parameter = &ExpressionParameter;
        header.allocate_string = &AllocateString;
        alignas(8) uint8_t run_data[sizeof(plenar::RunObjectHeader) + sizeof(void*)] = {};
        auto* run = reinterpret_cast<plenar::RunObjectHeader*>(run_data);
        run->run_header = &header;
        Extension extension(run);
        Kvor::ExtensionOf(run) = &extension;
        Kvor::UseExtension<Extension>();
        LinkAll(in, action_linkers, sdk->Actions.Records.size());
        LinkAll(in, condition_linkers, sdk->Conditions.Records.size());
        LinkAll(in, expression_linkers, sdk->Expressions.Records.size());

        for (int calls = 0; calls < 64 && in.remaining_bytes() > 0; ++calls) {
            const uint8_t kind = in.ConsumeIntegralInRange<uint8_t>(0, 2);
            const uint32_t first = in.ConsumeIntegral<uint32_t>();
            const uint32_t second = in.ConsumeIntegral<uint32_t>();
            const uint32_t cursor = in.ConsumeIntegralInRange<uint32_t>(0, 1000);
            const size_t count = kind == 0   ? sdk->Actions.Records.size()
                                 : kind == 1 ? sdk->Conditions.Records.size()
                                             : sdk->Expressions.Records.size();
            const int32_t id = PickId(in, count);
            // A table without entries (no language, or no ids) is never called.
            if ((kind == 0   ? sdk->Actions.Routines.size()
                 : kind == 1 ? sdk->Conditions.Routines.size()
                             : sdk->Expressions.Routines.size()) < 2)
                continue;
            const uint64_t sink = extension.sink;
            // Through the id's entry, then through the generic routine with the same answers.
            Seen seen[2];
            for (int pass = 0; pass < 2; ++pass) {
                const bool generic = pass == 1;
                run->current_id = id;
                run->parameter_cursor = cursor;
                run->flags = 0;
                extension.sink = sink;
                extension.Runtime.FirstParameter = extension.Runtime.SecondParameter = 0;
                Kvor::Platform::ClearRecords();
                fake.replaying = generic;
                fake.next_answer = fake.next_allocation = 0;
                if (!generic) {
                    fake.handed.clear();
                    fake.answers.clear();
                    fake.allocations.clear();
                }
                plenar::Word result;
                if (kind == 0) {
                    result = static_cast<uint32_t>(
                        (generic ? &Kvor::ActionWrapper : EntryFor(sdk->Actions.Routines, id))(
                            run, first, second));
                    fuzz::Require(result == 0, "actions answer 0");
                } else if (kind == 1) {
                    const int32_t answer =
                        (generic ? &Kvor::ConditionWrapper
                                 : EntryFor(sdk->Conditions.Routines, id))(run, first, second);
                    fuzz::Require(answer >= -128 && answer <= 127,
                                  "a condition answers one signed byte");
                    result = static_cast<uint32_t>(answer);
                } else {
                    result = (generic ? &Kvor::ExpressionWrapper
                                      : EntryFor(sdk->Expressions.Routines, id))(run, first);
                    const bool linked = id >= 0 &&
                                        static_cast<size_t>(id) < sdk->Expressions.Members.size() &&
                                        sdk->Expressions.Members[id];
                    if (linked && (run->flags & plenar::expression_string_result) && result)
                        fuzz::Require(
                            fake.result_blocks.count(reinterpret_cast<const WideChar*>(result)),
                            "a text result lies in host memory");
                }
                fuzz::Require(extension.Runtime.FirstParameter == first,
                              "the routine's first word is kept");
                seen[pass] = See(result, run, extension);
            }
            fuzz::Require(
                fake.next_answer == fake.answers.size() &&
                    fake.next_allocation == fake.allocations.size(),
                "the generic routine fetches as many parameters and strings as the table's entry");
            fuzz::Require(seen[0] == seen[1],
                          "the host sees the same of the table's entry and the generic routine");
        }
        Kvor::ExtensionOf(run) = nullptr;
    }
    host = nullptr;
    return 0;
}
