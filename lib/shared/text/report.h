// How the SDK tells the user about a problem: a modal message box without an
// owner window, after which the caller returns its failure value and carries on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace Kvor {

enum ReportStyle : uint32_t { report_plain = 0, report_error = 16, report_warning = 48 };

void Report(const char* text, const char* caption, uint32_t style);
void ReportWide(const WideChar* text, const WideChar* caption, uint32_t style);

// printf-style text formatted into a buffer of `buffer_size` characters (the
// terminator included), cut when longer, then reported. A buffer_size of 0
// reports an empty text.
void ReportFormatted(uint32_t style, const char* caption, size_t buffer_size,
                     const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(gnu_printf, 4, 5)))
#endif
    ;

// A caption built as base_name followed by suffix, cut to fit a buffer of
// `buffer_size` characters (terminator included), as the fixed caption
// buffers of the callers hold it.
std::string ReportCaption(const std::string& base_name, const char* suffix,
                          size_t buffer_size = 128);

}  // namespace Kvor
