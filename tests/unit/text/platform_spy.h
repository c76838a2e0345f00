// What the code under test showed the user and the debugger, seen the same way
// in both builds: natively through the platform stand-in's records, in the
// win32 build by redirecting this program's own imports of MessageBoxA/W and
// OutputDebugStringA/W (test equipment only; the plug-in never does this).
// Wide texts are seen converted to UTF-8, narrow texts as the bytes given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TextTests {

struct SeenBox {
    bool wide;
    std::string text;
    std::string caption;
    uint32_t style;
    bool operator==(const SeenBox&) const = default;
};

struct SeenDebugPiece {
    bool wide;
    std::string text;
    bool operator==(const SeenDebugPiece&) const = default;
};

// Starts watching afresh; false if the win32 imports could not be redirected.
bool StartWatching();
std::vector<SeenBox> SeenBoxes();
std::vector<SeenDebugPiece> SeenDebugPieces();

}  // namespace TextTests
