// Texture mod runs through the window, beside a second copy of the program, a kill and a full disk.
#include "app/mainform.h"
#include "bench/windows.h"
#include "harness/harness.h"
#include "platform/files.h"
#include "settings/ini.h"
#include "texmods/texmodform.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <optional>
#include <process.h>
#include <thread>

using namespace harness;
using Files = std::map<std::wstring, std::string>; // by relative path, "\" last for a folder
using Texts = std::initializer_list<std::wstring>;

namespace {

const std::wstring kInstalled = L"Successful Install\nInstall Complete.\n";
const std::wstring kUninstalled = L"Successful Uninstall\nUninstall Complete.\n";

void expectSays(const std::wstring& said, Texts parts) {
    for (const std::wstring& part : parts)
        EXPECT_NE(said.find(part), std::wstring::npos) << testing::PrintToString(said);
}

Files snapshot(const std::wstring& dir, const std::wstring& rel = L"") {
    Files out;
    for (const std::wstring& name : names(dir)) {
        const std::wstring path = dir + L"\\" + name, key = rel + name;
        if (platform::isFolder(path))
            out.merge(snapshot(path, key + L"\\")), out[key + L"\\"] = "";
        else
            out[key] = read(path);
    }
    return out;
}

// Paths and texts in turn: each file written, or folder ("\" last) made, with the folders above it.
void put(const std::wstring& dir, Texts pathsAndTexts) {
    for (auto p = pathsAndTexts.begin(); p != pathsAndTexts.end(); p += 2) {
        for (size_t at = p->find(L'\\'); at != std::wstring::npos; at = p->find(L'\\', at + 1))
            makeFolder(dir + p->substr(0, at));
        if (p->back() != L'\\')
            write(dir + *p, platform::toAnsi(p[1]));
    }
}

uint64_t fileId(const std::wstring& path) {
    const HANDLE h = CreateFileW(path.c_str(), 0, 7, nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION i{};
    GetFileInformationByHandle(h, &i);
    CloseHandle(h);
    return (uint64_t{i.nFileIndexHigh} << 32) | i.nFileIndexLow;
}

} // namespace

class TexMods : public WindowTest {
protected:
    std::optional<GameFolder> folder; // none in a second copy, which may be killed and so leave it behind
    std::wstring game, texpacks, mods, backups;
    std::vector<std::wstring> owners{L"game"};
    int files = 0;
    size_t gameBytes = 0, modBytes = 0;
    texmods::frmTexMod& form = texmods::texModForm();

