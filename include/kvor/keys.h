// Every key of a description the SDK reads, by where it stands, with the
// kinds of JSON value it reads from it, stated once: the SDK reads each key
// through these names (so a misspelt key is a compile error, not a silently
// empty value), `plenar-host check` reports keys that are none of these and
// values of another kind, and a test keeps res/description.schema.json's
// keys in step with these lists.
//
// Keys are matched exactly, letter case included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Kvor {

// The kinds of JSON value, as bits, so a key may accept several.
enum JsonKinds : uint8_t {
    kind_string = 1,
    kind_integer = 2,
    kind_real = 4,  // a number with a fraction or exponent, or beyond 64 bits
    kind_boolean = 8,
    kind_array = 16,
    kind_object = 32,
    kind_null = 64,
    kind_number = kind_integer | kind_real,
};

struct Key {
    const char* name;
    uint8_t kinds;  // JsonKinds the SDK makes something of; any other reads as absent

    // So that a lookup reads description[key::language::Actions].
    constexpr operator const char*() const { return name; }
};

// The key of `keys` named `name`, or null.
template <size_t N>
constexpr const Key* FindKey(const Key (&keys)[N], std::string_view name) {
    for (const Key& key : keys)
        if (name == key.name) return &key;
    return nullptr;
}

namespace key {

// The root object. Every other member whose value is an object is a
// language section, named by its language ("UK English").
namespace root {
inline constexpr Key Identifier{"Identifier", kind_string};  // four characters naming the object
// Files a built application needs; a bare string gives none.
inline constexpr Key Dependencies{"Dependencies", kind_array | kind_string};
inline constexpr Key all[] = {Identifier, Dependencies};
}  // namespace root

// A language section.
namespace language {
inline constexpr Key About{"About", kind_object};                   // the object's about texts
inline constexpr Key ActionMenu{"ActionMenu", kind_array};          // the editor's menu of actions
inline constexpr Key ConditionMenu{"ConditionMenu", kind_array};    // ... of conditions
inline constexpr Key ExpressionMenu{"ExpressionMenu", kind_array};  // ... of expressions
inline constexpr Key Actions{"Actions", kind_array};          // the actions, their ids by position
inline constexpr Key Conditions{"Conditions", kind_array};    // the conditions
inline constexpr Key Expressions{"Expressions", kind_array};  // the expressions
inline constexpr Key Properties{"Properties", kind_array};    // the property sheet's entries
// true: saved blocks carry their layout (read from the first section only).
inline constexpr Key LayoutRecord{"LayoutRecord", kind_boolean};
inline constexpr Key all[] = {About,      ActionMenu,  ConditionMenu, ExpressionMenu, Actions,
                              Conditions, Expressions, Properties,    LayoutRecord};
}  // namespace language

// A language section's "About".
namespace about {
inline constexpr Key Name{"Name", kind_string};            // the object's name
inline constexpr Key Author{"Author", kind_string};        // who made it
inline constexpr Key Copyright{"Copyright", kind_string};  // its copyright line
inline constexpr Key Comment{"Comment", kind_string};      // what it does, in a line
inline constexpr Key Help{"Help", kind_string};            // help file, from the host's folder
inline constexpr Key URL{"URL", kind_string};              // its web address
inline constexpr Key all[] = {Name, Author, Copyright, Comment, Help, URL};
}  // namespace about

// An entry of "Actions", "Conditions" or "Expressions".
namespace entry {
inline constexpr Key Title{"Title", kind_string};  // display string; %0, %1... its parameters
inline constexpr Key Parameters{"Parameters", kind_array};        // [type, prompt] each, at most 16
inline constexpr Key NumAutoProps{"NumAutoProps", kind_integer};  // how many the dispatcher passes
inline constexpr Key Triggered{"Triggered", kind_boolean};  // conditions: true for a triggered one
inline constexpr Key Returns{"Returns", kind_string};       // expressions: the result type's name
inline constexpr Key actions[] = {Title, Parameters, NumAutoProps};
inline constexpr Key conditions[] = {Title, Parameters, NumAutoProps, Triggered};
inline constexpr Key expressions[] = {Title, Parameters, NumAutoProps, Returns};
}  // namespace entry

// A parameter of an entry: an array, read by position.
namespace parameter {
inline constexpr int32_t type = 0;    // the type's name
inline constexpr int32_t prompt = 1;  // the editor's prompt for it
}  // namespace parameter

// An element of a menu array, read by position: an item is [id, text] or
// [id, text, greyed]; a submenu is [title, [...], ...], every element after
// the title filling it.
namespace menu_item {
inline constexpr int32_t id = 0;      // the position of the entry it offers
inline constexpr int32_t text = 1;    // the item's text
inline constexpr int32_t greyed = 2;  // true: shown greyed
}  // namespace menu_item
namespace submenu {
inline constexpr int32_t title = 0;  // the submenu's text
inline constexpr int32_t first = 1;  // its first element, an array
}  // namespace submenu

// An entry of "Properties".
namespace property {
inline constexpr Key Type{"Type", kind_string};    // the entry's type name
inline constexpr Key Title{"Title", kind_string};  // its name on the sheet
inline constexpr Key Info{"Info", kind_string};    // its help line
// The initial value: a text, a number, a colour 0x00BBGGRR, a chosen item or a tick.
inline constexpr Key DefaultState{"DefaultState", kind_string | kind_number | kind_boolean};
inline constexpr Key ChkDefault{"ChkDefault", kind_boolean};      // its check box starts ticked
inline constexpr Key Checkbox{"Checkbox", kind_boolean};          // it has a check box
inline constexpr Key Bold{"Bold", kind_boolean};                  // its name in bold
inline constexpr Key Removable{"Removable", kind_boolean};        // the user may remove it
inline constexpr Key Renameable{"Renameable", kind_boolean};      // the user may rename it
inline constexpr Key Moveable{"Moveable", kind_boolean};          // the user may move it
inline constexpr Key List{"List", kind_boolean};                  // shown as a list
inline constexpr Key SingleSelect{"SingleSelect", kind_boolean};  // one item at a time
inline constexpr Key Case{"Case", kind_string};            // "Lower" or "Upper": texts forced so
inline constexpr Key Password{"Password", kind_boolean};   // texts shown as dots
inline constexpr Key MaxLength{"MaxLength", kind_number};  // longest text; 0 for no limit
inline constexpr Key Minimum{"Minimum", kind_number};      // a number's least value
inline constexpr Key Maximum{"Maximum", kind_number};      // a number's greatest value
inline constexpr Key Items{"Items", kind_array};           // a combo box's choices
inline constexpr Key Text{"Text", kind_string};            // an edit button's text
inline constexpr Key all[] = {Type,     Title,        Info,      DefaultState, ChkDefault,
                              Checkbox, Bold,         Removable, Renameable,   Moveable,
                              List,     SingleSelect, Case,      Password,     MaxLength,
                              Minimum,  Maximum,      Items,     Text};
}  // namespace property

// Read by editors to find the schema, never by the SDK; accepted at the root.
inline constexpr std::string_view editor_schema = "$schema";

}  // namespace key
}  // namespace Kvor
