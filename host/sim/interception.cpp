#include "plenar_sim/interception.h"

#include <windows.h>
#include <cstring>
#include <utility>
#include "plenar_sim/pe_image.h"
#include "plenar_sim/utf8.h"
#include "traced_callback.h"

namespace plenar::sim {
namespace {

std::string from_ansi(const char* text) { return text ? utf8_from_ansi(text) : std::string(); }
std::string from_wide(const wchar_t* text) { return text ? utf8_from_wide(text) : std::string(); }

// Each replacement is traced with its texts, which the viewer shows.
int32_t traced_message_box(const char* name, HWND owner, const void* text_pointer,
                           const void* caption_pointer, UINT style, MessageBoxCall call) {
    TracedCall traced("callback", name,
                      {word(owner), word(text_pointer), word(caption_pointer), word(style)});
    traced.detail("caption", call.caption);
    traced.detail("text", call.text);
    const int32_t answer = Interception::instance().record_message_box(std::move(call));
    traced.finish(word(answer));
    return answer;
}

void traced_debug_output(const char* name, const void* text_pointer, DebugOutputLine line) {
    TracedCall traced("callback", name, {word(text_pointer)});
    traced.detail("text", line.text);
    Interception::instance().record_debug_output(std::move(line));
    traced.finish(std::nullopt);
}

int WINAPI message_box_a(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    return traced_message_box(
        "MessageBoxA", owner, text, caption, style,
        {from_ansi(text), from_ansi(caption), style, reinterpret_cast<uintptr_t>(owner), false});
}

int WINAPI message_box_w(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    return traced_message_box(
        "MessageBoxW", owner, text, caption, style,
        {from_wide(text), from_wide(caption), style, reinterpret_cast<uintptr_t>(owner), true});
}

void WINAPI output_debug_string_a(LPCSTR text) {
    traced_debug_output("OutputDebugStringA", text, {from_ansi(text), false});
}

void WINAPI output_debug_string_w(LPCWSTR text) {
    traced_debug_output("OutputDebugStringW", text, {from_wide(text), true});
}

DWORD WINAPI get_tick_count() {
    return traced_callback("GetTickCount", {},
                           [] { return Interception::instance().read_clock(); });
}

// The heap of the C runtime the plug-ins and this program share.
template <typename Function>
Function runtime_function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"msvcrt.dll"), name)));
}

void* __cdecl heap_malloc(size_t size) {
    static const auto original = runtime_function<void*(__cdecl*)(size_t)>("malloc");
    return Interception::instance().grant_heap_request() ? original(size) : nullptr;
}

void* __cdecl heap_calloc(size_t count, size_t size) {
    static const auto original = runtime_function<void*(__cdecl*)(size_t, size_t)>("calloc");
    return Interception::instance().grant_heap_request() ? original(count, size) : nullptr;
}

// A refused realloc leaves the block as it was, as the runtime's does.
void* __cdecl heap_realloc(void* block, size_t size) {
    static const auto original = runtime_function<void*(__cdecl*)(void*, size_t)>("realloc");
    return Interception::instance().grant_heap_request() ? original(block, size) : nullptr;
}

struct Replacement {
    const char* library;
    const char* name;
    const void* function;
    const void* original;  // the system's own address, as a bound import holds it
};

std::vector<Replacement> replacements() {
    HMODULE user32 = LoadLibraryW(L"user32.dll");
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    auto original = [](HMODULE library, const char* name) {
        return reinterpret_cast<const void*>(GetProcAddress(library, name));
    };
    return {
        {"user32.dll", "MessageBoxA", reinterpret_cast<const void*>(&message_box_a),
         original(user32, "MessageBoxA")},
        {"user32.dll", "MessageBoxW", reinterpret_cast<const void*>(&message_box_w),
         original(user32, "MessageBoxW")},
        {"kernel32.dll", "OutputDebugStringA",
         reinterpret_cast<const void*>(&output_debug_string_a),
         original(kernel32, "OutputDebugStringA")},
        {"kernel32.dll", "OutputDebugStringW",
         reinterpret_cast<const void*>(&output_debug_string_w),
         original(kernel32, "OutputDebugStringW")},
        {"kernel32.dll", "GetTickCount", reinterpret_cast<const void*>(&get_tick_count),
         original(kernel32, "GetTickCount")},
    };
}

