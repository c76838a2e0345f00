// The text converters. The checked ones are the property code's: they trace
// every conversion to the debugger output and stop the process when their
// callers break the contract (no input ends in NUL; flags-0 conversions of
// non-empty text never fail). The plain ones feed texts straight to the host.
#include "text/converters.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Kvor {
namespace {

// Assertion reports name this file and these lines; the host's users know
// them from the reports, so they stay fixed.
constexpr const char* assertion_file = "lib\\shared\\tovrandi";

struct CheckedConversion {
    uint32_t code_page;
    const WideChar* trace_prefix;
    int line_length_asked;
    int line_converted;
    int line_input_ends_with_null;
    int line_output_ends_with_null;
    const char* input_ends_with_null;
    const char* output_ends_with_null;
};

constexpr const char* length_asked_failed =
    "length > 0 && \"Failed to convert between string encodings, input string is broken.\"";
constexpr const char* converted_failed =
    "length > 0 && \"Failed to convert between string encodings.\"";

constexpr CheckedConversion ansi_to_wide = {
    Platform::code_page_ansi,
    KVOR_WIDE("Converted ANSI To Wide: ["),
    677,
    683,
    697,
    698,
    "input.back() != '\\0' && \"Input ends with null.\"",
    "outputStr.back() != L'\\0' && \"Output ends with null.\""};

constexpr CheckedConversion utf8_to_wide = {
    Platform::code_page_utf8,
    KVOR_WIDE("Converted UTF8 To Wide: ["),
    721,
    727,
    741,
    742,
    "input.back() != '\\0' && \"Input ends with null.\"",
    "outputStr.back() != L'\\0' && \"Output ends with null.\""};

constexpr CheckedConversion wide_to_utf8 = {
    Platform::code_page_utf8,
    KVOR_WIDE("Converted Wide To UTF8: ["),
    797,
    803,
    817,
    818,
    "input.back() != L'\\0' && \"Input ends with null.\"",
    "outputStr.back() != '\\0' && \"Output ends with null.\""};

void Check(bool holds, const char* expression, int line) {
    if (!holds) Platform::AssertionFailed(expression, assertion_file, line);
}

// One platform conversion in each direction, so that the checked conversion
// below reads the same both ways.
int Convert(uint32_t code_page, const std::string& input, WideChar* output, int output_length) {
    return Platform::MultiByteToWide(code_page, input.data(), int(input.size()), output,
                                     output_length);
}
int Convert(uint32_t code_page, const WideString& input, char* output, int output_length) {
    return Platform::WideToMultiByte(code_page, input.data(), int(input.size()), output,
                                     output_length);
}

void DebugOutput(const std::string& text) { Platform::DebugOutputNarrow(text.c_str()); }
void DebugOutput(const WideString& text) { Platform::DebugOutputWide(text.c_str()); }

template <typename Output, typename Input>
Output ConvertChecked(const CheckedConversion& conversion, const Input& input) {
    if (input.empty()) return {};
    int length = Convert(conversion.code_page, input, nullptr, 0);
    Check(length > 0, length_asked_failed, conversion.line_length_asked);
    Output output(length, 0);
    length = Convert(conversion.code_page, input, output.data(), length);
    Check(length > 0, converted_failed, conversion.line_converted);

    Platform::DebugOutputWide(conversion.trace_prefix);
    DebugOutput(input);
    Platform::DebugOutputWide(KVOR_WIDE("] to ["));
    DebugOutput(output);
    Platform::DebugOutputWide(KVOR_WIDE("]\n"));

    Check(input.back() != 0, conversion.input_ends_with_null, conversion.line_input_ends_with_null);
    Check(output.back() != 0, conversion.output_ends_with_null,
          conversion.line_output_ends_with_null);
    return output;
}

// The whole of `text` converted, without a terminator. Wine drops the
// terminator of a text that ends in a cut sequence, so it is not relied upon.
WideString ConvertWhole(const char* text) {
    const int length = Platform::MultiByteToWide(Platform::code_page_utf8, text, -1, nullptr, 0);
    if (length <= 0) return {};
    WideString converted(length, 0);
    Platform::MultiByteToWide(Platform::code_page_utf8, text, -1, converted.data(), length);
    converted.resize(std::char_traits<WideChar>::length(converted.c_str()));
    return converted;
}

std::string ConvertWide(uint32_t code_page, const WideString& text) {
    if (text.empty()) return {};
    const int length =
        Platform::WideToMultiByte(code_page, text.data(), int(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::string converted(length, '\0');
    Platform::WideToMultiByte(code_page, text.data(), int(text.size()), converted.data(), length);
    return converted;
}

bool IsHighSurrogate(WideChar unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

WideString ANSIToWide(std::string input) { return ConvertChecked<WideString>(ansi_to_wide, input); }

WideString UTF8ToWide(std::string input) { return ConvertChecked<WideString>(utf8_to_wide, input); }

std::string WideToUTF8(WideString input) {
    return ConvertChecked<std::string>(wide_to_utf8, input);
}

std::string ANSIToUTF8(std::string input) { return WideToUTF8(ANSIToWide(std::move(input))); }

std::string TextToUTF8(WideString input) { return WideToUTF8(std::move(input)); }

WideString UTF8ToText(std::string input, bool* success) {
    if (success) *success = true;
    return UTF8ToWide(std::move(input));
}

WideChar* CopyUTF8ToWide(WideChar* destination, const char* text, int destination_length) {
    if (!destination || destination_length <= 0) return destination;
    if (!text) text = "";
    const int written = Platform::MultiByteToWide(Platform::code_page_utf8, text, -1, destination,
                                                  destination_length);
    if (written > 0 && destination[written - 1] == 0) return destination;

    // Too long for the buffer (or ending in a cut sequence): keep what fits,
    // never half of a surrogate pair, and terminate. Until then the buffer
    // reads empty, should the whole text not find the memory it needs.
    destination[0] = 0;
    const WideString converted = ConvertWhole(text);
    size_t kept = std::min(converted.size(), size_t(destination_length - 1));
    if (kept > 0 && kept < converted.size() && IsHighSurrogate(converted[kept - 1])) --kept;
    std::memcpy(destination, converted.data(), kept * sizeof(WideChar));
    destination[kept] = 0;
    return destination;
}

WideChar* UTF8ToNewWide(const char* text) {
    if (!text) text = "";
    const int length = Platform::MultiByteToWide(Platform::code_page_utf8, text, -1, nullptr, 0);
    // One unit more than asked for: the buffer stays terminated even where the
    // platform drops the terminator after a cut sequence.
    const size_t units = size_t(std::max(length, 0)) + 1;
    auto* converted = static_cast<WideChar*>(std::calloc(units, sizeof(WideChar)));
    if (converted) Platform::MultiByteToWide(Platform::code_page_utf8, text, -1, converted, length);
    return converted;
}

std::string UTF8ToANSI(const std::string& text) {
    const WideString wide = ConvertWhole(text.c_str());
    // Only UTF-8 comes back unchanged from the round trip.
    if (ConvertWide(Platform::code_page_utf8, wide) != text) return text;
    return ConvertWide(Platform::code_page_ansi, wide);
}

}  // namespace Kvor
