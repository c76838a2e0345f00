// Message boxes for the user: modal, no owner window, styles 0/16/48.
#include "text/report.h"

#include <cstdlib>

#include "platform/module.h"
#include "text/converters.h"

namespace Kvor {

void ShowMessage(const Kvor::Message& message, std::string_view kind, const std::string& text) {
    const std::string caption = Kvor::MessageCaption(message, ModuleBaseName(), kind);
    if (!message.wide) {
        // The caption is the library's ANSI name and ASCII; the text carries
        // the description's UTF-8.
        Platform::MessageBoxNarrow(UTF8ToANSI(text).c_str(), caption.c_str(), message.style);
        return;
    }
    // Plain conversions: a message is not one of the traced ones.
    WideChar* wide_text = UTF8ToNewWide(text.c_str());
    WideChar* wide_caption = UTF8ToNewWide(caption.c_str());
    static const WideChar empty[1] = {0};
    Platform::MessageBoxWide(wide_text ? wide_text : empty, wide_caption ? wide_caption : empty,
                             message.style);
    std::free(wide_text);
    std::free(wide_caption);
}

}  // namespace Kvor