std::vector<Replacement> heap_replacements() {
    HMODULE runtime = GetModuleHandleW(L"msvcrt.dll");
    auto original = [runtime](const char* name) {
        return reinterpret_cast<const void*>(GetProcAddress(runtime, name));
    };
    return {
        {"msvcrt.dll", "malloc", reinterpret_cast<const void*>(&heap_malloc), original("malloc")},
        {"msvcrt.dll", "calloc", reinterpret_cast<const void*>(&heap_calloc), original("calloc")},
        {"msvcrt.dll", "realloc", reinterpret_cast<const void*>(&heap_realloc),
         original("realloc")},
    };
}

// The replacement for one import slot: by name when the module names the
// import, else by the address the loader put there.
const Replacement* replacement_for(const std::vector<Replacement>& all, const char* library,
                                   const char* name, const void* current) {
    for (const Replacement& r : all) {
        const bool named =
            name && _stricmp(library, r.library) == 0 && std::strcmp(name, r.name) == 0;
        if (named || (r.original && current == r.original)) return &r;
    }
    return nullptr;
}

// An import address table slot: one pointer per imported function.
void write_slot(uintptr_t* slot, const void* function) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = reinterpret_cast<uintptr_t>(function);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

// Replaces every import of `module` that `all` names.
int patch_imports(void* module, const std::vector<Replacement>& all) {
    auto* dos = at_rva<IMAGE_DOS_HEADER>(module, 0);
    auto* nt = at_rva<IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!entry.VirtualAddress) return 0;
    int patched = 0;
    for (auto* descriptor = at_rva<IMAGE_IMPORT_DESCRIPTOR>(module, entry.VirtualAddress);
         descriptor->Name; ++descriptor) {
        const char* library = at_rva<char>(module, descriptor->Name);
        auto* slots = at_rva<uintptr_t>(module, descriptor->FirstThunk);
        auto* names = descriptor->OriginalFirstThunk
                          ? at_rva<IMAGE_THUNK_DATA>(module, descriptor->OriginalFirstThunk)
                          : nullptr;
        for (int i = 0; slots[i]; ++i) {
            const char* name = nullptr;
            if (names && !IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal))
                name = reinterpret_cast<const char*>(
                    at_rva<IMAGE_IMPORT_BY_NAME>(module, names[i].u1.AddressOfData)->Name);
            const void* current = reinterpret_cast<const void*>(slots[i]);
            const Replacement* r = replacement_for(all, library, name, current);
            if (!r || current == r->function) continue;
            write_slot(&slots[i], r->function);
            ++patched;
        }
    }
    return patched;
}

}  // namespace

Interception& Interception::instance() {
    static Interception interception;
    return interception;
}

int Interception::patch(void* module) {
    static const std::vector<Replacement> all = replacements();
    return patch_imports(module, all);
}

int Interception::patch_heap(void* module) {
    static const std::vector<Replacement> all = heap_replacements();
    return patch_imports(module, all);
}

void Interception::refuse_heap_request(size_t request) {
    refused_request_ = request ? heap_requests_ + request : 0;
}

bool Interception::grant_heap_request() { return ++heap_requests_ != refused_request_; }

void Interception::clear() {
    message_boxes_.clear();
    debug_output_.clear();
    tick_count_ = clock_start;
    clock_step_ = 0;
    tick_count_calls_ = 0;
    message_box_answer_ = 1;
    refused_request_ = 0;
}

int32_t Interception::record_message_box(MessageBoxCall call) {
    message_boxes_.push_back(std::move(call));
    return message_box_answer_;
}

void Interception::record_debug_output(DebugOutputLine line) {
    debug_output_.push_back(std::move(line));
}

uint32_t Interception::read_clock() {
    ++tick_count_calls_;
    const uint32_t now = tick_count_;
    tick_count_ += clock_step_;
    return now;
}

}  // namespace plenar::sim
