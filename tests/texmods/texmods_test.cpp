#include "app/mainform.h"
#include "harness/harness.h"
#include "platform/files.h"
#include "texmods/texmodform.h"

#include <algorithm>
#include <map>

using namespace harness;

namespace {

// Every file under a folder, by path relative to it, with its bytes.
void collect(const std::wstring& dir, const std::wstring& rel, std::map<std::wstring, std::string>& out) {
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW(platform::longPath(dir + L"\\*").c_str(), &d);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = d.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[rel + name + L"\\"] = "";
            collect(dir + L"\\" + name, rel + name + L"\\", out);
        } else {
            std::string bytes;
            platform::readFile(dir + L"\\" + name, bytes);
            out[rel + name] = bytes;
        }
    } while (FindNextFileW(h, &d));
    FindClose(h);
}

std::map<std::wstring, std::string> snapshot(const std::wstring& dir) {
    std::map<std::wstring, std::string> out;
    collect(dir, L"", out);
    return out;
}

bool contains(const std::wstring& text, std::wstring_view part) {
    return text.find(part) != std::wstring::npos;
}

} // namespace

class TexMods : public WindowTest {
protected:
    GameFolder game;
    texmods::frmTexMod& form = texmods::texModForm();
    std::wstring root = game.file(L"\\zelqcfg\\texpacks\\texmods");
    std::wstring backups = game.file(L"\\zelqcfg\\texpacks\\original");

    TexMods() {
        makeFolder(game.file(L"\\zelqcfg\\texpacks"));
        makeFolder(root);
        makeFolder(backups);
        makeFolder(game.file(L"\\cars"));
        makeFolder(game.file(L"\\cars\\red"));
        makeFolder(game.file(L"\\cars\\blue"));
        write(game.file(L"\\hud.sz"), "game hud");
        write(game.file(L"\\cars\\red\\body.sz"), "game red");
        write(game.file(L"\\cars\\blue\\body.sz"), "game blue");
    }
    std::wstring mod(const std::wstring& name) {
        makeFolder(root + L"\\" + name);
        return root + L"\\" + name + L"\\";
    }
    std::wstring gameFile(std::wstring_view rel) { return game.file(L"\\" + std::wstring(rel)); }
    std::string backup(std::wstring_view name) { return read(backups + L"\\" + std::wstring(name)); }
    // Opens the window on the mod of that name and presses a button.
    void press(const std::wstring& modName, const wchar_t* button) {
        if (!form.loaded())
            form.show();
        for (int p = 0; p < form.count(L"cmbMods"); ++p)
            if (form.itemText(L"cmbMods", p) == modName)
                pick(form, L"cmbMods", p);
        ASSERT_EQ(form.text(L"cmbMods"), modName);
        click(form, L"cmdInstall" == std::wstring_view(button) ? L"cmdInstall" : L"cmdUninstall");
    }
    void expectOnly(const wchar_t* title, const wchar_t* text) {
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(rec.messages[0].title, title);
        EXPECT_EQ(rec.messages[0].text, text);
        EXPECT_EQ(rec.messages[0].icon, platform::Icon::None);
        rec.messages.clear();
    }
    const Message& failure() {
        EXPECT_EQ(rec.messages.size(), 1u);
        static Message none{L"<no message>", L"", platform::Icon::None};
        if (rec.messages.empty())
            return none;
        EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
        return rec.messages[0];
    }
};

