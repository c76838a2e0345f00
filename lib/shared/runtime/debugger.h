// The per-instance debugger items: the list of values the host's debugger
// shows for one running instance, the tree of item ids it asks for, reading an
// item's text through a callback at most once per refresh period, and editing
// it through the host's text edit dialog and a writer callback.
// Platform-free: the clock is Platform::TickCount(), the host's dialog is
// reached through an EditText handed in by the caller.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "platform/platform.h"
#include "plenar/run_data.h"
#include "text/report.h"

namespace Kvor {

// The only errors the SDK raises as exceptions; the debugger exports turn
// them into the debugger error box (Guarded with debugger_errors).
class DebuggerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fills `out` with the item's current text.
using DebugReader = void (*)(void* owner, WideString& out);
// Accepts (true) or refuses (false) an edited text; may adjust it.
using DebugWriter = bool (*)(void* owner, WideString& text);

// How an edit reaches the host's text edit dialog: `edit(context, record)`
// returns 1 when the user confirmed. The instance's Runtime supplies one that
// passes the run data, 0 and the record to the run header's edit-text callback.
struct EditText {
    int32_t (*edit)(void* context, plenar::EditRecord* record);
    void* context;
};

struct DebugItem {
    WideString text;          // the last text read (or edited)
    uint32_t refresh_period;  // milliseconds; 0: read afresh at every request
    uint32_t next_refresh;    // tick before which the cached text is shown
    DebugReader reader;       // may be null: the text only changes by edits
    DebugWriter writer;       // null: the item is not editable
};

class Debugger {
public:
    // The host's item buffer holds this many characters, terminator included.
    static constexpr size_t text_buffer_size = 256;
    static constexpr size_t max_items = 127;  // ids 0 to 126; 0x80 marks editable

    explicit Debugger(void* owner);
    // The host keeps the tree pointer for the instance's life: never copied.
    Debugger(const Debugger&) = delete;
    Debugger& operator=(const Debugger&) = delete;

    // Appends an item; its id is the number of items before it.
    void AddTextItem(DebugReader reader, DebugWriter writer, uint32_t refresh_period);
    // Item ids in order (0x80 set when editable), ending in 0xFFFF. Stable
    // for the life of this object.
    const uint16_t* Tree() const { return tree.data(); }
    // Writes the item's text, terminated, into `buffer` (text_buffer_size
    // characters), reading it afresh when its refresh time has come.
    void GetItem(WideChar* buffer, int32_t id);
    // Lets the user edit the item's text and hands a confirmed text to its writer.
    void EditItem(int32_t id, EditText edit);

    const std::vector<DebugItem>& Items() const { return items; }

private:
    DebugItem& Find(int32_t id);

    void* owner;
    std::vector<DebugItem> items;
    std::vector<uint16_t> tree;
};

}  // namespace Kvor