    TexMods() {
        if (!_wgetenv(L"ZELQ_CHILD"))
            place(folder.emplace().path());
    }
    void place(const std::wstring& at) {
        game = at, texpacks = at + L"\\zelqcfg\\texpacks", mods = texpacks + L"\\texmods\\";
        backups = texpacks + L"\\original";
        put(at, {L"\\tex\\", L"", L"\\zelqcfg\\texpacks\\original\\", L"", L"\\zelqcfg\\texpacks\\texmods\\",
                 L""});
        settings::setAppFolder(at);
    }
    // `count` game files under tex\, and mods that replace each of them with bytes of their own.
    void lay(int count, Texts modNames) {
        files = count;
        for (const std::wstring& m : modNames) {
            owners.push_back(m);
            makeFolder(mods + m);
            for (int i = 0; i < files; ++i)
                write(mods + m + L"\\tex^f" + std::to_wstring(i) + L".sz", content(m, i));
        }
        reset();
    }
    std::wstring target(int i) const { return game + L"\\tex\\f" + std::to_wstring(i) + L".sz"; }
    std::wstring backup(int i) const { return backups + L"\\tex^f" + std::to_wstring(i) + L".sz"; }
    std::string content(const std::wstring& owner, int i) const {
        std::string s = platform::toAnsi(owner) + " " + std::to_string(i);
        s.resize(std::max(s.size(), owner == L"game" ? gameBytes : modBytes), '.');
        return s;
    }
    void reset() const {
        for (int i = 0; i < files; ++i)
            DeleteFileW(backup(i).c_str()), write(target(i), content(L"game", i));
    }
    // Whose whole file each target, then each backup holds ("-" none, "?" nobody's), and work files left.
    std::string state() const {
        std::string of[2];
        for (int i = 0; i < files; ++i)
            for (int b = 0; b < 2; ++b) {
                const std::string bytes = read(b ? backup(i) : target(i));
                char c = bytes == "<missing>" ? '-' : '?';
                for (const std::wstring& owner : owners)
                    c = bytes == content(owner, i) ? static_cast<char>(owner[0]) : c;
                of[b] += c;
            }
        return of[0] + "/" + of[1] + (names(texpacks).size() == 2 ? "" : " and work files");
    }
    // Presses a button of the window, on the mod named if any: the messages shown, marked by their icon.
    std::wstring press(const wchar_t* button, const std::wstring& modName = L"") {
        if (!form.loaded())
            form.show();
        for (int p = 0; p < form.count(L"cmbMods"); ++p)
            if (form.itemText(L"cmbMods", p) == modName)
                pick(form, L"cmbMods", p);
        click(form, button);
        const wchar_t* icons[] = {L"", L"(i) ", L"! "};
        std::wstring said;
        for (const Message& m : rec.messages)
            said += icons[static_cast<int>(m.icon)] + m.title + L"\n" + m.text + L"\n";
        rec.messages.clear();
        return said;
    }
    std::wstring named(const wchar_t* what) const {
        return L"Local\\zelq-" + std::wstring(what) + std::to_wstring(std::hash<std::wstring>{}(game));
    }
};

TEST_F(TexMods, CatalogueInstallAndUninstall) {
    const GameFolder deep(true, 300); // every path longer than the old limit of 260 characters
    place(deep.path());
    put(mods,
        {L"alpha\\readme.txt", L"Line one\r\nLine two\r\n", L"alpha\\hud.sz", L"alpha hud", L"alpha\\x.sz",
         L"alpha body", L"alpha\\x.sz.txt", L"cars^red^body.sz|cars^blue^body.sz|new.sz|\r\nhud.sz\r\n",
         L"alpha\\hidden.sz", L"no mod file", L"beta\\hud.sz", L"beta hud", L"Gamma\\readme.txt",
         L"held open", L"loose.sz", L"no mod"});
    put(game, {L"\\hud.sz", L"game hud", L"\\cars\\red\\body.sz", L"game red", L"\\cars\\blue\\body.sz",
               L"game blue"});
    SetFileAttributesW(platform::longPath(mods + L"alpha\\hidden.sz").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const Lock lock(mods + L"Gamma\\readme.txt");
    // The mods in order of name, each with its description.
    app::form1().show();
    click(app::form1(), L"cmdTexMod");
    std::vector<std::wstring> shown{std::to_wstring(form.selected(L"cmbMods")) + L" " +
                                    form.text(L"lblDesc")};
    for (int p = 0; p < form.count(L"cmbMods"); ++p) {
        pick(form, L"cmbMods", p);
        shown.push_back(form.itemText(L"cmbMods", p) + L": " + form.text(L"lblDesc"));
    }
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"0 Line one  Line two  ", L"alpha: Line one  Line two  ",
                                                L"beta: ", shown[3]}));
    expectSays(shown[3],
               {L"Gamma: The description file \"" + mods + L"Gamma\\readme.txt\" could not be read"});

    Files now = snapshot(game);
    auto run = [&](const wchar_t* button, const wchar_t* m, Texts changes) {
        EXPECT_EQ(press(button, m), button == std::wstring(L"cmdInstall") ? kInstalled : kUninstalled);
        for (auto p = changes.begin(); p != changes.end(); p += 2)
            now[*p] = platform::toAnsi(p[1]);
        EXPECT_EQ(snapshot(game), now);
    };
    // Nothing to do, or nothing saved to put back: complete, and change nothing.
    run(L"cmdInstall", L"Gamma", {});
    run(L"cmdUninstall", L"beta", {});
    const std::wstring o = L"zelqcfg\\texpacks\\original\\";
    run(L"cmdInstall", L"alpha",
        {L"hud.sz", L"alpha hud", L"cars\\red\\body.sz", L"alpha body", L"cars\\blue\\body.sz", L"alpha body",
         L"new.sz", L"alpha body", o + L"hud.sz", L"game hud", o + L"cars^red^body.sz", L"game red",
         o + L"cars^blue^body.sz", L"game blue"});
    // Again: the backups stay the game's, and the file the first run made now counts as the game's.
    run(L"cmdInstall", L"", {o + L"new.sz", L"alpha body"});
    // A second mod over the first, then out again: the game's file comes back, not the first mod's.
    run(L"cmdInstall", L"beta", {L"hud.sz", L"beta hud"});
    run(L"cmdUninstall", L"", {L"hud.sz", L"game hud"});
    run(L"cmdUninstall", L"alpha",
        {L"cars\\red\\body.sz", L"game red", L"cars\\blue\\body.sz", L"game blue"});

    // No mod folder: the window says where it looked, and Install names it and changes nothing.
    form.unload();
    settings::setAppFolder(game + L"\\tex");
    const std::wstring root = game + L"\\tex\\zelqcfg\\texpacks\\texmods";
    const std::wstring said = press(L"cmdInstall");
    expectSays(said + form.text(L"lblDesc"),
               {L"! Install Failed\n", root, L"No texture mod folder was found at \"" + root});
    EXPECT_EQ(form.count(L"cmbMods"), 0);
    EXPECT_EQ(snapshot(game), now);
}

