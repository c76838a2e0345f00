// A fresh temporary folder per test case, removed with all it holds when the
// case ends, where a copy of a plug-in can lie with files beside it.
#pragma once

#include <string>
#include <string_view>

namespace plenar::sim {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(std::wstring_view name) const;  // path of `name` inside

    // Copies `source` into the folder as `name` (its own file name when
    // empty); returns the copy's path. Throws std::runtime_error on failure.
    std::wstring place_copy(const std::wstring& source, std::wstring_view name = {});
    std::wstring write_file(std::wstring_view name, std::string_view bytes);

private:
    std::wstring path_;
};

// The whole of the file at `path`; empty when it cannot be read.
std::string read_file(const std::wstring& path);

// The folder of the running program, where plenarcore.dll, the plug-in and
// the test plug-ins are built; no trailing separator.
std::wstring program_folder();

}  // namespace plenar::sim
