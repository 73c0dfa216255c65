// Texture mod runs through the window, beside a second copy of the program, a kill and a full disk,
// and the status line that tells whose each game file is.
#include "app/mainform.h"
#include "harness/harness.h"
#include "platform/lock.h"
#include "settings/ini.h"
#include "texmods/texmodform.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <optional>
#include <regex>

using namespace harness;
using Texts = std::vector<std::wstring>;

namespace {

const std::wstring kInstalled = L"Successful Install\nInstall Complete.\n";
const std::wstring kUninstalled = L"Successful Uninstall\nUninstall Complete.\n";

// The message starts with the first part and holds every other.
void expectSays(const std::wstring& said, const Texts& parts) {
    EXPECT_EQ(said.substr(0, parts.front().size()), parts.front());
    for (const std::wstring& part : parts)
        EXPECT_NE(said.find(part), std::wstring::npos) << testing::PrintToString(said);
}

} // namespace

// A game folder deeper than the old limit of 260 characters, with numbered game files under tex\,
// named outside ASCII, and mods that replace them with files of their own.
class TexMods : public WindowTest {
protected:
    std::optional<GameFolder> folder; // none in a second copy, which may be killed and so leave it behind
    std::wstring game, texpacks, mods, backups;
    int files = 0;
    size_t pad = 16; // every file this long at least, so that only their bytes tell them apart
    texmods::frmTexMod& form = texmods::texModForm();

    TexMods() {
        if (SecondCopy::args().empty())
            place(folder.emplace(300).path());
    }
    void place(const std::wstring& at) {
        game = at;
        texpacks = at + L"\\zelqcfg\\texpacks";
        mods = texpacks + L"\\texmods\\";
        backups = texpacks + L"\\original";
        for (const std::wstring& f : {at, at + L"\\zelqcfg", texpacks, mods, backups, at + L"\\tex"})
            makeFolder(f);
        settings::setAppFolder(at);
    }
    // `count` game files, and the mods named, each with a file for every game file.
    void lay(int count, const Texts& modNames) {
        files = count;
        for (int i = 0; i < count; ++i) {
            write(target(i), content("game", i));
            for (const std::wstring& m : modNames)
                addFile(m, L"tex^" + name(i), content(platform::toAnsi(m), i));
        }
    }
    void addFile(const std::wstring& mod, const std::wstring& file, const std::string& bytes) const {
        makeFolder(mods + mod);
        write(mods + mod + L"\\" + file, bytes);
    }
    static std::wstring name(int i) { return L"f\u00ef" + std::to_wstring(10000 + i) + L".sz"; }
    std::wstring target(int i) const { return game + L"\\tex\\" + name(i); }
    std::wstring backup(int i) const { return backups + L"\\tex^" + name(i); }
    std::string content(const std::string& owner, int i) const {
        std::string s = owner + " " + std::to_string(i);
        s.resize(std::max(s.size(), pad), '.');
        return s;
    }
    // Whose whole file the `i`th target or backup holds: its owner's first letter, in upper case when
    // the file is hidden and system; "-" none; "?" nobody's.
    char whose(const std::wstring& path, int i) const {
        const std::string bytes = read(path);
        if (bytes == "<missing>")
            return '-';
        const std::string owner = bytes.substr(0, bytes.find(' '));
        if (bytes != content(owner, i))
            return '?';
        const DWORD hs = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if ((GetFileAttributesW(platform::longPath(path).c_str()) & hs) == hs)
            return static_cast<char>(std::toupper(owner[0]));
        return owner[0];
    }
    // Whose each target, then each backup, is, and whether work files were left.
    std::string state() const {
        std::string targets, saved;
        for (int i = 0; i < files; ++i) {
            targets += whose(target(i), i);
            saved += whose(backup(i), i);
        }
        const bool clean = names(texpacks).size() == 2;
        return targets + "/" + saved + (clean ? "" : " and work files");
    }
    void choose(const std::wstring& mod) {
        if (!form.loaded())
            form.show();
        for (int p = 0; p < form.count(L"cmbMods"); ++p)
            if (form.itemText(L"cmbMods", p) == mod)
                pick(form, L"cmbMods", p);
    }
    // Presses a button on the mod named if any: the one message shown, after as many "!" as its
    // icon is grave.
    std::wstring press(const wchar_t* button, const std::wstring& mod = L"") {
        choose(mod);
        click(form, button);
        EXPECT_EQ(rec.messages.size(), 1u);
        std::wstring said;
        for (const Message& m : rec.messages)
            said += std::wstring(static_cast<size_t>(m.icon), L'!') + m.title + L"\n" + m.text + L"\n";
        rec.messages.clear();
        return said;
    }
    // The status line of the mod named, if any, once its check has ended.
    std::wstring line(const std::wstring& mod = L"") {
        choose(mod);
        while (form.text(L"lblStatus") == L"Checking...") {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            pump();
        }
        return form.text(L"lblStatus");
    }
};