TEST_F(TexMods, CatalogueListsFoldersInOrderAndShowsEachDescription) {
    write(mod(L"Zeta") + L"readme.txt", "Only line");
    write(mod(L"alpha") + L"readme.txt", "Line one\r\nLine two\r\n");
    write(mod(L"Beta") + L"readme.txt", "");
    mod(L"gamma");
    write(root + L"\\loose.sz", "not a mod");
    form.show();
    ASSERT_EQ(form.count(L"cmbMods"), 4);
    EXPECT_EQ(form.itemText(L"cmbMods", 0), L"alpha");
    EXPECT_EQ(form.itemText(L"cmbMods", 1), L"Beta");
    EXPECT_EQ(form.itemText(L"cmbMods", 3), L"Zeta");
    EXPECT_EQ(form.selected(L"cmbMods"), 0);
    EXPECT_EQ(form.text(L"lblDesc"), L"Line one  Line two  ");
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(form.folders()[static_cast<size_t>(p)], root + L"\\" + form.itemText(L"cmbMods", p));
    pick(form, L"cmbMods", 3);
    EXPECT_EQ(form.text(L"lblDesc"), L"Only line  ");
    pick(form, L"cmbMods", 1);
    EXPECT_EQ(form.text(L"lblDesc"), L"");
    pick(form, L"cmbMods", 3);
    pick(form, L"cmbMods", 2);
    EXPECT_EQ(form.text(L"lblDesc"), L"") << "a mod without readme shows nothing of the previous one";

    // The main window's button shows this one window; showing it again does not reload it.
    mod(L"added later");
    app::form1().show();
    click(app::form1(), L"cmdTexMod");
    EXPECT_EQ(tk::Form::loadedNamed(L"frmTexMod"), &form);
    EXPECT_EQ(form.count(L"cmbMods"), 4);
    EXPECT_EQ(form.selected(L"cmbMods"), 2);
    closeBox(form);
    EXPECT_FALSE(form.loaded());
    click(app::form1(), L"cmdTexMod");
    EXPECT_EQ(form.count(L"cmbMods"), 5);
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(TexMods, MissingRootAndUnreadableReadmeAreExplained) {
    write(mod(L"locked") + L"readme.txt", "text");
    {
        Lock lock(root + L"\\locked\\readme.txt");
        form.show();
        EXPECT_TRUE(contains(form.text(L"lblDesc"), L"could not be read"));
        EXPECT_TRUE(contains(form.text(L"lblDesc"), L"readme.txt"));
    }
    form.unload();
    DeleteFileW((root + L"\\locked\\readme.txt").c_str());
    RemoveDirectoryW((root + L"\\locked").c_str());
    RemoveDirectoryW(root.c_str());
    form.show();
    EXPECT_EQ(form.count(L"cmbMods"), 0);
    EXPECT_TRUE(contains(form.text(L"lblDesc"), L"No texture mod folder was found"));
    EXPECT_TRUE(contains(form.text(L"lblDesc"), root));
    const auto before = snapshot(game.path());
    click(form, L"cmdInstall");
    EXPECT_TRUE(contains(failure().text, root)) << "no completion message for a folder that is not there";
    EXPECT_EQ(snapshot(game.path()), before);
}

TEST_F(TexMods, InstallSavesOriginalsOnceAndUninstallPutsThemBack) {
    const std::wstring m1 = mod(L"one");
    write(m1 + L"hud.sz", "one hud");
    write(m1 + L"x.sz", "one body");
    write(m1 + L"x.sz.txt", "cars^red^body.sz|cars^blue^body.sz|new.sz|\r\nhud.sz\r\n");
    write(m1 + L"readme.txt", "Red and blue");
    write(m1 + L"hidden.sz", "hidden");
    SetFileAttributesW((m1 + L"hidden.sz").c_str(), FILE_ATTRIBUTE_HIDDEN);
    press(L"one", L"cmdInstall");
    expectOnly(L"Successful Install", L"Install Complete.");
    EXPECT_EQ(read(gameFile(L"hud.sz")), "one hud");
    EXPECT_EQ(read(gameFile(L"cars\\red\\body.sz")), "one body");
    EXPECT_EQ(read(gameFile(L"cars\\blue\\body.sz")), "one body");
    EXPECT_EQ(read(gameFile(L"new.sz")), "one body");
    EXPECT_FALSE(exists(gameFile(L"x.sz"))) << "a listed file goes only where its list says";
    EXPECT_FALSE(exists(gameFile(L"readme.txt")));
    EXPECT_FALSE(exists(gameFile(L"x.sz.txt")));
    EXPECT_FALSE(exists(gameFile(L"hidden.sz")));
    const std::map<std::wstring, std::string> saved{
        {L"cars^blue^body.sz", "game blue"}, {L"cars^red^body.sz", "game red"}, {L"hud.sz", "game hud"}};
    EXPECT_EQ(snapshot(backups), saved) << "one backup per replaced file, none for a new one, no leftovers";
    EXPECT_EQ(form.modFiles(), (std::vector<std::wstring>{L"hud.sz", L"x.sz"}));

    // Again, with a changed mod: the backups keep the game's own files.
    write(m1 + L"hud.sz", "one hud v2");
    click(form, L"cmdInstall");
    expectOnly(L"Successful Install", L"Install Complete.");
    EXPECT_EQ(read(gameFile(L"hud.sz")), "one hud v2");
    // Nothing records what a mod put there: the file the first run created now counts as the game's.
    auto savedNow = saved;
    savedNow[L"new.sz"] = "one body";
    EXPECT_EQ(snapshot(backups), savedNow);

    // A second mod over the first, then out again: the game's file comes back, not the first mod's.
    write(mod(L"two") + L"hud.sz", "two hud");
    form.unload();
    press(L"two", L"cmdInstall");
    expectOnly(L"Successful Install", L"Install Complete.");
    EXPECT_EQ(read(gameFile(L"hud.sz")), "two hud");
    click(form, L"cmdUninstall");
    expectOnly(L"Successful Uninstall", L"Uninstall Complete.");
    EXPECT_EQ(read(gameFile(L"hud.sz")), "game hud");
    EXPECT_EQ(read(gameFile(L"cars\\red\\body.sz")), "one body") << "not named by the second mod";

    press(L"one", L"cmdUninstall");
    expectOnly(L"Successful Uninstall", L"Uninstall Complete.");
    EXPECT_EQ(read(gameFile(L"cars\\red\\body.sz")), "game red");
    EXPECT_EQ(read(gameFile(L"cars\\blue\\body.sz")), "game blue");
    EXPECT_EQ(read(gameFile(L"new.sz")), "one body") << "a file the game never had stays";
    EXPECT_EQ(snapshot(backups), savedNow) << "backups are never removed";
}

TEST_F(TexMods, ModsWithNothingToDoStillComplete) {
    write(mod(L"empty") + L"readme.txt", "nothing here");
    write(mod(L"nobackups") + L"hud.sz", "mod hud");
    const auto before = snapshot(game.path());
    press(L"empty", L"cmdInstall");
    expectOnly(L"Successful Install", L"Install Complete.");
    press(L"nobackups", L"cmdUninstall");
    expectOnly(L"Successful Uninstall", L"Uninstall Complete.");
    EXPECT_EQ(snapshot(game.path()), before);
}

TEST_F(TexMods, RefusedTargetsWriteNothingAnywhere) {
    const std::wstring parent = game.path().substr(0, game.path().rfind(L'\\'));
    for (const wchar_t* entry :
         {L"^x.sz", L"^^server^share^x.sz", L"C:^x.sz", L"..^outside.sz", L"cars^..^..^o.sz", L"CON",
          L"nul.sz", L"COM1.sz", L"hud.sz:stream", L"hud.sz.", L"cars ^red^body.sz",
          L"zelqcfg^texpacks^original^hud.sz", L"ZelqCfg^TEXPACKS^texmods^bad^a.sz"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(entry)));
        const std::wstring m = mod(L"bad");
        write(m + L"a.sz", "first, allowed");
        write(m + L"b.sz", "bad");
        write(m + L"b.sz.txt", "new.sz|" + platform::toAnsi(entry) + "\r\n");
        const auto before = snapshot(game.path());
        for (const wchar_t* button : {L"cmdInstall", L"cmdUninstall"}) {
            press(L"bad", button);
            const Message& m2 = failure();
            EXPECT_TRUE(contains(m2.text, L"\"b.sz\"")) << testing::PrintToString(m2.text);
            EXPECT_TRUE(contains(m2.text, std::wstring(L"\"") + entry + L"\""));
            EXPECT_TRUE(contains(m2.text, L"Nothing was copied."));
            rec.messages.clear();
            EXPECT_EQ(snapshot(game.path()), before);
        }
        EXPECT_FALSE(exists(parent + L"\\outside.sz"));
        form.unload();
    }
}

