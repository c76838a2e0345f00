// Debugger items: refresh by period, reading and editing through callbacks.
#include "runtime/debugger.h"

#include <algorithm>
#include <utility>

#include "plenar/records.h"

namespace Kvor {
namespace {

constexpr WideChar ellipsis = 0x2026;
constexpr uint32_t never = 0xFFFFFFFF;

// Whether the cached text is still current. `next_refresh - now` counts the
// milliseconds left, modulo 2^32: it lies in 1..period while the period runs
// and leaves that range once the refresh time is reached or passed, whether or
// not the tick count wrapped round in between. Comparing the tick counts
// themselves would keep a text cached for 49 days when now + period wraps.
bool StillCurrent(const DebugItem& item, uint32_t now) {
    const uint32_t left = item.next_refresh - now;
    return left != 0 && left <= item.refresh_period;
}

void CutAtFirstNul(WideString& text) {
    const size_t nul = text.find(WideChar(0));
    if (nul != WideString::npos) text.resize(nul);
}

}  // namespace

Debugger::Debugger(void* owner) : owner(owner) {
    items.reserve(max_items + 1);
    tree.reserve(max_items + 2);
    tree.push_back(plenar::debug_tree_end);
}

void Debugger::AddTextItem(DebugReader reader, DebugWriter writer, uint32_t refresh_period) {
    if (items.size() >= max_items) throw DebuggerError(Kvor::message::debugger_too_many_items);

    DebugItem item{WideString(), refresh_period, never, reader, writer};
    item.text.reserve(text_buffer_size);
    if (refresh_period != 0) item.next_refresh = Platform::TickCount() + refresh_period;
    // Within the reserved room neither push_back moves anything, and nothing
    // can throw once the item is in place.
    items.push_back(std::move(item));
    const auto id = static_cast<uint16_t>(items.size() - 1);
    tree.back() = writer ? static_cast<uint16_t>(id | plenar::debug_item_editable) : id;
    tree.push_back(plenar::debug_tree_end);
}

DebugItem& Debugger::Find(int32_t id) {
    if (id < 0 || static_cast<size_t>(id) >= items.size())
        throw DebuggerError(Kvor::message::debugger_unknown_item);
    return items[static_cast<size_t>(id)];
}

void Debugger::GetItem(WideChar* buffer, int32_t id) {
    DebugItem& item = Find(id);
    if (item.reader && (item.refresh_period == 0 || !StillCurrent(item, Platform::TickCount()))) {
        item.reader(owner, item.text);
        // The host stops at the first NUL; keep the text as it will be shown.
        CutAtFirstNul(item.text);
        if (item.text.size() > text_buffer_size - 1) {
            item.text.resize(text_buffer_size - 2);
            item.text.push_back(ellipsis);
        }
        if (item.refresh_period != 0)
            item.next_refresh = Platform::TickCount() + item.refresh_period;
    }
    // An edited text is not shortened; the buffer still gets at most 255
    // characters and always its terminator.
    const size_t count = std::min(item.text.size(), text_buffer_size - 1);
    std::copy_n(item.text.data(), count, buffer);
    buffer[count] = 0;
}

void Debugger::EditItem(int32_t id, EditText edit) {
    DebugItem& item = Find(id);
    if (!item.writer) throw DebuggerError(Kvor::message::debugger_item_not_editable);

    CutAtFirstNul(item.text);
    // The host edits in place and may write up to 256 characters and a
    // terminator whatever the text's length, so it gets a zero-filled buffer
    // of its own with room for that; the item's text stays the previous one
    // until the user confirms.
    WideString buffer(std::max(item.text.size(), text_buffer_size) + 1, WideChar(0));
    std::copy(item.text.begin(), item.text.end(), buffer.begin());

    plenar::EditRecord record{};
    record.text = buffer.data();
    record.length = static_cast<uint32_t>(item.text.size());
    if (edit.edit(edit.context, &record) != 1) return;

    // Up to the first NUL, and never past the buffer if the host left none.
    buffer.resize(std::min(buffer.find(WideChar(0)), buffer.size()));
    WideString previous = std::move(item.text);
    item.text = std::move(buffer);
    if (!item.writer(owner, item.text)) {
        item.text = std::move(previous);
        item.next_refresh = Platform::TickCount();
    }
}

}  // namespace Kvor