TEST_F(TexMods, ARunRefusedOrStoppedMidwaySaysWhereThingsStandAndLeavesEveryFileWhole) {
    lay(3, {L"m"});
    auto refused = [&](const wchar_t* button, Texts parts) {
        const Files before = snapshot(game);
        const std::wstring said = press(button, L"m");
        expectSays(said, parts);
        expectSays(said, {L"! ", L"Failed\n", L"Nothing was changed."});
        EXPECT_EQ(snapshot(game), before);
    };
    // Before anything changes: a read-only game file, a target outside the game folder, a game folder
    // or the backup folder missing.
    write(backup(1), content(L"game", 1));
    setReadOnly(target(1), true);
    refused(L"cmdInstall", {target(1), L"read-only"});
    refused(L"cmdUninstall", {target(1), L"read-only"});
    setReadOnly(target(1), false);
    DeleteFileW(backup(1).c_str());
    put(mods, {L"m\\z.sz", L"z", L"m\\z.sz.txt", L"..^z.sz"});
    refused(L"cmdInstall", {L"\"z.sz\"", L"\"..^z.sz\""});
    put(mods, {L"m\\z.sz.txt", L"gone^z.sz"});
    refused(L"cmdInstall", {game + L"\\gone\\"});
    DeleteFileW((mods + L"m\\z.sz").c_str());
    RemoveDirectoryW(backups.c_str());
    refused(L"cmdInstall", {backups});
    makeFolder(backups);
    // A game file held open by another program stops the install there, before its backup is made.
    {
        const Lock lock(target(2));
        expectSays(press(L"cmdInstall"),
                   {L"! Install Failed\n", target(2), L"This file is as it was.", L"mod file 3 of 3",
                    L"2 mod files before it were installed", L"Every game file is whole"});
    }
    EXPECT_EQ(state(), "mmg/gg-");
    // And during the uninstall: the file keeps the mod's whole file, and its backup stays.
    {
        const Lock lock(target(1));
        expectSays(press(L"cmdUninstall"), {L"! Uninstall Failed\n", target(1), L"This file is as it was.",
                                            L"1 mod file before it was uninstalled"});
    }
    EXPECT_EQ(state(), "gmg/gg-");
    EXPECT_EQ(press(L"cmdUninstall"), kUninstalled);
    EXPECT_EQ(state(), "ggg/gg-");
}