TEST_F(TexMods, InstallPutsInTheModFilesSavingEachGameFileAndUninstallPutsThoseBack) {
    lay(4, {L"b"});
    // A hidden mod file is none; one found by its list (the first line; empty names skipped); the
    // game has no file of its own at the last target, which uninstall leaves as it is.
    SetFileAttributesW(platform::longPath(mods + L"b\\tex^" + name(1)).c_str(), FILE_ATTRIBUTE_HIDDEN);
    platform::removeFile(mods + L"b\\tex^" + name(2));
    addFile(L"b", L"x.sz", content("b", 2));
    addFile(L"b", L"x.sz.txt", platform::toAnsi(L"|tex^" + name(2) + L"|\r\ntex^" + name(0)));
    platform::removeFile(target(3));
    EXPECT_EQ(press(L"cmdInstall", L"b"), kInstalled);
    EXPECT_EQ(state(), "bgbb/g-g-");
    EXPECT_EQ(press(L"cmdUninstall", L"b"), kUninstalled);
    EXPECT_EQ(state(), "gggb/g-g-");
}

TEST_F(TexMods, AHiddenSystemFileNamedInAnotherCaseComesBackWithItsAttributes) {
    lay(1, {});
    addFile(L"b", L"x.sz", content("b", 0));
    addFile(L"b", L"x.sz.txt", platform::toAnsi(L"TEX^F\u00cf10000.SZ\r\n"));
    SetFileAttributesW(platform::longPath(target(0)).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    // The second install finds the backup there already, and so moves the hidden file aside.
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(press(L"cmdInstall", L"b"), kInstalled);
        EXPECT_EQ(state(), "b/G");
        EXPECT_EQ(press(L"cmdUninstall", L"b"), kUninstalled);
        EXPECT_EQ(state(), "G/G");
    }
}

TEST_F(TexMods, AHeldFileStopsTheInstallWhichSaysHowFarItGot) {
    lay(3, {L"b"});
    std::wstring said;
    {
        const Lock held(target(1));
        said = press(L"cmdInstall", L"b");
    }
    expectSays(said, {L"!!Install Failed\n", target(1) + L"\r\n", L"This file is as it was.",
                      L"mod file 2 of 3", L"1 mod file before it was installed"});
    EXPECT_EQ(state(), "bgg/g--");
}

TEST_F(TexMods, AGameFileSavedButNotReplacedIsMovedBack) {
    lay(1, {L"b"});
    // Between the game file's move into the backup folder and the copy's rename into its place, the
    // copy is held open, so that the rename fails.
    std::optional<Lock> copy;
    rec.onCheckpoint = [&](std::wstring_view where) {
        if (where != L"texmods saved" || copy)
            return;
        for (const std::wstring& name : names(texpacks))
            if (name.starts_with(L"^zelq-"))
                copy.emplace(texpacks + L"\\" + name);
    };
    const std::wstring said = press(L"cmdInstall", L"b");
    ASSERT_TRUE(copy);
    copy.reset();
    expectSays(said, {L"!!Install Failed\nThe mod's file could not be put in place of this game file:",
                      target(0), L"This file was put back as it was."});
    EXPECT_EQ(whose(target(0), 0), 'g');
    EXPECT_EQ(whose(backup(0), 0), '-');
}

TEST_F(TexMods, WhatTheChecksFindIsRefusedBeforeAnythingChanges) {
    lay(2, {L"b"});
    addFile(L"gone", L"z.sz", "z");
    addFile(L"gone", L"z.sz.txt", "gone^z.sz");
    addFile(L"dots", L"z.sz", "z");
    addFile(L"dots", L"z.sz.txt", "..^z.sz");
    RemoveDirectoryW(platform::longPath(backups).c_str());
    expectSays(press(L"cmdInstall", L"b"), {L"!!Install Failed\n", backups, L"Nothing was changed."});
    makeFolder(backups);
    setReadOnly(target(1), true);
    expectSays(press(L"cmdInstall", L"b"),
               {L"!!Install Failed\n", target(1), L"read-only", L"Nothing was changed."});
    setReadOnly(target(1), false);
    expectSays(press(L"cmdInstall", L"gone"),
               {L"!!Install Failed\n", game + L"\\gone\\", L"Nothing was changed."});
    EXPECT_EQ(press(L"cmdInstall", L"dots"),
              L"!!Install Failed\nThe texture mod cannot be installed. The mod file \"z.sz\" names a target "
              L"that is not allowed, \"..^z.sz\": it has a \".\" or \"..\" part; targets must lie inside the "
              L"game folder.\r\n\r\nNothing was changed.\n");
    EXPECT_EQ(state(), "gg/--");
}

