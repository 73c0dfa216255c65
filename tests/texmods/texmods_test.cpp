// Texture mod runs through the window, beside a second copy of the program, a kill and a full disk.
#include "app/mainform.h"
#include "harness/harness.h"
#include "platform/files.h"
#include "platform/lock.h"
#include "platform/names.h"
#include "settings/ini.h"
#include "texmods/texmodform.h"

#include <functional>
#include <map>
#include <optional>
#include <regex>

using namespace harness;
using Files = std::map<std::wstring, std::string>; // by nameKey of the relative path, "\" last for a folder
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

// Every file's bytes and folder ("\" last) by path, a hidden file's with "|h", a system file's with "s".
Files snapshot(const std::wstring& dir, const std::wstring& rel = L"") {
    Files out;
    for (const std::wstring& name : names(dir)) {
        const std::wstring at = dir + L"\\" + name, key = platform::nameKey(rel + name);
        const DWORD a = GetFileAttributesW(platform::longPath(at).c_str());
        if (a & FILE_ATTRIBUTE_DIRECTORY) {
            out.merge(snapshot(at, key + L"\\"));
            out[key + L"\\"] = "";
            continue;
        }
        std::string& bytes = out[key] = read(at);
        if (a & FILE_ATTRIBUTE_HIDDEN)
            bytes += "|h";
        if (a & FILE_ATTRIBUTE_SYSTEM)
            bytes += "s";
    }
    return out;
}

// Paths and texts in turn: each file written, or folder ("\" last) made, with the folders above it.
void put(const std::wstring& dir, const Texts& pathsAndTexts) {
    for (size_t i = 0; i + 1 < pathsAndTexts.size(); i += 2) {
        const std::wstring& path = pathsAndTexts[i];
        for (size_t at = path.find(L'\\'); at != std::wstring::npos; at = path.find(L'\\', at + 1))
            makeFolder(dir + path.substr(0, at));
        if (path.back() != L'\\')
            write(dir + path, platform::toAnsi(pathsAndTexts[i + 1]));
    }
}

} // namespace

class TexMods : public WindowTest {
protected:
    std::optional<GameFolder> folder; // none in a second copy, which may be killed and so leave it behind
    std::wstring game, texpacks, mods, backups;
    int files = 0;
    size_t pad = 0; // the game's files at least this long, the mods' files twice as long
    texmods::frmTexMod& form = texmods::texModForm();

    TexMods() {
        if (SecondCopy::args().empty())
            place(folder.emplace().path());
    }
    void place(const std::wstring& at) {
        game = at;
        texpacks = at + L"\\zelqcfg\\texpacks";
        mods = texpacks + L"\\texmods\\";
        backups = texpacks + L"\\original";
        put(at, {L"\\tex\\", L"", L"\\zelqcfg\\texpacks\\original\\", L"", L"\\zelqcfg\\texpacks\\texmods\\",
                 L""});
        settings::setAppFolder(at);
    }
    // `count` game files under tex\, and mods that replace each with bytes of their own, named in run order.
    void lay(int count, const Texts& modNames) {
        files = count;
        for (const std::wstring& m : modNames) {
            makeFolder(mods + m);
            for (int i = 0; i < files; ++i)
                write(mods + m + L"\\tex^" + name(i), content(platform::toAnsi(m), i));
        }
        reset();
    }
    static std::wstring name(int i) { return L"f" + std::to_wstring(10000 + i) + L".sz"; }
    std::wstring target(int i) const { return game + L"\\tex\\" + name(i); }
    std::wstring backup(int i) const { return backups + L"\\tex^" + name(i); }
    std::string content(const std::string& owner, int i) const {
        std::string s = owner + " " + std::to_string(i);
        s.resize(std::max(s.size(), owner == "game" ? pad : 2 * pad), '.');
        return s;
    }
    void reset() const {
        for (int i = 0; i < files; ++i) {
            DeleteFileW(backup(i).c_str());
            write(target(i), content("game", i));
        }
    }
    // Whose whole file the `i`th target or backup holds: its owner's first letter, "-" none, "?" nobody's.
    char whose(const std::wstring& path, int i) const {
        const std::string bytes = read(path);
        if (bytes == "<missing>")
            return '-';
        const std::string owner = bytes.substr(0, bytes.find(' '));
        return bytes == content(owner, i) ? owner[0] : '?';
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
    // Presses a button on the mod named if any: the one message shown, after as many "!" as its
    // icon is grave.
    std::wstring press(const wchar_t* button, const std::wstring& modName = L"") {
        if (!form.loaded())
            form.show();
        for (int p = 0; p < form.count(L"cmbMods"); ++p)
            if (form.itemText(L"cmbMods", p) == modName)
                pick(form, L"cmbMods", p);
        click(form, button);
        EXPECT_EQ(rec.messages.size(), 1u);
        std::wstring said;
        for (const Message& m : rec.messages)
            said += std::wstring(static_cast<size_t>(m.icon), L'!') + m.title + L"\n" + m.text + L"\n";
        rec.messages.clear();
        return said;
    }
};

// A game folder deeper than the old limit of 260 characters, with mods of every kind.
class TexModRuns : public TexMods {
protected:
    // Names differing in case only, outside ASCII: a mod file's, and an ANSI target list's entry.
    const std::wstring entry = L"TEX^NA\u00cfVE.SZ", cafe = L"tex\\caf\u00e9.sz",
                       naive = L"tex\\na\u00efve.sz";
    const std::wstring o = L"zelqcfg\\texpacks\\original\\";