TEST_F(TexMods, ALongRunGoesToItsEndWhateverElseThePlayerPresses) {
    lay(1000, {L"big"});
    const size_t before = snapshot(game).size();
    // Every window open, and in each every control the player could use.
    std::vector<tk::Form*> forms;
    std::vector<HWND> controls;
    for (const bench::Window& w : bench::windows()) {
        forms.push_back(&w.open());
        for (const tk::Control& c : forms.back()->spec().controls)
            controls.push_back(forms.back()->item(c.name, c.index));
    }
    auto look = [&] { // what every control shows: a window that took input would change some of it
        std::vector<std::wstring> seen;
        for (tk::Form* f : forms)
            for (const tk::Control& c : f->spec().controls)
                seen.push_back(f->text(c.name, c.index) + L"|" + std::to_wstring(f->check(c.name, c.index)));
        return seen;
    };
    const std::vector<std::wstring> shown = look();
    const HWND bar = form.progressBar(), cancel = app::form1().item(L"cmdCancel");
    const DWORD uiThread = GetCurrentThreadId();
    std::atomic<int> othersEnabled{-1};
    std::thread player([&] { // as soon as the run shows its progress
        for (int i = 0; i < 4000 && !IsWindowVisible(bar); ++i)
            Sleep(5);
        othersEnabled = IsWindowEnabled(forms[0]->hwnd());
        PostThreadMessageW(uiThread, WM_QUIT, 7, 0);
        for (HWND c : controls)
            for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, BM_CLICK, WM_KEYDOWN, WM_CHAR, WM_KEYUP})
                PostMessageW(c, m, m == WM_CHAR ? 'a' : 'A', m == WM_KEYUP ? 0xC0000001 : 1);
        for (tk::Form* f : forms)
            PostMessageW(f->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0), PostMessageW(f->hwnd(), WM_CLOSE, 0, 0);
        // Sent from another thread: handled inside the run's pumping, whatever it lets through.
        SendMessageTimeoutW(cancel, BM_CLICK, 0, 0, SMTO_BLOCK, 5000, nullptr);
        SendMessageTimeoutW(form.hwnd(), WM_CLOSE, 0, 0, SMTO_BLOCK, 5000, nullptr);
    });
    const std::wstring said = press(L"cmdInstall");
    player.join();
    EXPECT_EQ(said, kInstalled);
    EXPECT_EQ(othersEnabled, 0) << "the other windows are disabled while the run goes on";
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 7)
        << "a quit seen while pumping is posted again";
    EXPECT_EQ(rec.ended + rec.started.size(), 0u);
    for (tk::Form* f : forms)
        EXPECT_TRUE(f->loaded() && IsWindowEnabled(f->hwnd()))
            << testing::PrintToString(std::wstring(f->spec().name));
    EXPECT_EQ(look(), shown);
    EXPECT_EQ(state(), std::string(1000, 'b') + "/" + std::string(1000, 'g'));
    EXPECT_EQ(snapshot(game).size(), before + 1000) << "only the backups are new";
    closeBox(form);
    EXPECT_FALSE(form.loaded());
    click(app::form1(), L"cmdCancel");
    EXPECT_EQ(rec.ended, 1);
}

