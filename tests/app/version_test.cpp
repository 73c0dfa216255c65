#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// The version resource of the built program, read back as the file's properties read it, against
// the version and names that the build gave this test.
namespace {

// The build's path on this machine, reached through Wine's Z: drive.
std::wstring programPath() {
    const std::string unix = ZELQ_PROGRAM;
    std::wstring path = L"Z:" + std::wstring(unix.begin(), unix.end());
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

class Version : public testing::Test {
protected:
    static std::vector<BYTE> info;

    static void SetUpTestSuite() {
        const std::wstring path = programPath();
        DWORD ignored = 0;
        info.assign(GetFileVersionInfoSizeW(path.c_str(), &ignored), 0);
        if (!info.empty() &&
            !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()))
            info.clear();
    }

    void SetUp() override { ASSERT_FALSE(info.empty()) << "no version resource in " << ZELQ_PROGRAM; }

    const void* value(const std::wstring& name, UINT& length) const {
        void* found = nullptr;
        if (!VerQueryValueW(info.data(), name.c_str(), &found, &length))
            return nullptr;
        return found;
    }

    // A value of the string table of the file's first (and only) language.
    std::wstring text(const wchar_t* key) const {
        UINT length = 0;
        const auto* language = static_cast<const WORD*>(value(L"\\VarFileInfo\\Translation", length));
        if (!language || length < 2 * sizeof(WORD))
            return L"(no translation)";
        wchar_t block[64];
        swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\%ls", language[0], language[1], key);
        const auto* found = static_cast<const wchar_t*>(value(block, length));
        if (!found)
            return L"(missing)";
        return std::wstring(found, std::find(found, found + length, L'\0'));
    }
};
std::vector<BYTE> Version::info;

TEST_F(Version, FixedFileAndProductVersionsAreTheBuildsVersion) {
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value(L"\\", length));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(ZELQ_VERSION_MINOR, ZELQ_VERSION_MAJOR),
                low = MAKELONG(0, ZELQ_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

struct Entry {
    const wchar_t* key;
    const wchar_t* expected;
};

class VersionText : public Version, public testing::WithParamInterface<Entry> {};

TEST_P(VersionText, IsTheBuildsValue) {
    EXPECT_EQ(text(GetParam().key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(StringTable, VersionText,
                         testing::Values(Entry{L"ProductVersion", L"" ZELQ_VERSION_TEXT},
                                         Entry{L"FileVersion", L"" ZELQ_VERSION_TEXT},
                                         Entry{L"ProductName", L"" ZELQ_PRODUCT_NAME},
                                         Entry{L"FileDescription", L"" ZELQ_DESCRIPTION},
                                         Entry{L"LegalCopyright", L"" ZELQ_COPYRIGHT}),
                         [](const testing::TestParamInfo<Entry>& entry) {
                             const std::wstring key = entry.param.key;
                             return std::string(key.begin(), key.end());
                         });

} // namespace