TEST_F(TexMods, MissingFoldersAreReportedBeforeAnyCopy) {
    const std::wstring m = mod(L"m");
    write(m + L"a.sz", "a");
    write(m + L"hud.sz", "mod hud");
    write(m + L"z.sz", "z");
    write(m + L"z.sz.txt", "cars^green^body.sz");
    const auto before = snapshot(game.path());
    press(L"m", L"cmdInstall");
    EXPECT_TRUE(contains(failure().text, gameFile(L"cars\\green\\")));
    EXPECT_TRUE(contains(failure().text, L"Nothing was copied."));
    EXPECT_EQ(snapshot(game.path()), before);
    rec.messages.clear();

    DeleteFileW((m + L"z.sz").c_str());
    RemoveDirectoryW(backups.c_str());
    const auto before2 = snapshot(game.path());
    click(form, L"cmdInstall");
    EXPECT_TRUE(contains(failure().text, backups));
    EXPECT_EQ(snapshot(game.path()), before2) << "the program creates no folder";
}

TEST_F(TexMods, FailureMidwayLosesNoGameFileAndSaysHowFarItGot) {
    for (const wchar_t* name : {L"a.sz", L"b.sz", L"c.sz"})
        write(gameFile(name), "game " + platform::toAnsi(name));
    const std::wstring m = mod(L"m");
    for (const wchar_t* name : {L"a.sz", L"b.sz", L"c.sz"})
        write(m + name, "mod " + platform::toAnsi(name));

    auto names = [this] {
        std::vector<std::wstring> out;
        for (const auto& [name, bytes] : snapshot(game.path()))
            out.push_back(name);
        return out;
    };
    std::vector<std::wstring> expectedNames = names();

    // A read-only game file stops the install there.
    setReadOnly(gameFile(L"b.sz"), true);
    press(L"m", L"cmdInstall");
    {
        const Message& f = failure();
        EXPECT_EQ(f.title, L"Install Failed");
        EXPECT_TRUE(contains(f.text, gameFile(L"b.sz")));
        EXPECT_TRUE(contains(f.text, L"(error 5)"));
        EXPECT_TRUE(contains(f.text, L"mod file 2 of 3"));
        EXPECT_TRUE(contains(f.text, L"Uninstall"));
    }
    rec.messages.clear();
    EXPECT_EQ(read(gameFile(L"a.sz")), "mod a.sz");
    EXPECT_EQ(read(gameFile(L"b.sz")), "game b.sz");
    EXPECT_EQ(read(gameFile(L"c.sz")), "game c.sz");
    EXPECT_EQ(snapshot(backups),
              (std::map<std::wstring, std::string>{{L"a.sz", "game a.sz"}, {L"b.sz", "game b.sz"}}));
    expectedNames.push_back(L"zelqcfg\\texpacks\\original\\a.sz");
    expectedNames.push_back(L"zelqcfg\\texpacks\\original\\b.sz");
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(names(), expectedNames) << "no file left behind";
    setReadOnly(gameFile(L"b.sz"), false);

    // A game file held open by another program stops it too, before its backup is made.
    {
        Lock lock(gameFile(L"c.sz"));
        click(form, L"cmdInstall");
        const Message& f = failure();
        EXPECT_TRUE(contains(f.text, gameFile(L"c.sz")));
        EXPECT_TRUE(contains(f.text, L"(error 32)"));
        EXPECT_TRUE(contains(f.text, L"2 mod files before it were installed"));
        rec.messages.clear();
    }
    EXPECT_EQ(read(gameFile(L"b.sz")), "mod b.sz");
    EXPECT_EQ(read(gameFile(L"c.sz")), "game c.sz");
    EXPECT_FALSE(exists(backups + L"\\c.sz")) << "no backup, not even a partial one, of a file not read";
    EXPECT_EQ(snapshot(backups).size(), 2u);

    // Held open during the uninstall: that file keeps the mod's copy, its backup stays for a retry.
    {
        Lock lock(gameFile(L"b.sz"));
        click(form, L"cmdUninstall");
        const Message& f = failure();
        EXPECT_EQ(f.title, L"Uninstall Failed");
        EXPECT_TRUE(contains(f.text, gameFile(L"b.sz")));
        EXPECT_TRUE(contains(f.text, L"1 mod file before it was uninstalled"));
        rec.messages.clear();
    }
    EXPECT_EQ(read(gameFile(L"a.sz")), "game a.sz");
    EXPECT_EQ(read(gameFile(L"b.sz")), "mod b.sz");
    EXPECT_EQ(backup(L"b.sz"), "game b.sz");
    click(form, L"cmdUninstall");
    expectOnly(L"Successful Uninstall", L"Uninstall Complete.");
    EXPECT_EQ(read(gameFile(L"b.sz")), "game b.sz");
}

