// A save of several files as the storage sees it, without a window.
#include "harness/harness.h"
#include "platform/lock.h"
#include "settings/ini.h"
#include "settings/save.h"

using namespace harness;

namespace {

constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
const std::string kBefore = "[General]\r\nSleepTime=5\r\n";

// A file held open without sharing is every window's (tests/faults).
enum class Fault { ReadOnly, HeldForReading, Busy, NoFolder, StageGone };

// The game's file (its whole text given) and a settings file (keys), both hidden and system: a save
// of the two keeps a second name (a hard link) of each until both are in place.
class TwoFiles : public WindowTest {
protected:
    GameFolder game;
    const std::wstring cfg = game.path() + L"\\zelqcfg", first = game.file(L"\\morvex2006.ini"),
                       second = game.settings(L"settings.ini");

    void SetUp() override {
        WindowTest::SetUp();
        lay();
    }
    void lay() {
        for (const std::wstring& file : {first, second}) {
            write(file, kBefore);
            SetFileAttributesW(file.c_str(), kHiddenSystem);
        }
    }
    std::optional<settings::SaveFailure> save() {
        return settings::writeFiles({{.path = first, .text = "new\r\n"},
                                     {.path = second, .keys = {{L"General", L"SleepTime", L"9"}}}});
    }
    // Saves with the fault on the second file, then takes the fault away.
    std::optional<settings::SaveFailure> saveWith(Fault fault) {
        platform::PathLock other(L"settings", second);
        HANDLE open = INVALID_HANDLE_VALUE;
        if (fault == Fault::HeldForReading)
            open = CreateFileW(second.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        if (fault == Fault::ReadOnly)
            SetFileAttributesW(second.c_str(), kHiddenSystem | FILE_ATTRIBUTE_READONLY);
        if (fault == Fault::Busy) {
            EXPECT_TRUE(other.acquire(0));
        }
        if (fault == Fault::NoFolder)
            MoveFileW(cfg.c_str(), (cfg + L"~").c_str());
        if (fault == Fault::StageGone) // once the first file is in place, so that the second's rename fails
            rec.onCheckpoint = [&](std::wstring_view where) {
                for (const std::wstring& name : names(cfg))
                    if (where == L"settings replaced" && name != L"settings.ini")
                        DeleteFileW((cfg + L"\\" + name).c_str());
            };
        const auto failure = save();
        rec.onCheckpoint = nullptr;
        CloseHandle(open);
        if (fault == Fault::ReadOnly)
            SetFileAttributesW(second.c_str(), kHiddenSystem);
        if (fault == Fault::NoFolder) {
            EXPECT_FALSE(platform::exists(cfg)) << "the settings folder is never made";
            MoveFileW((cfg + L"~").c_str(), cfg.c_str());
        }
        return failure;
    }
    void expectFile(const std::wstring& file, const std::string& bytes) {
        EXPECT_EQ(read(file), bytes);
        EXPECT_EQ(GetFileAttributesW(file.c_str()) & (kHiddenSystem | FILE_ATTRIBUTE_READONLY),
                  kHiddenSystem);
    }
    void expectNoOtherFile() {
        EXPECT_EQ(names(game.path()), (std::vector<std::wstring>{L"morvex2006.ini", L"zelqcfg"}));
        EXPECT_EQ(names(cfg), std::vector<std::wstring>{L"settings.ini"});
    }
};

TEST_F(TwoFiles, ASaveOfBothKeepsTheirAttributesAndRemovesTheSecondNames) {
    EXPECT_FALSE(save());
    expectFile(first, "new\r\n");
    expectFile(second, "[General]\r\nSleepTime=9\r\n");
    expectNoOtherFile();
}

// Each fault on the second file, found before or after the first is in place, fails the save naming
// that file and the reason, and both files keep their bytes and attributes; the next save removes what
// the failed one left.
TEST_F(TwoFiles, AFaultOnTheSecondFileLeavesBothAsTheyWere) {
    const std::pair<Fault, DWORD> cases[] = {
        {Fault::ReadOnly, ERROR_ACCESS_DENIED},   {Fault::HeldForReading, ERROR_ACCESS_DENIED},
        {Fault::Busy, ERROR_SHARING_VIOLATION},   {Fault::NoFolder, ERROR_PATH_NOT_FOUND},
        {Fault::StageGone, ERROR_FILE_NOT_FOUND},
    };
    for (const auto& [fault, reason] : cases) {
        SCOPED_TRACE(testing::Message() << "fault " << static_cast<int>(fault));
        const auto failure = saveWith(fault);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->file, second);
        EXPECT_EQ(failure->error, reason);
        EXPECT_TRUE(failure->kept.empty());
        expectFile(first, kBefore);
        expectFile(second, kBefore);
        EXPECT_FALSE(save());
        expectNoOtherFile();
        lay();
    }
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
