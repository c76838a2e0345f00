// Every message box the SDK can show: its caption, its text and its style,
// stated once. The SDK shows them through these entries, and the tests and
// `plenar-host check` name them through these entries too.
//
// The texts are byte for byte the ones users of the host and description
// authors have always seen, and are searched for in notes and forums: their
// odd spellings, spacing and capitals ("Propery Error", "changed cancelled",
// "[%s].Check", "- Tovrandi error" without a space before it) are kept on
// purpose.
//
// In a caption, "{library}" stands for the library's base name (its file
// name without ".pvx") and "{kind}" for "action", "condition" or
// "expression". A text is a printf format where the message takes arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace Kvor {

enum ReportStyle : uint32_t { report_plain = 0, report_error = 16, report_warning = 48 };

struct Message {
    const char* caption;
    const char* text;
    ReportStyle style;
    // The fixed buffers the caption and the formatted text are written into,
    // terminator included: what does not fit is cut. 0: no limit.
    uint16_t caption_limit = 260;
    uint16_t text_limit = 0;
    bool wide = false;  // shown by the wide (UTF-16) message box
};

namespace message {

// Finding and reading the description.
inline constexpr Message resource_missing{
    "{library} - Error", "Missing a resource! Type %s, number %i.", report_error, 260, 128, true};
inline constexpr Message description_not_found{
    "{library} - Error", "JSON file not found on disk or in PVX resources", report_plain};
inline constexpr Message description_no_memory{
    "{library} - Error", "Could not allocate memory for the JSON description.", report_plain};
// The text is the reader's own message, with its line and column.
inline constexpr Message description_not_json{"{library} - Error parsing JSON", "%s", report_plain};

// Choosing the language.
inline constexpr Message language_too_early{
    "{library}- Tovrandi error",
    "Premature function call!\n  Called DefaultLanguageIndex() before ::SDK was a valid pointer.",
    report_error, 128};
inline constexpr Message settings_unreadable{"Tovrandi SDK - Error", "Error opening Tovrandi.ini.",
                                             report_error};
inline constexpr Message settings_without_languages{
    "Tovrandi Debug CurrentLanguage()", "Languages not found in .ini file. Using default.",
    report_error};
inline constexpr Message no_language{"Tovrandi - Internal JSON error.",
                                     "The JSON parser could not find the current language object.",
                                     report_plain};

// Records of actions, conditions and expressions.
inline constexpr Message unknown_parameter_type{
    "Tovrandi - Error", "Error reading Parameter type \"%s\"; text did not match anything.",
    report_error};
inline constexpr Message unknown_return_type{
    "Tovrandi - Error", "Error reading expression return; returns '%s', which is unrecognised.",
    report_error, 260, 256};
inline constexpr Message entry_not_object{"Tovrandi - Error reading {kind}",
                                          "Invalid JSON reference, expected object.", report_error};
inline constexpr Message too_many_parameters{"Tovrandi - Error reading {kind}",
                                             "Too many parameters in %s.", report_error};
inline constexpr Message record_no_memory{"Tovrandi - Error creating {kind} info",
                                          "Could not allocate memory for %s return.", report_error};

// Linking an extension's members, and calling them.
inline constexpr Message link_beyond_declared{
    "Tovrandi - Error linking {kind}",
    "The extension links %s %d, but the description declares only %u %ss.", report_error, 260, 160};
inline constexpr Message link_mismatch{
    "Tovrandi - Error linking {kind}",
    "The member linked to %s %d (\"%s\") does not match its declaration.\r\n"
    "The description declares %s;\r\nthe member takes %s.\r\n"
    "It is left unlinked.",
    report_error};
inline constexpr Message null_text_parameter{
    "Tovrandi - ActionOrCondition() error",
    "Error calling action/condition: null pointer given as string parameter.", report_plain};
inline constexpr Message null_text_expression_parameter{
    "Tovrandi - Expression() error",
    "Error calling expression: null pointer given as string parameter.", report_plain};

// The property sheet's descriptors.
inline constexpr Message combo_without_items{
    "Tovrandi error", "Warning: no items detected in combobox property.", report_plain};
inline constexpr Message refused_property_type{
    "Tovrandi - JSON Property parser",
    "You have specified an invalid Parameter type: [%s].\r\nPlease ensure you are permitted to use "
    "this.",
    report_plain};
inline constexpr Message custom_property{"Kvor note", "Detected as custom.", report_plain};
inline constexpr Message unknown_property_type{
    "Tovrandi error",
    "The Parameter type specified was unrecognised: [%s].Check your spelling of the \"Type\" "
    "Parameter.",
    report_plain, 260, 256};

// A new instance's stored properties, laid out from the defaults.
inline constexpr Message unhandled_property_type{
    "Tovrandi - Error", "Can't handle property type \"%s\".", report_error};
inline constexpr Message defaults_too_large{"Tovrandi - Error",
                                            "Property default sizes are too large.", report_error};
inline constexpr Message default_text_invalid{
    "Tovrandi - setup warning", "Invalid or no default string value specified.", report_warning};
inline constexpr Message default_number_invalid{
    "Tovrandi setup warning", "Invalid or no default integer value specified.", report_warning};
inline constexpr Message default_choice_invalid{
    "Tovrandi - setup warning", "Invalid or no default string specified.", report_warning};
inline constexpr Message default_choice_not_an_item{
    "Tovrandi - setup warning",
    "Specified a default string in a combobox property that does not exist in items list.",
    report_warning};
inline constexpr Message default_check_invalid{
    "Tovrandi setup warning", "Invalid or no default checkbox value specified.", report_warning};
inline constexpr Message layout_resize_refused{
    "Tovrandi - setup warning", "Could not reallocate EDITDATA.\n\n*cough* Plenar's fault.",
    report_warning};

// Reading and writing stored properties.
inline constexpr Message properties_too_early{
    "{library} - Tovrandi error",
    "Premature function call!\n  GetProperty() called without edPtr->Tovrandi_Props being valid.",
    report_error, 128};
// The argument is one of the damage reasons below.
inline constexpr Message properties_damaged{
    "Tovrandi - Property Error",
    "The stored properties of this object are damaged: %s\nNothing was read or changed.",
    report_error};
inline constexpr const char* damage_size_beyond_block =
    "their recorded size is larger than the EDITDATA block.";
inline constexpr const char* damage_no_room_for_checks =
    "the EDITDATA block has no room for every check box.";
inline constexpr const char* damage_text_runs_past =
    "a stored text runs past the end of EDITDATA; the object's properties may have changed since "
    "it was saved.";
inline constexpr const char* damage_number_runs_past =
    "a stored number runs past the end of EDITDATA; the object's properties may have changed since "
    "it was saved.";
inline constexpr const char* damage_layout_record =
    "the record of their layout does not match the values before it.";
inline constexpr const char* damage_layout_ambiguous =
    "they fit more than one earlier form of the object's properties, and nothing tells which; the "
    "object's properties may have changed since it was saved.";
// The argument lists the entries ("Title", or #position from 0).
inline constexpr Message properties_kind_changed{
    "Tovrandi - Property warning",
    "These properties were saved as another type of property: %s.\nThey now have their default "
    "values, and their saved values are no longer kept.",
    report_warning, 260, 1024};
inline constexpr Message rewrite_no_memory{
    "Tovrandi - Property Error", "Out of memory attempting to rewrite properties!", report_error};
inline constexpr Message rewrite_resize_refused{
    "Tovrandi - Propery Error",
    "NULL returned from EDITDATA reallocation. Property changed cancelled.", report_error};
inline constexpr Message no_value_for_type{
    "Tovrandi Property Error", "Don't understand JSON property type, can't return Prop.",
    report_error};
inline constexpr Message no_write_for_type{
    "Tovrandi Fatal Error", "Don't understand JSON property type, can't return Prop.",
    report_error};
inline constexpr Message text_value_without_nul{
    "Tovrandi - Property Error",
    "A text property's new value must end with its only NUL byte. Property change cancelled.",
    report_error};
inline constexpr Message number_value_width{"Tovrandi - Property Error",
                                            "This property stores a 4-byte number; a value of %u "
                                            "bytes cannot be stored. Property change cancelled.",
                                            report_error, 260, 256};
inline constexpr Message data_value_on_number{
    "Tovrandi - Property error", "ERROR: Got Buff type for non-string property.", report_plain};
inline constexpr Message custom_value_class{
    "Tovrandi - Error", "Assuming class ID is custom - but no custom code yet written.",
    report_plain};

// An error that stopped an export's work; the export then gives the host its
// failure value. The out-of-memory box is shown as written when there is not
// even the memory to format it, so its caption names no library and its text
// takes no argument.
inline constexpr Message out_of_memory{
    "Tovrandi - Error", "Out of memory: the request could not be finished and was abandoned.",
    report_error};
// The argument is the error's own description, or the text below.
inline constexpr Message export_error{"Tovrandi - Error",
                                      "The request was abandoned after an error: %s", report_error};
inline constexpr const char* export_unknown_error = "an error without a description.";

// The debugger's items. The text is one of the debugger errors below.
inline constexpr Message debugger_error{"Tovrandi - Debugger error", "%s", report_error};
inline constexpr const char* debugger_too_many_items = "Too many items added to Plenar debugger.";
inline constexpr const char* debugger_unknown_item =
    "Couldn't find debug ID in Plenar debugger list.";
inline constexpr const char* debugger_item_not_editable = "Item not editable.";
inline constexpr const char* debugger_unknown_error = "Unknown error in Plenar debugger.";

// A linked member, or the fallback of an id without one, let an exception
// out; the routine gives the host its failure value instead. The last
// argument is the exception's own text, or call_failed_unknown.
inline constexpr Message call_failed{
    "Tovrandi - Error calling {kind}",
    "Error calling %s %d: the extension's code stopped with an exception, %s.", report_error};
inline constexpr const char* call_failed_unknown = "one that carries no message";

}  // namespace message