TEST_F(TexMods, HiddenAndDifferentlyCasedGameFilesAreSavedAndReplaced) {
    // Names differing in case only, outside ASCII: a mod file's, and an ANSI target list's entry.
    const std::wstring cafe = game + L"\\tex\\caf\u00e9.sz", naive = game + L"\\tex\\na\u00efve.sz";
    const std::wstring entry = L"TEX^NA\u00cfVE.SZ";
    ASSERT_EQ(platform::fromAnsi(platform::toAnsi(entry)), entry)
        << "the ANSI code page must hold the letters";
    put(mods,
        {L"m\\tex^CAF\u00c9.sz", L"mod cafe", L"m\\\u00e9.sz", L"mod naive", L"m\\\u00c9.SZ.TXT", entry});
    // Left by a killed copy of the program and by an earlier version: removed, never taken for a game file.
    put(texpacks, {L"\\^zelq-4242-1-0.tmp", L"left", L"\\^zelq-partial.tmp", L"left"});
    put(game, {L"\\tex\\caf\u00e9.sz", L"game cafe", L"\\tex\\na\u00efve.sz", L"game naive"});
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN, both = hidden | FILE_ATTRIBUTE_SYSTEM;
    SetFileAttributesW(cafe.c_str(), hidden);
    SetFileAttributesW(naive.c_str(), both);
    const std::vector<uint64_t> ids{fileId(cafe), fileId(naive)};
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(press(L"cmdInstall", L"m"), kInstalled);
        EXPECT_EQ(read(cafe) + read(naive) + std::to_string(names(game + L"\\tex").size()),
                  "mod cafemod naive2");
        EXPECT_EQ(snapshot(backups), (Files{{entry, "game naive"}, {L"tex^CAF\u00c9.sz", "game cafe"}}));
        // The game's files were moved, never copied over (which Windows refuses for a hidden file) or
        // replaced.
        EXPECT_EQ((std::vector{fileId(backups + L"\\tex^CAF\u00c9.sz"), fileId(backups + L"\\" + entry)}),
                  ids);
        EXPECT_EQ(names(texpacks).size(), 2u) << "a work file was left";
        EXPECT_EQ(press(L"cmdUninstall"), kUninstalled);
        EXPECT_EQ(read(cafe) + read(naive), "game cafegame naive");
        EXPECT_EQ(GetFileAttributesW(cafe.c_str()) & both, hidden);
        EXPECT_EQ(GetFileAttributesW(naive.c_str()) & both, both);
    }
}

// The second copy of the program that the test below starts: installs when told, and writes what it showed.
class TexModRunsChild : public TexMods {};

TEST_F(TexModRunsChild, InstallsWhenTold) {
    const wchar_t* arg = _wgetenv(L"ZELQ_CHILD");
    if (!arg)
        GTEST_SKIP() << "a second copy of the program, started by the test below";
    const std::wstring at = arg, m = at.substr(at.find(L'|') + 1);
    place(at.substr(0, at.find(L'|')));
    ReleaseSemaphore(OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, named(L"ready").c_str()), 1, nullptr);
    WaitForSingleObject(OpenEventW(SYNCHRONIZE, FALSE, named(L"start").c_str()), 60000);
    write(game + L"\\" + m + L".said", platform::toAnsi(press(L"cmdInstall", m)));
}

