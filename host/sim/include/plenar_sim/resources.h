// A module's resources as the host sees them: the list of types, names and
// languages, the bytes of one, string tables and the version strings.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plenar::sim {

struct ResourceEntry {
    std::string type;      // "KVOR" for a named type, or STRING, RCDATA, VERSION, ... or #n
    std::string name;      // the number in decimal, or the name
    uint16_t type_id = 0;  // the type's number, 0 for a named type
    uint16_t id = 0;       // the name's number, 0 for a named resource
    uint16_t language = 0;
    std::vector<uint8_t> bytes;
};

std::vector<ResourceEntry> list_resources(void* module);
// The bytes of the resource of type `type` ("KVOR") and number `id`; none when absent.
std::optional<std::vector<uint8_t>> find_resource(void* module, const wchar_t* type, uint16_t id);

// The 16 strings of a string-table block, UTF-8; the block with number n
// holds strings (n - 1) * 16 to n * 16 - 1.
std::vector<std::string> string_table_block(const std::vector<uint8_t>& bytes);

struct VersionInfo {
    bool present = false;
    uint16_t file_version[4] = {};
    uint16_t product_version[4] = {};
    uint32_t file_type = 0;                      // VFT_DLL is 2
    uint32_t file_os = 0;                        // VOS__WINDOWS32 is 4
    std::string translation;                     // language and code page, e.g. "040904B0"
    std::map<std::string, std::string> strings;  // UTF-8
};

// Read with GetFileVersionInfoW / VerQueryValueW, as Windows shows them.
VersionInfo read_version_info(const std::wstring& path);

}  // namespace plenar::sim