// The caption as shown: its placeholders filled in, cut to its buffer.
inline std::string MessageCaption(const Message& message, std::string_view library,
                                  std::string_view kind = {}) {
    std::string caption;
    for (const char* c = message.caption; *c;) {
        const std::string_view rest(c);
        if (rest.substr(0, 9) == "{library}") {
            caption += library;
            c += 9;
        } else if (rest.substr(0, 6) == "{kind}") {
            caption += kind;
            c += 6;
        } else {
            caption += *c++;
        }
    }
    if (message.caption_limit && caption.size() >= message.caption_limit)
        caption.resize(message.caption_limit - 1u);
    return caption;
}

// The text as shown: formatted with `arguments` (printf's), cut to its buffer.
template <typename... A>
std::string MessageText(const Message& message, A... arguments) {
    if constexpr (sizeof...(A) == 0) {
        return message.text;
    } else {
        const int length = std::snprintf(nullptr, 0, message.text, arguments...);
        if (length <= 0) return {};
        std::string text(static_cast<size_t>(length) + 1, '\0');
        std::snprintf(text.data(), text.size(), message.text, arguments...);
        text.resize(static_cast<size_t>(length));
        if (message.text_limit && text.size() >= message.text_limit)
            text.resize(message.text_limit - 1u);
        return text;
    }
}

}  // namespace Kvor