TEST_F(TexMods, PathsLongerThanTheOldLimitWork) {
    const std::wstring part(80, L'd');
    std::wstring folder = game.path(), entry;
    for (int i = 0; i < 3; ++i) {
        folder += L"\\" + part + std::to_wstring(i);
        entry += part + std::to_wstring(i) + L"^";
        CreateDirectoryW(platform::longPath(folder).c_str(), nullptr);
    }
    const std::wstring target = folder + L"\\tex.sz";
    entry += L"tex.sz";
    ASSERT_GT(target.size(), 260u);
    HANDLE h =
        CreateFileW(platform::longPath(target).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    const std::wstring m = mod(L"deep");
    write(m + L"t.sz", "deep texture");
    write(m + L"t.sz.txt", platform::toAnsi(entry));
    press(L"deep", L"cmdInstall");
    expectOnly(L"Successful Install", L"Install Complete.");
    std::string bytes;
    EXPECT_EQ(platform::readFile(target, bytes), 0u);
    EXPECT_EQ(bytes, "deep texture");
    EXPECT_EQ(platform::readFile(backups + L"\\" + entry, bytes), 0u);
    EXPECT_EQ(bytes, "");
    click(form, L"cmdUninstall");
    expectOnly(L"Successful Uninstall", L"Uninstall Complete.");
    EXPECT_EQ(platform::readFile(target, bytes), 0u);
    EXPECT_EQ(bytes, "");
    // The test folder's clean-up works with short paths only.
    DeleteFileW(platform::longPath(target).c_str());
    DeleteFileW(platform::longPath(backups + L"\\" + entry).c_str());
    for (int i = 0; i < 3; ++i) {
        RemoveDirectoryW(platform::longPath(folder).c_str());
        folder = folder.substr(0, folder.rfind(L'\\'));
    }
}

namespace {
// Looks at the window while a run is under way, through a message that the run's pumping delivers.
struct Watcher {
    static inline texmods::frmTexMod* form = nullptr;
    static inline std::vector<std::wstring> seen;
    static LRESULT CALLBACK proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_APP) {
            seen.push_back(
                std::wstring(form->enabled(L"cmdInstall") ? L"install enabled" : L"install disabled") +
                (IsWindowVisible(form->progressBar()) ? L", progress shown" : L", progress hidden"));
            return 0;
        }
        return DefWindowProcW(h, msg, wp, lp);
    }
};
} // namespace