TEST_F(TexMods, WorkFilesThatEarlierRunsLeftAreRemovedEvenByARefusedRun) {
    addFile(L"dots", L"z.sz", "z");
    addFile(L"dots", L"z.sz.txt", "..^z.sz");
    for (const wchar_t* left : {L"^zelq-4242-1-0.tmp", L"^zelq-4242-7.tmp", L"^zelq-partial.tmp"})
        write(texpacks + L"\\" + left, "left");
    EXPECT_EQ(press(L"cmdInstall").substr(0, 2), L"!!");
    EXPECT_EQ(names(texpacks), (Texts{L"original", L"texmods"}));
}

TEST_F(TexMods, WithoutAModFolderTheWindowSaysWhereItLookedAndInstallChangesNothing) {
    lay(1, {});
    settings::setAppFolder(game + L"\\tex");
    const std::wstring root = game + L"\\tex\\zelqcfg\\texpacks\\texmods\\";
    expectSays(press(L"cmdInstall"), {L"!!Install Failed\n", root});
    EXPECT_EQ(form.text(L"lblDesc"), L"No texture mod folder was found at \"" + root + L"\".");
    EXPECT_EQ(state(), "g/-");
}

TEST_F(TexMods, AnUnreadableDescriptionNamesItsFileAndTheReason) {
    addFile(L"b", L"readme.txt", "held");
    const Lock held(mods + L"b\\readme.txt");
    form.show();
    EXPECT_EQ(form.text(L"lblDesc"), L"The description file \"" + mods +
                                         L"b\\readme.txt\" could not be read: " +
                                         platform::errorText(ERROR_SHARING_VIOLATION));
}

TEST_F(TexMods, OtherWindowsAreDisabledWhileARunGoesOn) {
    lay(1, {L"b"});
    app::Form1& main = app::form1();
    main.show();
    int enabled = -1;
    rec.onCheckpoint = [&](std::wstring_view where) {
        if (where == L"texmods step" && enabled == -1)
            enabled = IsWindowEnabled(main.hwnd());
    };
    EXPECT_EQ(press(L"cmdInstall", L"b"), kInstalled);
    EXPECT_EQ(enabled, 0);
    EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
}

TEST_F(TexMods, TwoCopiesAndKillsLeaveEveryGameFileWholeAndSaved) {
    // This test program runs this test once more as the second copy of the program, which installs
    // "b" through its window and holds after 30 files, with the game folder reserved, until told to go on.
    if (const std::vector<std::wstring> args = SecondCopy::args(); args.size() == 1) {
        const std::wstring key = platform::pathKey(args[0]);
        rec.onCheckpoint = [&, steps = 0](std::wstring_view where) mutable {
            if (where != L"texmods step" || ++steps != 30)
                return;
            const HANDLE held = sharedEvent(key, L"held"), go = sharedEvent(key, L"go");
            SetEvent(held);
            WaitForSingleObject(go, kPatience);
            CloseHandle(held);
            CloseHandle(go);
        };
        place(args[0]);
        press(L"cmdInstall", L"b");
        return;
    }
    lay(1000, {L"b"});
    {
        // While the copy holds, this run is refused, saying so.
        const SecondCopy copy(platform::pathKey(game), {L"held", L"go"}, L"TexMods.TwoCopies*", {game});
        ASSERT_TRUE(copy.signalled(L"held"));
        expectSays(press(L"cmdInstall", L"b"),
                   {L"!!Install Failed\n", L"another install or uninstall of texture mods is running"});
        // Killed wherever it is once let go: one file at most missing, and every file before it saved.
        copy.set(L"go");
        copy.kill();
    }
    const std::string killed = state();
    std::smatch m;
    ASSERT_TRUE(std::regex_match(killed, m, std::regex("(b{30,}-?)g*/(g+)-*( and work files)?"))) << killed;
    EXPECT_EQ(m[1].length(), m[2].length()) << killed;
    // The next run goes to its end over what the killed one left.
    EXPECT_EQ(press(L"cmdInstall", L"b"), kInstalled);
    EXPECT_EQ(state(), std::string(1000, 'b') + "/" + std::string(1000, 'g'));
}

// On a volume of a few MiB: a tmpfs that CTest mounts, reached through Wine's Z: drive.
class TexModsSmallVolume : public TexMods {};

