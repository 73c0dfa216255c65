#include "harness/harness.h"
#include "toolkit/dpi.h"

// Game folders hold the modifications' proxy DLLs: after start-up, a library named without a path
// must come from the system folder only, never from the program's own folder.
TEST(DllSearch, ALibraryBesideTheProgramIsNotLoadedByName) {
    wchar_t exe[MAX_PATH], system[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring planted = platform::folderOf(exe) + L"zelqprobe.dll";
    ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\version.dll").c_str(), planted.c_str(), FALSE));

    tk::restrictDllSearch();
    HMODULE probe = LoadLibraryW(L"zelqprobe.dll");
    EXPECT_EQ(probe, nullptr) << "a library beside the program was loaded by its bare name";
    if (probe)
        FreeLibrary(probe);
    EXPECT_NE(LoadLibraryW(L"version.dll"), nullptr); // system libraries still load
    DeleteFileW(planted.c_str());
}
