#include "extension.h"

namespace {

constexpr uint32_t debug_text_refresh = 500;  // milliseconds

void ReadDebugText(void* owner, Kvor::WideString& out) {
    static const Kvor::WideChar prefix[] = {'M', 'y', ' ', 't', 'e', 'x', 't',
                                            ' ', 'i', 's', ':', ' ', 0};
    out = prefix;
    out += static_cast<Extension*>(owner)->DebugText;
}

bool WriteDebugText(void* owner, Kvor::WideString& text) {
    auto* extension = static_cast<Extension*>(owner);
    if (&text != &extension->DebugText) extension->DebugText = text;
    return true;
}

}  // namespace

Extension::Extension(plenar::RunObjectHeader* run_data, void*, void*)
    : RunData(run_data), RunHeader(run_data->run_header), Runtime(run_data), Debugger(this) {
    Kvor::UseExtension<Extension>();
    Kvor::LinkAction<&Extension::SetSource>(0);
    Kvor::LinkAction<&Extension::SourceAction>(1);
    Kvor::LinkCondition<&Extension::AreNumbersEqual>(0);
    Kvor::LinkExpression<&Extension::Add>(0);
    Kvor::LinkExpression<&Extension::HelloWorld>(1);
    Debugger.AddTextItem(&ReadDebugText, &WriteDebugText, debug_text_refresh);
}

Extension::~Extension() = default;

void Extension::SetSource(const Kvor::WideChar*) {}

void Extension::SourceAction() {}

bool Extension::AreNumbersEqual(int32_t a, int32_t b) { return a == b; }

int32_t Extension::Add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

const Kvor::WideChar* Extension::HelloWorld() {
    static const Kvor::WideChar hello[] = {'H', 'e', 'l', 'l', 'o', ' ', 'w',
                                           'o', 'r', 'l', 'd', '!', 0};
    return hello;
}

void Extension::UnlinkedAction(int32_t, plenar::RunObjectHeader*, plenar::Word, plenar::Word) {}

bool Extension::UnlinkedCondition(int32_t, plenar::RunObjectHeader*, plenar::Word, plenar::Word) {
    return false;
}

plenar::Word Extension::UnlinkedExpression(int32_t, plenar::RunObjectHeader*, plenar::Word) {
    return 0;
}

int32_t Extension::Handle() { return 1; }

int32_t Extension::Pause() { return 0; }
