// Per-case temporary folders, and a plug-in copy loaded from one.
#include <windows.h>
#include <gtest/gtest.h>
#include "plenar_sim/plugin.h"
#include "plenar_sim/temp_folder.h"

using namespace plenar::sim;

namespace {

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(TempFolder, IsFreshAndRemovedWithItsFiles) {
    std::wstring path;
    {
        TempFolder folder;
        TempFolder other;
        path = folder.path();
        EXPECT_NE(path, other.path());
        EXPECT_TRUE(exists(path));
        folder.write_file(L"Lumbra.json", "{}");
        CreateDirectoryW(folder.file(L"sub").c_str(), nullptr);
        folder.write_file(L"sub\\inner.txt", "x");
        EXPECT_TRUE(exists(folder.file(L"Lumbra.json")));
    }
    EXPECT_FALSE(exists(path));
}

TEST(TempFolder, HoldsAPluginCopyThatLoadsWithFilesBesideIt) {
    TempFolder folder;
    const std::wstring copy =
        folder.place_copy(program_folder() + L"\\fake_plugin.pvx", L"Copy.pvx");
    folder.write_file(L"Copy.json", "{\"Identifier\": \"TEST\"}");
    EXPECT_EQ(copy, folder.file(L"Copy.pvx"));
    Plugin plugin(copy);
    wchar_t loaded[MAX_PATH];
    GetModuleFileNameW(static_cast<HMODULE>(plugin.module()), loaded, MAX_PATH);
    EXPECT_EQ(_wcsicmp(loaded, copy.c_str()), 0);
}

TEST(TempFolder, CopyOfAMissingFileThrows) {
    TempFolder folder;
    EXPECT_THROW(folder.place_copy(folder.file(L"absent.pvx")), std::runtime_error);
}

TEST(Plugin, ThatDoesNotLoadThrowsWithThePath) {
    TempFolder folder;
    const std::wstring path = folder.write_file(L"Broken.pvx", "not a library");
    try {
        Plugin plugin(path);
        FAIL() << "loaded";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Broken.pvx"), std::string::npos);
    }
}

}  // namespace