TEST_F(TexMods, TwoCopiesAtOnceOrAKilledOneLeaveEveryGameFileWhole) {
    lay(300, {L"a", L"b"});
    const HANDLE ready = CreateSemaphoreW(nullptr, 0, 2, named(L"ready").c_str());
    const HANDLE start = CreateEventW(nullptr, TRUE, FALSE, named(L"start").c_str());
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring quoted = L"\"" + std::wstring(exe) + L"\"";
    auto startCopy = [&](const wchar_t* m) { // this test program, running only TexModRunsChild
        _wputenv((L"ZELQ_CHILD=" + game + L"|" + m).c_str());
        const intptr_t copy = _wspawnl(_P_NOWAIT, exe, quoted.c_str(), L"--gtest_filter=TexModRunsChild.*",
                                       L"--gtest_brief=1", nullptr);
        _wputenv(L"ZELQ_CHILD=");
        return reinterpret_cast<HANDLE>(copy);
    };
    int refused = 0;
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        reset();
        ResetEvent(start);
        HANDLE copies[] = {startCopy(L"a"), startCopy(L"b")};
        const bool started = !WaitForSingleObject(ready, 60000) && !WaitForSingleObject(ready, 60000);
        SetEvent(start);
        WaitForMultipleObjects(2, copies, TRUE, 60000);
        for (HANDLE copy : copies)
            TerminateProcess(copy, 1), CloseHandle(copy);
        ASSERT_TRUE(started);
        std::wstring said[2];
        for (int c = 0; c < 2; ++c) {
            said[c] = platform::fromAnsi(read(game + (c ? L"\\b.said" : L"\\a.said")));
            DeleteFileW((game + (c ? L"\\b.said" : L"\\a.said")).c_str());
            refused += said[c] != kInstalled;
            if (said[c] != kInstalled)
                expectSays(said[c],
                           {L"! Install Failed\n", L"another install or uninstall of texture mods is running",
                            L"Nothing was changed."});
        }
        // Every backup holds the game's own file; every game file is one mod's, all the same mod's.
        EXPECT_EQ(state(), std::string(300, read(target(0))[0]) + "/" + std::string(300, 'g'));
    }
    EXPECT_GE(refused, 1) << "the two copies never ran at the same moment, so this proved nothing";

    // Killed midway: each game file whole, or one missing between two renames, saved in the backups.
    reset();
    const HANDLE copy = startCopy(L"a");
    for (int i = 0; i < 6000 && names(backups).size() < 30; ++i)
        Sleep(5);
    TerminateProcess(copy, 1);
    WaitForSingleObject(copy, 10000);
    for (HANDLE h : {ready, start, copy})
        CloseHandle(h);
    const std::string killed = state(), targets = killed.substr(0, 300), saved = killed.substr(301, 300);
    EXPECT_EQ(targets.find_first_not_of("ga-"), std::string::npos) << killed;
    EXPECT_EQ(saved.find_first_not_of("g-"), std::string::npos) << killed;
    EXPECT_LE(std::count(targets.begin(), targets.end(), '-'), 1) << killed;
    EXPECT_TRUE(targets.find('-') == std::string::npos || saved[targets.find('-')] == 'g') << killed;
    ASSERT_TRUE(saved.find('g') != std::string::npos && saved.find('-') != std::string::npos)
        << "killed too early or too late";
    // The next run finds the lock abandoned and the work files left over, and goes through.
    EXPECT_EQ(press(L"cmdInstall", L"a"), kInstalled);
    EXPECT_EQ(state(), std::string(300, 'a') + "/" + std::string(300, 'g'));
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
    gameBytes = 100 << 10, modBytes = 200 << 10;
    lay(10, {L"m"});
    auto fill = [&](uint64_t leave) {
        DeleteFileW((root + L"\\filler").c_str());
        GetDiskFreeSpaceExW(root.c_str(), &avail, nullptr, nullptr);
        if (leave && avail.QuadPart > leave)
            write(root + L"\\filler", std::string(static_cast<size_t>(avail.QuadPart - leave), 'f'));
    };
    // Not room enough: refused before anything changes, saying what is needed and what is free.
    fill(1 << 20);
    expectSays(press(L"cmdInstall", L"m"),
               {L"! Install Failed\n", L"(2,048,000 bytes)", L" free.", L"Nothing was changed."});
    EXPECT_EQ(state(), "gggggggggg/----------");
    // The disk fills up in the middle of a copy: that file is left as it was, and the message says so.
    fill(0);
    texmods::Progress filling;
    filling.step = [&](size_t done, size_t) { done == 4 ? fill(100 << 10) : void(); };
    const texmods::Outcome o = texmods::run(texmods::Operation::Install, game, mods + L"m", filling);
    EXPECT_EQ(o.error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(o.file, target(4));
    expectSays(o.detail, {L"This file is as it was.", L"4 mod files before it were installed"});
    EXPECT_EQ(state(), "mmmmgggggg/gggg------");
    fill(0);
    EXPECT_EQ(press(L"cmdInstall"), kInstalled);
    // Uninstall needs room for one backup at a time, as each restore frees the mod's larger file.
    fill(50 << 10);
    expectSays(press(L"cmdUninstall"), {L"! Uninstall Failed\n", L"(102,400 bytes)"});
    EXPECT_EQ(state(), "mmmmmmmmmm/gggggggggg");
    fill(0);
    EXPECT_EQ(press(L"cmdUninstall"), kUninstalled);
    EXPECT_EQ(state(), "gggggggggg/gggggggggg");
}
