// The property sheet: the descriptors the host is given through the insert
// service, each property's value and check state, and the stored bytes.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>
#include "output.h"
#include "plenar_sim/host_values.h"
#include "show_sections.h"

namespace plenar::cli {
namespace {

// The host's property types, by code (descriptor type modulo 1000).
const char* const type_names[] = {
    "start item",
    "Text",
    "Folder",
    "FolderEnd",
    "Edit button",
    "Editbox String",
    "Editbox Number",
    "Combo Box",
    "Size",
    "Color",
    "Checkbox",
    "Edit slider",
    "Edit spin",
    "Edit direction",
    "Group",
    "List button",
    "Editbox File",
    "Font",
    "Custom",
    "Editbox Image File",
    "Combo Box Button",
    "Editbox Float",
    "Editbox String Multiline",
    "Image List",
    "Combo Box Icons",
    "URL button",
    "Editbox Folder",
    "Edit spin float",
};

std::string type_text(uint32_t type) {
    if (type == 3) return "3 folder end";
    if (type >= 1000 && type - 1000 < std::size(type_names))
        return std::to_string(type) + " " + type_names[type - 1000];
    if (type >= 27 && type < 1000) return std::to_string(type) + " custom";
    return std::to_string(type) + " unknown";
}

std::string parameter_text(const PropertyDescriptor& d) {
    const void* pointer = reinterpret_cast<const void*>(d.parameter);
    switch (d.type) {
        case 1004: return "button text " + quoted_wide(pointer);
        case 1005: return "max length " + std::to_string(d.parameter);
        case 1006: {
            if (!pointer) return "range (null)";
            const auto* range = static_cast<const int32_t*>(pointer);
            return "minimum " + std::to_string(range[0]) + ", maximum " + std::to_string(range[1]);
        }
        case 1007: {
            if (!pointer) return "items (null)";
            const auto* items = static_cast<const void* const*>(pointer);
            std::string list;
            for (size_t i = 1; items[i] && i < 1000; ++i)
                list += (list.empty() ? "" : ", ") + quoted_wide(items[i]);
            return std::string(items[0] ? "items (first pointer not null!) " : "items ") +
                   (list.empty() ? "none" : list);
        }
        default: return d.parameter ? "parameter " + hex_address(d.parameter) : "";
    }
}

std::string class_name(uint32_t code) {
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) name += static_cast<char>((code >> shift) & 0xFF);
    return name;
}

// A value object handed over by GetPropValue, read and then freed through
// its slot 1, as the host does: as the report prints it, and as the sheet
// shows it.
struct ReadValue {
    std::string printed;
    std::string shown;
    std::optional<uint32_t> number;
};

ReadValue read_value(PropValue* value) {
    if (!value) return {"(null)", "", {}};
    const uint32_t code = value->GetClassID();
    ReadValue read{class_name(code) + " ", "", {}};
    switch (code) {
        case prop_class_dword:
        case prop_class_int:
            read.number = PropLayout<PropNumberLayout>(value).value;
            read.shown = code == prop_class_int ? std::to_string(static_cast<int32_t>(*read.number))
                                                : std::to_string(*read.number);
            read.printed += std::to_string(*read.number);
            break;
        case prop_class_wstr:
            read.shown = wide_text(PropLayout<PropPointerLayout>(value).data);
            read.printed += quoted_wide(PropLayout<PropPointerLayout>(value).data);
            break;
        default: {
            const auto& pair = PropLayout<PropPairLayout>(value);
            read.shown = "(data)";
            read.printed += "data words " + hex_word(pair.unused) + " " +
                            hex_word(static_cast<uint32_t>(pair.first));
            break;
        }
    }
    value->Delete();
    return read;
}

std::vector<std::string> combo_items(const PropertyDescriptor& d) {
    std::vector<std::string> items;
    const auto* list = reinterpret_cast<const void* const*>(d.parameter);
    for (size_t i = 1; list && list[i] && i < 1000; ++i) items.push_back(wide_text(list[i]));
    return items;
}

// The sheet's row for an entry, as first opened.
SheetRow sheet_row(const PropertyDescriptor& d, const ReadValue& value, bool checked) {
    SheetRow row;
    row.kind = d.type == 3      ? SheetRow::Kind::folder_end
               : d.type == 1002 ? SheetRow::Kind::folder
                                : SheetRow::Kind::entry;
    if (row.kind == SheetRow::Kind::folder_end) return row;
    row.title = wide_text(d.title);
    row.value = value.shown;
    row.checkable = d.options & 1;
    row.checked = checked;
    switch (d.type) {
        case 1004:
            row.value = "[" + wide_text(reinterpret_cast<const void*>(d.parameter)) + "]";
            break;
        case 1007:
            row.choices = combo_items(d);
            if (value.number && *value.number < row.choices.size()) {
                row.chosen = static_cast<int>(*value.number);
                row.value = row.choices[row.chosen];
            }
            break;
        case 1009: row.colour = value.number; break;
        case 1010: row.check_value = true; break;
    }
    return row;
}

// Each entry's value and check; with `sheet`, the rows the picture shows.
void show_values(ShowState& state, const PropertyDescriptor* descriptors,
                 std::vector<SheetRow>* sheet) {
    print_item("values:");
    for (size_t i = 0; descriptors[i].id && i < 1000; ++i) {
        const PropertyDescriptor& d = descriptors[i];
        if (d.type == 3) {
            if (sheet) sheet->push_back(sheet_row(d, {}, false));
            continue;
        }
        std::string line = padded(hex_word(d.id), 11);
        ReadValue value;
        if (state.plugin.address("GetPropValue")) {
            value = read_value(reinterpret_cast<PropValue*>(
                state.plugin.call("GetPropValue", state.host.services(), state.edit_data, d.id)
                    .value));
            line += padded(value.printed, 48);
        }
        int32_t check = 0;
        if (state.plugin.address("GetPropCheck")) {
            check = static_cast<int32_t>(
                state.plugin.call("GetPropCheck", state.host.services(), state.edit_data, d.id)
                    .value);
            line += "check " + std::to_string(check);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        print_item(line, 2);
        if (sheet) sheet->push_back(sheet_row(d, value, check != 0));
        follow_edit_data(state);
        report_message_boxes(state, 2);
    }
}

void show_stored_bytes(ShowState& state) {
    // The block's own length: its header word is the plug-in's to write.
    const uint32_t size = state.host.edit_data().length(state.edit_data);
    const auto* bytes = static_cast<const uint8_t*>(state.edit_data);
    print_field("edit data", std::to_string(size) + " bytes; after the header:");
    for (uint32_t at = sizeof(EditDataHeader); at < size; at += 16) {
        const std::vector<uint8_t> row(bytes + at, bytes + std::min<uint32_t>(size, at + 16));
        char offset[8];
        std::snprintf(offset, sizeof offset, "%04X", at);
        std::string ascii;
        for (uint8_t b : row) ascii += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '.';
        print_item(std::string(offset) + "  " + padded(hex_bytes(row, 16), 48) + ascii, 2);
    }
}

}  // namespace

void show_properties(ShowState& state) {
    print_section("Property sheet");
    if (!state.edit_data) {
        print_item("no edit data");
        return;
    }
    if (!exported(state, "GetProperties")) return;
    const size_t calls_before = state.host.service_calls().size();
    const sim::CallResult opened =
        state.plugin.call("GetProperties", state.host.services(), state.edit_data, 1);
    follow_edit_data(state);
    print_field("GetProperties", std::to_string(static_cast<int32_t>(opened.value)));
    report_message_boxes(state);
    const PropertyDescriptor* descriptors = nullptr;
    const auto& calls = state.host.service_calls();
    for (size_t i = calls_before; i < calls.size(); ++i) {
        std::string what = calls[i].code == service_insert_properties  ? "insert properties"
                           : calls[i].code == service_resize_edit_data ? "resize edit data"
                           : calls[i].code == service_edit_data_notice
                               ? "edit-data notice"
                               : "code " + std::to_string(calls[i].code);
        print_item("service " + padded(std::to_string(calls[i].code), 4) + what);
        if (calls[i].code == service_insert_properties && !descriptors)
            descriptors = reinterpret_cast<const PropertyDescriptor*>(calls[i].a);
    }
    if (!descriptors) {
        print_item("no descriptors inserted");
        return;
    }
    print_item("descriptors:");
    for (size_t i = 0; descriptors[i].id && i < 1000; ++i) {
        const PropertyDescriptor& d = descriptors[i];
        const std::string parameter = parameter_text(d);
        print_item(padded(hex_word(d.id), 11) + padded(type_text(d.type), 22) + "options " +
                       hex_word(d.options) + (parameter.empty() ? "" : "  " + parameter),
                   2);
        print_item("title " + quoted_wide(d.title) + ", info " + quoted_wide(d.info), 3);
    }
    show_values(state, descriptors, &state.preview.sheet.emplace());
    show_stored_bytes(state);

    // An edit of each kind, as the user makes them in the sheet: a text, a
    // number, a combo choice, a colour, and every check box ticked.
    print_item(
        "editing: texts \"edited\", numbers 42, combo boxes item 1, colours 0x336699, every check "
        "ticked");
    for (size_t i = 0; descriptors[i].id && i < 1000; ++i) {
        const PropertyDescriptor& d = descriptors[i];
        if (d.type == 3) continue;
        PropValue* value = nullptr;
        switch (d.type % 1000) {
            case 5: value = new sim::HostValue(std::wstring(L"edited")); break;
            case 6: value = new sim::HostValue(42u); break;
            case 7: value = new sim::HostValue(1u); break;
            case 9: value = new sim::HostValue(0x336699u); break;
        }
        if (value && state.plugin.address("SetPropValue")) {
            state.plugin.call("SetPropValue", state.host.services(), state.edit_data, d.id, value);
            follow_edit_data(state);
        }
        if (value) value->Delete();
        if (state.plugin.address("SetPropCheck"))
            state.plugin.call("SetPropCheck", state.host.services(), state.edit_data, d.id, 1);
        report_message_boxes(state, 2);
    }
    show_values(state, descriptors, nullptr);
    show_stored_bytes(state);
}

}  // namespace plenar::cli