TEST_F(TexMods, ARunShowsProgressAndTakesNoOtherCommand) {
    const std::wstring m = mod(L"m");
    write(m + L"hud.sz", "mod hud");
    form.show();
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Watcher::proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TexModWatcher";
    RegisterClassW(&wc);
    HWND watcher =
        CreateWindowW(L"TexModWatcher", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    Watcher::form = &form;
    Watcher::seen.clear();
    PostMessageW(watcher, WM_APP, 0, 0);
    PostMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    PostMessageW(form.item(L"cmdUninstall"), BM_CLICK, 0, 0);
    click(form, L"cmdInstall");
    pump();
    DestroyWindow(watcher);
    EXPECT_EQ(Watcher::seen, (std::vector<std::wstring>{L"install disabled, progress shown"}));
    EXPECT_TRUE(form.loaded()) << "closing waits for the run's end";
    expectOnly(L"Successful Install", L"Install Complete.");
    EXPECT_EQ(read(gameFile(L"hud.sz")), "mod hud");
    EXPECT_TRUE(form.enabled(L"cmdInstall"));
    EXPECT_TRUE(form.enabled(L"cmbMods"));
    EXPECT_FALSE(IsWindowVisible(form.progressBar()));
    EXPECT_TRUE(IsWindowVisible(form.item(L"lblDesc")));
}
