#include "platform/settings_file.h"

namespace Kvor {

std::string SettingsFilePath(const std::string& library_path, size_t limit) {
    static const char file_name[] = "Tovrandi.ini";
    size_t separator = library_path.find_last_of("\\/");
    std::string path;
    if (separator == std::string::npos) {
        path = file_name;
    } else if (separator >= 7 && library_path.compare(separator - 7, 7, "Unicode") == 0) {
        path = library_path.substr(0, separator - 7) + file_name;
    } else {
        path = library_path.substr(0, separator + 1) + file_name;
    }
    if (path.size() + 1 > limit) return std::string();
    return path;
}

}  // namespace Kvor
