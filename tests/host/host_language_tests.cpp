// plenar_host_language() gives the program string resource 720 with its
// language id, where a plug-in looks for the host's language.
#include <windows.h>
#include <gtest/gtest.h>

namespace {

TEST(HostLanguage, IsInStringResource720OfTheProgram) {
    wchar_t text[16] = {};
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), 720, text, 16), 0);
    EXPECT_STREQ(text, L"1036");
}

TEST(HostLanguage, IsReadableFromTheExecutableLoadedAsData) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    HMODULE data = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(data, nullptr);
    wchar_t text[16] = {};
    EXPECT_EQ(LoadStringW(data, 720, text, 16), 4);
    EXPECT_STREQ(text, L"1036");
    FreeLibrary(data);
}

}  // namespace
