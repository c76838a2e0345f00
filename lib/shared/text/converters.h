// Conversions between the three encodings the plug-in meets: UTF-8 (the
// description, stored property texts), the ANSI code page (some host data) and
// UTF-16 (every text handed to the host).
//
// The checked converters take and return whole strings, trace each non-empty
// conversion to the debugger output and assert their contract. The plain
// converters work on NUL-terminated texts, unchecked and untraced, for texts
// handed straight to the host.
#pragma once

#include <string>

#include "platform/platform.h"

namespace Kvor {

// Checked converters.
WideString ANSIToWide(std::string input);
WideString UTF8ToWide(std::string input);
std::string WideToUTF8(WideString input);

// Forwarding converters.
std::string ANSIToUTF8(std::string input);  // two traces: ANSI to wide, wide to UTF-8
std::string TextToUTF8(WideString input);
// Sets *success to true (never to false) when given, then converts.
WideString UTF8ToText(std::string input, bool* success = nullptr);

// Plain converters. A null text counts as "".
// Converts `text` into `destination` (destination_length wide characters,
// terminator included). A text that does not fit is cut at a whole code point
// and still terminated; a null destination or a length <= 0 writes nothing.
WideChar* CopyUTF8ToWide(WideChar* destination, const char* text, int destination_length);
// A new zero-filled buffer holding the converted text and its terminator, or
// null when memory runs out; the caller frees it with free().
WideChar* UTF8ToNewWide(const char* text);
// The text in the ANSI code page, for an ANSI message box: a character the
// code page lacks becomes '?'. A text that is not UTF-8 (the reader quotes
// single bytes of a description it could not read) keeps its bytes.
std::string UTF8ToANSI(const std::string& text);

}  // namespace Kvor
