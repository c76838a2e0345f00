#include "platform/platform_recorder.h"
#include "platform_spy.h"

namespace TextTests {

bool StartWatching() {
    Kvor::Platform::ClearRecords();
    return true;
}

std::vector<SeenBox> SeenBoxes() {
    std::vector<SeenBox> seen;
    for (const auto& box : Kvor::Platform::RecordedBoxes())
        seen.push_back({box.wide, box.text, box.caption, box.style});
    return seen;
}

std::vector<SeenDebugPiece> SeenDebugPieces() {
    std::vector<SeenDebugPiece> seen;
    for (const auto& piece : Kvor::Platform::RecordedDebugPieces())
        seen.push_back({piece.wide, piece.text});
    return seen;
}

}  // namespace TextTests
