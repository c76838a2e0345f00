// plenarcore.dll exports by ordinal only, and a module linked to it imports
// it by ordinal only.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include "plenar_sim/pe_image.h"
#include "plenar_sim/plugin.h"
#include "plenar_sim/temp_folder.h"

using namespace plenar::sim;

namespace {

const std::vector<uint16_t> host_ordinals = {34,  137, 264, 286, 355, 366,
                                             401, 443, 587, 638, 677, 753};

TEST(PlenarcoreExports, AreExactlyTheHostOrdinalsWithoutNames) {
    HMODULE core = GetModuleHandleW(L"plenarcore.dll");
    ASSERT_NE(core, nullptr);
    const ExportDirectory exports = read_exports(core);
    EXPECT_EQ(exports.ordinals, host_ordinals);
    EXPECT_TRUE(exports.names.empty());
    for (uint16_t ordinal : host_ordinals)
        EXPECT_NE(GetProcAddress(core, MAKEINTRESOURCEA(ordinal)), nullptr) << ordinal;
}

TEST(PlenarcoreExports, APluginLinkedToItImportsByOrdinalOnly) {
    Plugin plugin(program_folder() + L"\\fake_plugin.pvx");
    std::vector<uint16_t> ordinals;
    for (const ImportEntry& entry : read_imports(plugin.module())) {
        if (_stricmp(entry.library.c_str(), "plenarcore.dll") != 0) continue;
        EXPECT_TRUE(entry.by_ordinal) << entry.name;
        ordinals.push_back(entry.ordinal);
    }
    // FillRect, OutlineRect, WindowSurface, ImportImage, CreateMemoryInputFile, Open.
    std::sort(ordinals.begin(), ordinals.end());
    EXPECT_EQ(ordinals, (std::vector<uint16_t>{34, 137, 366, 443, 638, 677}));
}

}  // namespace