    TexModRuns() { layOut(); }
    void layOut() {
        form.unload();
        place(folder.emplace(300).path());
        // clang-format off
        put(mods, {
            L"alpha\\readme.txt", L"Line one\r\n\r\nLine two\nthree\r", L"alpha\\hud.sz", L"alpha hud",
            L"alpha\\x.sz", L"alpha body", L"alpha\\x.sz.txt", L"cars^red^body.sz|cars^blue^body.sz|new.sz|\r\nhud.sz\r\n",
            L"alpha\\hidden.sz", L"no mod file", L"alpha\\x.szz", L"x",
            L"beta\\hud.sz", L"beta hud", L"beta\\tex^CAF\u00c9.sz", L"mod cafe", L"beta\\\u00e9.SZ", L"mod naive",
            L"beta\\\u00c9.SZ.TXT", entry + L"\r", L"Gamma\\readme.txt", L"held", L"loose.sz", L"no mod",
            L"zz\\z.sz", L"z", L"zz\\z.sz.txt", L"..^z.sz", L"z_\\z.sz", L"z", L"z_\\z.sz.txt", L"gone^z.sz\nx"});
        put(game, {L"\\hud.sz", L"game hud", L"\\cars\\red\\body.sz", L"game red", L"\\cars\\blue\\body.sz", L"game blue",
                   L"\\" + cafe, L"game cafe", L"\\" + naive, L"game naive"});
        // clang-format on
        for (auto [file, attributes] :
             {std::pair{mods + L"alpha\\hidden.sz", FILE_ATTRIBUTE_HIDDEN},
              {game + L"\\" + cafe, FILE_ATTRIBUTE_HIDDEN},
              {game + L"\\" + naive, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}})
            SetFileAttributesW(platform::longPath(file).c_str(), attributes);
    }
    // Presses a button on a mod, with the game file `held` held open by another program meanwhile:
    // the message says `says`, and the game folder changed by `changes` alone (paths under it and
    // their new bytes in turn).
    void expectRun(const wchar_t* button, const std::wstring& mod, const Texts& says,
                   const Texts& changes = {}, const wchar_t* held = nullptr) {
        Files expected = snapshot(game);
        for (size_t i = 0; i + 1 < changes.size(); i += 2)
            expected[platform::nameKey(changes[i])] = platform::toAnsi(changes[i + 1]);
        std::optional<Lock> lock;
        if (held)
            lock.emplace(game + held);
        const std::wstring said = press(button, mod);
        lock.reset();
        expectSays(said, says);
        EXPECT_EQ(snapshot(game), expected);
    }
};

TEST_F(TexModRuns, TheModsAreListedInOrderOfNameEachWithItsDescription) {
    const Lock held(mods + L"Gamma\\readme.txt");
    form.show();
    std::wstring shown = std::to_wstring(form.selected(L"cmbMods")) + L" " + form.text(L"lblDesc");
    for (int p = 0; p < form.count(L"cmbMods"); ++p) {
        pick(form, L"cmbMods", p);
        shown += L"\n" + form.itemText(L"cmbMods", p) + L": " + form.text(L"lblDesc");
    }
    EXPECT_EQ(shown, L"0 Line one    Line two  three  \nalpha: Line one    Line two  three  \nbeta: \nGamma: "
                     L"The description file \"" +
                         mods + L"Gamma\\readme.txt\" could not be read: " +
                         platform::errorText(ERROR_SHARING_VIOLATION) + L"\nz_: \nzz: ");
}

TEST_F(TexModRuns, WithoutAModFolderTheWindowSaysWhereItLookedAndInstallChangesNothing) {
    settings::setAppFolder(game + L"\\tex");
    const std::wstring root = game + L"\\tex\\zelqcfg\\texpacks\\texmods\\";
    expectRun(L"cmdInstall", L"", {L"!!Install Failed\n", root});
    EXPECT_EQ(form.text(L"lblDesc"), L"No texture mod folder was found at \"" + root + L"\".");
}

TEST_F(TexModRuns, WhatTheChecksFindIsRefusedBeforeAnythingChanges) {
    const std::wstring hud = game + L"\\hud.sz";
    RemoveDirectoryW(platform::longPath(backups).c_str());
    expectRun(L"cmdInstall", L"alpha", {L"!!Install Failed\n", backups, L"Nothing was changed."});
    makeFolder(backups);
    setReadOnly(hud, true);
    expectRun(L"cmdInstall", L"alpha", {L"!!Install Failed\n", hud, L"read-only", L"Nothing was changed."});
    setReadOnly(hud, false);
    expectRun(L"cmdInstall", L"z_", {L"!!Install Failed\n", game + L"\\gone\\", L"Nothing was changed."});
}

TEST_F(TexModRuns, TargetsThroughDotOrDotDotAreRefusedInSoManyWords) {
    for (const std::wstring line : {L"..^z.sz", L".", L"..", L"tex^.^z.sz", L"tex^..^..^z.sz"}) {
        SCOPED_TRACE(testing::PrintToString(line));
        write(mods + L"zz\\z.sz.txt", platform::toAnsi(line));
        expectRun(
            L"cmdInstall", L"zz",
            {L"!!Install Failed\nThe texture mod cannot be installed. The mod file \"z.sz\" names a target "
             L"that is not allowed, \"" +
             line +
             L"\": it has a \".\" or \"..\" part; targets must lie inside the game folder.\r\n\r\n"
             L"Nothing was changed.\n"});
    }
}

TEST_F(TexModRuns, WorkFilesThatEarlierRunsLeftAreRemovedEvenByARefusedRun) {
    put(texpacks,
        {L"\\^zelq-4242-1-0.tmp", L"left", L"\\^zelq-4242-7.tmp", L"left", L"\\^zelq-partial.tmp", L"left"});
    EXPECT_EQ(press(L"cmdInstall", L"zz").substr(0, 2), L"!!");
    EXPECT_EQ(names(texpacks), (Texts{L"original", L"texmods"}));
}

// Each story starts from the same fresh game folder; each press says what it did and changes the
// files as given.
TEST_F(TexModRuns, EachRunSaysWhatItDidAndLeavesEveryFileWholeAndSaved) {
    struct Press {
        const wchar_t* button;
        const wchar_t* mod;
        Texts says;
        Texts changes;
        const wchar_t* held = nullptr; // a game file that another program holds open meanwhile
    };
    const Texts alphaIn = {L"hud.sz",
                           L"alpha hud",
                           L"cars\\red\\body.sz",
                           L"alpha body",
                           L"cars\\blue\\body.sz",
                           L"alpha body",
                           L"new.sz",
                           L"alpha body",
                           o + L"hud.sz",
                           L"game hud",
                           o + L"cars^red^body.sz",
                           L"game red",
                           o + L"cars^blue^body.sz",
                           L"game blue"};
    const Texts betaIn = {L"hud.sz",      L"beta hud", cafe,
                          L"mod cafe",    naive,       L"mod naive",
                          o + L"hud.sz",  L"game hud", o + L"tex^CAF\u00c9.sz",
                          L"game cafe|h", o + entry,   L"game naive|hs"};
    const Texts betaOut = {L"hud.sz", L"game hud", cafe, L"game cafe|h", naive, L"game naive|hs"};
    // clang-format off
    const std::pair<const char*, std::vector<Press>> stories[] = {
        {"only the mod files go in, each game file saved once, and come out again", {
            {L"cmdInstall", L"alpha", {kInstalled}, alphaIn},
            {L"cmdInstall", L"alpha", {kInstalled}, {o + L"new.sz", L"alpha body"}},
            {L"cmdUninstall", L"alpha", {kUninstalled},
             {L"hud.sz", L"game hud", L"cars\\red\\body.sz", L"game red", L"cars\\blue\\body.sz", L"game blue"}}}},
        {"hidden and system files named in another case come back with their attributes, twice", {
            {L"cmdInstall", L"beta", {kInstalled}, betaIn}, {L"cmdUninstall", L"beta", {kUninstalled}, betaOut},
            {L"cmdInstall", L"beta", {kInstalled}, betaIn}, {L"cmdUninstall", L"beta", {kUninstalled}, betaOut}}},
        {"a held file stops the install, which says how far it got", {
            {L"cmdInstall", L"alpha", {L"!!Install Failed\n", L"\\cars\\blue\\body.sz\r\n", L"This file is as it was.",
              L"mod file 2 of 2", L"1 mod file before it was installed, and this one had reached 1 of its targets"},
             {L"hud.sz", L"alpha hud", L"cars\\red\\body.sz", L"alpha body", o + L"hud.sz", L"game hud",
              o + L"cars^red^body.sz", L"game red"}, L"\\cars\\blue\\body.sz"}}},
        {"a held file stops the uninstall, keeping the mod's file and the backup", {
            {L"cmdInstall", L"alpha", {kInstalled}, alphaIn},
            {L"cmdUninstall", L"alpha", {L"!!Uninstall Failed\n", L"\\cars\\red\\body.sz\r\n",
              L"This file is as it was.", L"1 mod file before it was uninstalled"},
             {L"hud.sz", L"game hud"}, L"\\cars\\red\\body.sz"}}},
        {"no mod files", {{L"cmdInstall", L"Gamma", {kInstalled}, {}}}},
        {"no backups", {{L"cmdUninstall", L"beta", {kUninstalled}, {}}}},
    };
    // clang-format on
    for (const auto& [story, presses] : stories) {
        SCOPED_TRACE(story);
        layOut();
        for (const Press& p : presses)
            expectRun(p.button, p.mod, p.says, p.changes, p.held);
    }
}

TEST_F(TexModRuns, AGameFileSavedButNotReplacedIsMovedBack) {
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
    const std::wstring said = press(L"cmdInstall", L"alpha");
    ASSERT_TRUE(copy);
    copy.reset();
    expectSays(said, {L"!!Install Failed\nThe mod's file could not be put in place of this game file:",
                      game + L"\\hud.sz", L"This file was put back as it was."});
    EXPECT_EQ(read(game + L"\\hud.sz"), "game hud");
    EXPECT_FALSE(platform::exists(backups + L"\\hud.sz"));
}

TEST_F(TexModRuns, OtherWindowsAreDisabledWhileARunGoesOn) {
    app::Form1& main = app::form1();
    main.show();
    int enabled = -1;
    rec.onCheckpoint = [&](std::wstring_view where) {
        if (where == L"texmods step" && enabled == -1)
            enabled = IsWindowEnabled(main.hwnd());
    };
    EXPECT_EQ(press(L"cmdInstall", L"alpha"), kInstalled);
    EXPECT_EQ(enabled, 0);
    EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
}

namespace {

// A second copy of this test program installing "b" in the game folder through its window: it holds
// after `holdAfter` files, with the lock taken, until told to go on.
struct InstallingCopy : SecondCopy {
    InstallingCopy(const std::wstring& game, int holdAfter)
        : SecondCopy(platform::pathKey(game), {L"held", L"go"}, L"TexMods.TwoCopies*",
                     {game, std::to_wstring(holdAfter)}) {}
    bool holds() const { return signalled(L"held"); }
};

} // namespace

TEST_F(TexMods, TwoCopiesAndKillsLeaveEveryGameFileWholeAndSaved) {
    // This test program runs this test once more as the second copy of the program.
    if (const std::vector<std::wstring> args = SecondCopy::args(); args.size() == 2) {
        const std::wstring key = platform::pathKey(args[0]);
        rec.onCheckpoint = [&, steps = 0](std::wstring_view where) mutable {
            if (where != L"texmods step" || ++steps != std::stoi(args[1]))
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
    lay(20, {L"a", L"b"}); // the copy holds inside its run: a few files make a run as long as any
    {
        // Refused while the other copy runs, saying so; every backup holds the game's own file.
        const InstallingCopy copy(game, 1);
        ASSERT_TRUE(copy.holds());
        expectSays(press(L"cmdInstall", L"a"),
                   {L"!!Install Failed\n", L"another install or uninstall of texture mods is running"});
        copy.set(L"go");
        ASSERT_TRUE(copy.ends());
        EXPECT_EQ(state(), std::string(20, 'b') + "/" + std::string(20, 'g'));
    }

    // Killed between two files: those before it the mod's and saved, the rest the game's.
    lay(1000, {L"b"});
    {
        const InstallingCopy copy(game, 30);
        ASSERT_TRUE(copy.holds());
        copy.kill();
    }
    EXPECT_EQ(state(), std::string(30, 'b') + std::string(970, 'g') + "/" + std::string(30, 'g') +
                           std::string(970, '-'));
    // Killed wherever it is once let go: one file at most missing, and every file before it saved.
    reset();
    {
        const InstallingCopy copy(game, 30);
        ASSERT_TRUE(copy.holds());
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
    pad = 100 << 10;
    lay(10, {L"m"});
    auto fill = [&](uint64_t leave) {
        DeleteFileW((root + L"\\filler").c_str());
        GetDiskFreeSpaceExW(root.c_str(), &avail, nullptr, nullptr);
        if (leave && avail.QuadPart > leave)
            write(root + L"\\filler", std::string(static_cast<size_t>(avail.QuadPart - leave), 'f'));
    };
    // Not room enough: refused before anything changes, saying what is needed and what is free.
    fill(1 << 20);
    expectSays(press(L"cmdInstall", L"m"), {L"!!Install Failed\n", L"(2,048,000 bytes)", L" free."});
    EXPECT_EQ(state(), "gggggggggg/----------");
    // The disk fills up in the middle of a copy: that file is left as it was, and the message says so.
    fill(0);
    texmods::Progress filling;
    filling.step = [&](size_t done, size_t) {
        if (done == 4)
            fill(100 << 10);
    };
    const texmods::Outcome o = texmods::run(texmods::Operation::Install, game, mods + L"m", filling);
    EXPECT_EQ(o.error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(o.file, target(4));
    expectSays(o.detail, {L"This file is as it was.", L"4 mod files before it were installed"});
    EXPECT_EQ(state(), "mmmmgggggg/gggg------");
    fill(0);
    EXPECT_EQ(press(L"cmdInstall"), kInstalled);
    // Uninstall needs room for one backup at a time, as each restore frees the mod's larger file.
    fill(50 << 10);
    expectSays(press(L"cmdUninstall"), {L"!!Uninstall Failed\n", L"(102,400 bytes)"});
    EXPECT_EQ(state(), "mmmmmmmmmm/gggggggggg");
    fill(0);
    EXPECT_EQ(press(L"cmdUninstall"), kUninstalled);
    EXPECT_EQ(state(), "gggggggggg/gggggggggg");
}