TEST_F(TexModsSmallVolume, RunsThatRunOutOfSpaceLeaveEveryGameFileWhole) {
    const wchar_t* unix = _wgetenv(L"ZELQ_SMALL_VOLUME");
    std::wstring root = L"Z:" + std::wstring(unix ? unix : L"");
    std::replace(root.begin(), root.end(), L'/', L'\\');
    ULARGE_INTEGER total{}, avail{};
    if (!unix || !GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr) || total.QuadPart > (64u << 20))
        GTEST_SKIP() << "needs the small volume that CTest mounts (as root)";
    place(root + L"\\game");
    pad = 200 << 10;
    lay(10, {L"m"});
    auto fill = [&](uint64_t leave) {
        DeleteFileW((root + L"\\filler").c_str());
        GetDiskFreeSpaceExW(root.c_str(), &avail, nullptr, nullptr);
        if (leave && avail.QuadPart > leave)
            write(root + L"\\filler", std::string(static_cast<size_t>(avail.QuadPart - leave), 'f'));
    };
    // Not room enough: refused before anything changes, saying what is needed and what is free.
    fill(1 << 20);
    expectSays(press(L"cmdInstall"), {L"!!Install Failed\n", L"(2,048,000 bytes)", L" free."});
    EXPECT_EQ(state(), "gggggggggg/----------");
    // The disk fills up in the middle of the fifth copy: that file is left as it was, and the message
    // says so.
    fill(0);
    rec.onCheckpoint = [&, steps = 0](std::wstring_view where) mutable {
        if (where == L"texmods step" && ++steps == 4)
            fill(100 << 10);
    };
    expectSays(press(L"cmdInstall"), {L"!!Install Failed\n", target(4), platform::errorText(ERROR_DISK_FULL),
                                      L"This file is as it was.", L"4 mod files before it were installed"});
    EXPECT_EQ(state(), "mmmmgggggg/gggg------");
}

class TexModStatusLine : public TexMods {};

TEST_F(TexModStatusLine, TellsWhatEachTargetHoldsAfterEveryRunAndChange) {
    lay(4, {L"Alpha", L"Rain Pack"});
    for (int i = 2; i < 4; ++i)
        platform::removeFile(mods + L"Rain Pack\\tex^" + name(i));
    addFile(L"Wrong", L"x.sz", "x");
    addFile(L"Wrong", L"x.sz.txt", "..^x.sz");
    EXPECT_EQ(line(L"Alpha"), L"Not installed.");
    EXPECT_EQ(line(L"Wrong"),
              L"Cannot be installed: \"x.sz\" names a target that is not allowed, \"..^x.sz\".");
    EXPECT_EQ(press(L"cmdInstall", L"Alpha"), kInstalled);
    EXPECT_EQ(line(), L"Installed: all 4 files are this mod's.");
    EXPECT_EQ(press(L"cmdInstall", L"Rain Pack"), kInstalled);
    EXPECT_EQ(line(L"Alpha"), L"Partly installed: 2 of 4 files are this mod's, 2 are Rain Pack's.");
    // By hand: a game file written over, one removed, and a mod file changed after its install.
    write(target(2), content("hand", 2));
    platform::removeFile(target(0));
    write(mods + L"Alpha\\tex^" + name(3), content("Alpha", 4));
    EXPECT_EQ(line(L"Rain Pack"), L"Partly installed: 1 of 2 files is this mod's, 1 is missing.");
    EXPECT_EQ(line(L"Alpha"),
              L"Not installed: 1 of 4 files is Rain Pack's, 2 have been changed, 1 is missing.");
    EXPECT_EQ(press(L"cmdUninstall", L"Alpha"), kUninstalled);
    EXPECT_EQ(line(), L"Not installed.");
}

TEST_F(TexModStatusLine, ANewerSelectionCancelsTheCheckBeforeIt) {
    lay(2, {L"Alpha", L"Rain Pack"});
    EXPECT_EQ(press(L"cmdInstall", L"Alpha"), kInstalled);
    form.unload();
    // The first check is held until the test lets it go.
    const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr),
                 go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE first = nullptr;
    std::atomic<int> checks{0};
    rec.onCheckpoint = [&](std::wstring_view where) {
        if (where != L"texmods status" || checks++ != 0)
            return;
        first = OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId());
        SetEvent(held);
        WaitForSingleObject(go, kPatience);
    };
    form.show(); // selects Alpha
    ASSERT_EQ(WaitForSingleObject(held, kPatience), WAIT_OBJECT_0);
    EXPECT_EQ(form.text(L"lblStatus"), L"Checking...");
    EXPECT_EQ(line(L"Rain Pack"), L"Not installed: all 2 files are Alpha's.");
    // Alpha's check ends now, and whatever it posted has arrived: the line stays Rain Pack's.
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(first, kPatience), WAIT_OBJECT_0);
    pump();
    EXPECT_EQ(form.text(L"lblStatus"), L"Not installed: all 2 files are Alpha's.");
    for (HANDLE h : {held, go, first})
        CloseHandle(h);
}
