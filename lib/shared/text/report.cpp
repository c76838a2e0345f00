// Message boxes for the user: modal, no owner window, styles 0/16/48.
#include "text/report.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace Kvor {

void Report(const char* text, const char* caption, uint32_t style) {
  Platform::MessageBoxNarrow(text, caption, style);
}

void ReportWide(const WideChar* text, const WideChar* caption, uint32_t style) {
  Platform::MessageBoxWide(text, caption, style);
}

void ReportFormatted(uint32_t style, const char* caption, size_t buffer_size,
                     const char* format, ...) {
  std::vector<char> text(buffer_size > 0 ? buffer_size : 1, '\0');
  if (buffer_size > 0) {
    va_list arguments;
    va_start(arguments, format);
    // vsnprintf cuts the text to the buffer and always terminates it.
    std::vsnprintf(text.data(), buffer_size, format, arguments);
    va_end(arguments);
  }
  Report(text.data(), caption, style);
}

std::string ReportCaption(const std::string& base_name, const char* suffix, size_t buffer_size) {
  std::string caption = base_name + (suffix ? suffix : "");
  if (buffer_size == 0) return {};
  if (caption.size() > buffer_size - 1) caption.resize(buffer_size - 1);
  return caption;
}

}  // namespace Kvor
