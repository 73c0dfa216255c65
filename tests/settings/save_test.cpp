// A save of several files as the storage sees it, without a window.
#include "harness/harness.h"
#include "platform/lock.h"
#include "settings/ini.h"
#include "settings/save.h"

using namespace harness;

namespace {

constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
const std::string kBefore = "[General]\r\nSleepTime=5\r\n";

// The game's file and a settings file, both hidden and system: a save of the two keeps a second name
// (a hard link) of each until both are in place.
class TwoFiles : public WindowTest {
protected:
    GameFolder game;
    const std::wstring first = game.file(L"\\morvex2006.ini"), second = game.settings(L"settings.ini");

    void SetUp() override {
        WindowTest::SetUp();
        for (const std::wstring& file : {first, second}) {
            write(file, kBefore);
            SetFileAttributesW(file.c_str(), kHiddenSystem);
        }
    }
    std::optional<settings::SaveFailure> save() {
        return settings::writeFiles({{.path = first, .text = "new\r\n"},
                                     {.path = second, .keys = {{L"General", L"SleepTime", L"9"}}}});
    }
    void expectFile(const std::wstring& file, const std::string& bytes) {
        EXPECT_EQ(read(file), bytes);
        EXPECT_EQ(GetFileAttributesW(file.c_str()) & (kHiddenSystem | FILE_ATTRIBUTE_READONLY),
                  kHiddenSystem);
    }
    void expectNoOtherFile() {
        EXPECT_EQ(names(game.path()), (std::vector<std::wstring>{L"morvex2006.ini", L"zelqcfg"}));
        EXPECT_EQ(names(game.path() + L"\\zelqcfg"), std::vector<std::wstring>{L"settings.ini"});
    }
};

TEST_F(TwoFiles, ASaveOfBothKeepsTheirAttributesAndRemovesTheSecondNames) {
    EXPECT_FALSE(save());
    expectFile(first, "new\r\n");
    expectFile(second, "[General]\r\nSleepTime=9\r\n");
    expectNoOtherFile();
}

TEST_F(TwoFiles, WhenTheSecondCannotBeReplacedBothKeepTheirBytesAndAttributes) {
    // Once the first file is in place, the second's new copy goes, so that its rename fails.
    const std::wstring cfg = game.path() + L"\\zelqcfg";
    rec.onCheckpoint = [&](std::wstring_view where) {
        if (where == L"settings replaced")
            for (const std::wstring& name : names(cfg))
                if (name != L"settings.ini")
                    DeleteFileW((cfg + L"\\" + name).c_str());
    };
    const auto failure = save();
    rec.onCheckpoint = nullptr;
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->file, second);
    EXPECT_EQ(failure->error, DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_TRUE(failure->kept.empty());
    expectFile(first, kBefore);
    expectFile(second, kBefore);
    expectNoOtherFile();
}

// The profile functions give at most a buffer's worth: a long value must still read whole.
TEST_F(WindowTest, ReadIniGivesALongValueWhole) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini");
    write(file, kBefore + "New=" + std::string(10000, '\xe9') + "\r\n");
    EXPECT_EQ(settings::ReadIni(file, L"General", L"New", false), std::wstring(10000, L'\u00e9'));
}

// Two copies of the program that name one file differently must still take one lock; other files, other
// locks.
TEST(LockName, EverySpellingOfOnePathGivesOneKeyAndOnlyIt) {
    const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
        {L"C:\\Games\\M\\zelqcfg\\settings.ini", L"c:\\games\\m\\ZELQCFG\\Settings.INI", true},
        {L"C:\\Games\\M\\zelqcfg\\settings.ini", L"\\\\?\\C:\\Games\\M\\zelqcfg\\settings.ini", true},
        {L"C:\\Games\\M\\zelqcfg\\settings.ini", L"C:/Games/M/zelqcfg/settings.ini", true},
        {L"C:\\Games\\M", L"C:\\Games\\M\\", true},
        {L"C:\\Spiel\\\u00c9t\u00e9", L"c:\\spiel\\\u00e9T\u00c9", true},
        {L"\\\\server\\share\\settings.ini", L"\\\\?\\UNC\\server\\share\\settings.ini", true},
        {L"C:\\Games\\M\\settings.ini", L"C:\\Games\\M\\settings.ini.bak", false},
        {L"\\\\server\\share\\settings.ini", L"server\\share\\settings.ini", false},
        {L"\\\\?\\UNC\\server\\share\\settings.ini", L"\\\\?\\server\\share\\settings.ini", false},
    };
    for (const auto& [a, b, same] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(b)));
        EXPECT_EQ(platform::pathKey(a) == platform::pathKey(b), same);
    }
}

} // namespace
