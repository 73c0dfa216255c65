#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// The version resource of the built program, read back as the file's properties read it, against
// the version and names that the build gave this test. The resource takes them from macros: a
// value goes wrong by a wrong or missing macro, which one field of each kind shows.
namespace {

// A value of the built program's version resource, or null.
const void* versionValue(const std::wstring& name) {
    static const std::vector<BYTE> info = [] {
        // The build's path on this machine, reached through Wine's Z: drive.
        const std::string unix = ZELQ_PROGRAM;
        std::wstring path = L"Z:" + std::wstring(unix.begin(), unix.end());
        std::replace(path.begin(), path.end(), L'/', L'\\');
        DWORD ignored = 0;
        std::vector<BYTE> bytes(GetFileVersionInfoSizeW(path.c_str(), &ignored));
        if (!GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(bytes.size()), bytes.data()))
            bytes.clear();
        return bytes;
    }();
    void* found = nullptr;
    UINT length = 0;
    return !info.empty() && VerQueryValueW(info.data(), name.c_str(), &found, &length) ? found : nullptr;
}

// The fixed version's numbers, and the string table of the file's first (and only) language.
TEST(Version, TheResourceHoldsTheBuildsVersionAndNames) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(versionValue(L"\\"));
    const auto* language = static_cast<const WORD*>(versionValue(L"\\VarFileInfo\\Translation"));
    ASSERT_TRUE(fixed && language) << "no version resource in " << ZELQ_PROGRAM;
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(ZELQ_VERSION_MINOR, ZELQ_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, ZELQ_VERSION_PATCH)));
    const std::pair<const wchar_t*, const wchar_t*> entries[] = {
        {L"FileVersion", L"" ZELQ_VERSION_TEXT},
        {L"ProductName", L"" ZELQ_PRODUCT_NAME},
        {L"FileDescription", L"" ZELQ_DESCRIPTION},
        {L"LegalCopyright", L"" ZELQ_COPYRIGHT},
    };
    for (const auto& [key, expected] : entries) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(key)));
        wchar_t block[64];
        swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\%ls", language[0], language[1], key);
        const auto* found = static_cast<const wchar_t*>(versionValue(block));
        EXPECT_EQ(std::wstring(found ? found : L"(missing)"), expected);
    }
}

} // namespace
