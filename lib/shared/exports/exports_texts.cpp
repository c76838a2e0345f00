// The editor's texts: display strings, parameter prompts and expression
// titles, converted into the host's buffer. Codes, parameter indexes and
// buffer lengths arrive as signed 16-bit numbers in 32-bit arguments.
#include "editor/ace_texts.h"
#include "export_glue.h"
#include "load/host_version.h"
#include "load/language.h"
#include "text/converters.h"

using plenar::wchar;

namespace {
using Kvor::AceKind;

// A text that does not fit is cut and stays terminated within `size`; a null
// buffer or a size <= 0 gets nothing.
void* Answer(wchar* buffer, int32_t size, const char* text) {
    Kvor::CopyUTF8ToWide(buffer, text, static_cast<int16_t>(size));
    return buffer;
}

// The answer to a compatible host, made by `text` (which may throw); null
// to any other host, and after an error.
template <class Text>
void* Answered(HostServices* services, wchar* buffer, int32_t size, Text&& text) {
    return Kvor::Guarded(static_cast<void*>(nullptr), [&]() -> void* {
        if (!Kvor::HostIsCompatible(services)) return nullptr;
        return Answer(buffer, size, text());
    });
}

void* DisplayString(HostServices* services, AceKind kind, int32_t code, wchar* buffer,
                    int32_t size) {
    return Answered(services, buffer, size, [&] {
        return Kvor::AceDisplayString(Kvor::CurrentLanguage(), kind, static_cast<int16_t>(code));
    });
}

void* ParameterPrompt(HostServices* services, AceKind kind, int32_t code, int32_t parameter,
                      wchar* buffer, int32_t size) {
    return Answered(services, buffer, size, [&] {
        return Kvor::AceParameterPrompt(Kvor::CurrentLanguage(), kind, static_cast<int16_t>(code),
                                        static_cast<int16_t>(parameter));
    });
}
}  // namespace

PLUGIN_EXPORT void* PLENAR_STDCALL GetActionString(HostServices* services, int32_t code,
                                                   wchar* buffer, int32_t size) {
    return DisplayString(services, AceKind::action, code, buffer, size);
}

PLUGIN_EXPORT void* PLENAR_STDCALL GetConditionString(HostServices* services, int32_t code,
                                                      wchar* buffer, int32_t size) {
    return DisplayString(services, AceKind::condition, code, buffer, size);
}

PLUGIN_EXPORT void* PLENAR_STDCALL GetExpressionString(HostServices* services, int32_t code,
                                                       wchar* buffer, int32_t size) {
    return DisplayString(services, AceKind::expression, code, buffer, size);
}

PLUGIN_EXPORT void* PLENAR_STDCALL GetActionTitle(HostServices* services, int32_t code,
                                                  int32_t parameter, wchar* buffer, int32_t size) {
    return ParameterPrompt(services, AceKind::action, code, parameter, buffer, size);
}

PLUGIN_EXPORT void* PLENAR_STDCALL GetConditionTitle(HostServices* services, int32_t code,
                                                     int32_t parameter, wchar* buffer,
                                                     int32_t size) {
    return ParameterPrompt(services, AceKind::condition, code, parameter, buffer, size);
}

PLUGIN_EXPORT void* PLENAR_STDCALL GetExpressionParam(HostServices* services, int32_t code,
                                                      int32_t parameter, wchar* buffer,
                                                      int32_t size) {
    return ParameterPrompt(services, AceKind::expression, code, parameter, buffer, size);
}

PLUGIN_EXPORT void* PLENAR_STDCALL GetExpressionTitle(HostServices* services, int32_t code,
                                                      wchar* buffer, int32_t size) {
    std::string title;
    return Answered(services, buffer, size, [&] {
        title = Kvor::ExpressionTitle(Kvor::CurrentLanguage(), static_cast<int16_t>(code));
        return title.c_str();
    });
}
