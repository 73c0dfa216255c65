#include "app/mainform.h"
#include "bench/windows.h"
#include "harness/harness.h"
#include "platform/files.h"
#include "texmods/texmodform.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

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
    // Opens the window on the mod of that name.
    void choose(const std::wstring& modName) {
        if (!form.loaded())
            form.show();
        for (int p = 0; p < form.count(L"cmbMods"); ++p)
            if (form.itemText(L"cmbMods", p) == modName)
                pick(form, L"cmbMods", p);
        ASSERT_EQ(form.text(L"cmbMods"), modName);
    }
    // ... and presses a button.
    void press(const std::wstring& modName, const wchar_t* button) {
        choose(modName);
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
            EXPECT_TRUE(contains(m2.text, L"Nothing was changed."));
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
    EXPECT_TRUE(contains(failure().text, L"Nothing was changed."));
    EXPECT_EQ(snapshot(game.path()), before);
    rec.messages.clear();

    DeleteFileW((m + L"z.sz").c_str());
    RemoveDirectoryW(backups.c_str());
    const auto before2 = snapshot(game.path());
    click(form, L"cmdInstall");
    EXPECT_TRUE(contains(failure().text, backups));
    EXPECT_EQ(snapshot(game.path()), before2) << "the program creates no folder";
}

TEST_F(TexMods, ReadOnlyTargetsAreRefusedAndAFailureMidwaySaysWhereThingsStand) {
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

    // A read-only game file is refused before anything changes, by both operations.
    setReadOnly(gameFile(L"b.sz"), true);
    write(backups + L"\\b.sz", "game b.sz");
    const auto before = snapshot(game.path());
    for (const wchar_t* button : {L"cmdInstall", L"cmdUninstall"}) {
        press(L"m", button);
        const Message& f = failure();
        EXPECT_TRUE(contains(f.text, gameFile(L"b.sz")));
        EXPECT_TRUE(contains(f.text, L"read-only"));
        EXPECT_TRUE(contains(f.text, L"(error 5)"));
        EXPECT_TRUE(contains(f.text, L"Nothing was changed."));
        rec.messages.clear();
        EXPECT_EQ(snapshot(game.path()), before);
    }
    setReadOnly(gameFile(L"b.sz"), false);
    DeleteFileW((backups + L"\\b.sz").c_str());

    // A game file held open by another program stops the install there, before its backup is made.
    {
        Lock lock(gameFile(L"c.sz"));
        click(form, L"cmdInstall");
        const Message& f = failure();
        EXPECT_EQ(f.title, L"Install Failed");
        EXPECT_TRUE(contains(f.text, gameFile(L"c.sz")));
        EXPECT_TRUE(contains(f.text, L"This file is as it was."));
        EXPECT_TRUE(contains(f.text, L"mod file 3 of 3"));
        EXPECT_TRUE(contains(f.text, L"2 mod files before it were installed"));
        EXPECT_TRUE(contains(f.text, L"Every game file is whole"));
        rec.messages.clear();
    }
    EXPECT_EQ(read(gameFile(L"a.sz")), "mod a.sz");
    EXPECT_EQ(read(gameFile(L"b.sz")), "mod b.sz");
    EXPECT_EQ(read(gameFile(L"c.sz")), "game c.sz");
    EXPECT_EQ(snapshot(backups),
              (std::map<std::wstring, std::string>{{L"a.sz", "game a.sz"}, {L"b.sz", "game b.sz"}}));
    expectedNames.push_back(L"zelqcfg\\texpacks\\original\\a.sz");
    expectedNames.push_back(L"zelqcfg\\texpacks\\original\\b.sz");
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(names(), expectedNames) << "no work file left behind";

    // Held open during the uninstall: that file keeps the mod's whole file, its backup stays for a retry.
    {
        Lock lock(gameFile(L"b.sz"));
        click(form, L"cmdUninstall");
        const Message& f = failure();
        EXPECT_EQ(f.title, L"Uninstall Failed");
        EXPECT_TRUE(contains(f.text, gameFile(L"b.sz")));
        EXPECT_TRUE(contains(f.text, L"This file is as it was."));
        EXPECT_TRUE(contains(f.text, L"1 mod file before it was uninstalled"));
        rec.messages.clear();
    }
    EXPECT_EQ(read(gameFile(L"a.sz")), "game a.sz");
    EXPECT_EQ(read(gameFile(L"b.sz")), "mod b.sz");
    EXPECT_EQ(backup(L"b.sz"), "game b.sz");
    EXPECT_EQ(names(), expectedNames);
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

uint64_t fileId(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION i{};
    GetFileInformationByHandle(h, &i);
    CloseHandle(h);
    return (static_cast<uint64_t>(i.nFileIndexHigh) << 32) | i.nFileIndexLow;
}

// Every control's text in every form: a window that took the player's input would change one.
std::vector<std::wstring> controlTexts(const std::vector<tk::Form*>& forms) {
    std::vector<std::wstring> out;
    for (tk::Form* f : forms)
        for (const tk::Control& c : f->spec().controls)
            out.push_back(f->text(c.name, c.index) + L"|" + std::to_wstring(f->check(c.name, c.index)));
    return out;
}

} // namespace

TEST_F(TexMods, ALongRunGoesToItsEndWhateverElseThePlayerPresses) {
    makeFolder(gameFile(L"big"));
    const std::wstring m = mod(L"big");
    for (int i = 0; i < 1000; ++i) {
        const std::wstring n = std::to_wstring(i);
        write(gameFile(L"big\\t" + n + L".sz"), "game " + platform::toAnsi(n));
        write(m + L"big^t" + n + L".sz", "mod " + platform::toAnsi(n));
    }
    auto expected = snapshot(game.path());
    for (int i = 0; i < 1000; ++i) {
        const std::wstring n = std::to_wstring(i);
        expected[L"big\\t" + n + L".sz"] = "mod " + platform::toAnsi(n);
        expected[L"zelqcfg\\texpacks\\original\\big^t" + n + L".sz"] = "game " + platform::toAnsi(n);
    }

    // Every window open, and in each every button, box and field the player could use.
    std::vector<tk::Form*> forms;
    std::vector<HWND> windows, controls;
    for (const bench::Window& w : bench::windows())
        forms.push_back(&w.open());
    choose(L"big");
    std::vector<HWND> fields;
    for (tk::Form* f : forms) {
        windows.push_back(f->hwnd());
        for (const tk::Control& c : f->spec().controls) {
            if (c.kind == tk::Kind::Button || c.kind == tk::Kind::CheckBox)
                controls.push_back(f->item(c.name, c.index));
            if (c.kind == tk::Kind::TextBox || c.kind == tk::Kind::KeyField ||
                c.kind == tk::Kind::ButtonField)
                fields.push_back(f->item(c.name, c.index));
        }
    }
    const auto texts = controlTexts(forms);
    const HWND bar = form.progressBar(), cancel = app::form1().item(L"cmdCancel");

    const DWORD uiThread = GetCurrentThreadId();
    std::atomic<int> othersEnabled{-1};
    std::thread player([&] {
        for (int i = 0; i < 4000 && !IsWindowVisible(bar); ++i)
            Sleep(5);
        othersEnabled = IsWindowEnabled(windows[0]);
        PostThreadMessageW(uiThread, WM_QUIT, 7, 0);
        // Presses while the first third of the run goes on, so that the run pumps them all.
        for (DWORD_PTR pos = 0;
             SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_BLOCK, 5000, &pos) && pos < 300;) {
            for (HWND c : controls) {
                PostMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
                PostMessageW(c, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
                PostMessageW(c, BM_CLICK, 0, 0);
            }
            for (HWND c : fields) {
                PostMessageW(c, WM_KEYDOWN, 'A', 1);
                PostMessageW(c, WM_CHAR, 'a', 1);
                PostMessageW(c, WM_KEYUP, 'A', 0xC0000001);
            }
            for (HWND w : windows) {
                PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
                PostMessageW(w, WM_CLOSE, 0, 0);
            }
            // Sent from another thread: handled inside the run's pumping whatever it lets through.
            SendMessageTimeoutW(cancel, BM_CLICK, 0, 0, SMTO_BLOCK, 5000, nullptr);
            SendMessageTimeoutW(form.hwnd(), WM_CLOSE, 0, 0, SMTO_BLOCK, 5000, nullptr);
            Sleep(100);
        }
    });
    click(form, L"cmdInstall");
    player.join();

    EXPECT_EQ(othersEnabled, 0) << "the other windows are disabled while the run goes on";
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "a quit seen while pumping is posted again";
    EXPECT_EQ(quit.wParam, 7u);
    pump();
    expectOnly(L"Successful Install", L"Install Complete.");
    EXPECT_EQ(rec.ended, 0);
    EXPECT_TRUE(rec.started.empty());
    for (tk::Form* f : forms) {
        EXPECT_TRUE(f->loaded()) << testing::PrintToString(std::wstring(f->spec().name));
        EXPECT_TRUE(f->loaded() && IsWindowEnabled(f->hwnd()));
    }
    EXPECT_EQ(controlTexts(forms), texts);
    EXPECT_EQ(snapshot(game.path()), expected) << "every file installed, nothing else written";

    // Afterwards everything works as before.
    closeBox(form);
    EXPECT_FALSE(form.loaded());
    click(app::form1(), L"cmdCancel");
    EXPECT_EQ(rec.ended, 1);
}

TEST_F(TexMods, HiddenAndSystemGameFilesAreSavedAndReplaced) {
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN, both = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const std::wstring hud = gameFile(L"hud.sz"), red = gameFile(L"cars\\red\\body.sz");
    SetFileAttributesW(hud.c_str(), hidden);
    SetFileAttributesW(red.c_str(), both);
    const uint64_t hudId = fileId(hud), redId = fileId(red);
    const std::wstring m = mod(L"m");
    write(m + L"hud.sz", "mod hud");
    write(m + L"cars^red^body.sz", "mod red");
    // Left by a copy of the program that was killed, and by an earlier version: removed, never taken
    // for a game's file or a backup.
    const std::wstring texpacks = game.file(L"\\zelqcfg\\texpacks\\");
    write(texpacks + L"^zelq-4242-1-0.tmp", "left over");
    write(texpacks + L"^zelq-partial.tmp", "left over");

    press(L"m", L"cmdInstall");
    expectOnly(L"Successful Install", L"Install Complete.");
    EXPECT_EQ(read(hud), "mod hud");
    EXPECT_EQ(read(red), "mod red");
    EXPECT_EQ(snapshot(backups), (std::map<std::wstring, std::string>{{L"cars^red^body.sz", "game red"},
                                                                      {L"hud.sz", "game hud"}}));
    // The game's own files were moved, attributes and all, and the mod's files are new ones: no copy
    // was made over a hidden file, which Windows refuses.
    EXPECT_EQ(fileId(backups + L"\\hud.sz"), hudId);
    EXPECT_EQ(fileId(backups + L"\\cars^red^body.sz"), redId);
    EXPECT_EQ(GetFileAttributesW((backups + L"\\cars^red^body.sz").c_str()) & both, both);
    EXPECT_FALSE(exists(texpacks + L"^zelq-4242-1-0.tmp"));
    EXPECT_FALSE(exists(texpacks + L"^zelq-partial.tmp"));

    // Uninstall brings them back as the game had them, hidden; the next install replaces them again.
    for (int round = 0; round < 2; ++round) {
        click(form, L"cmdUninstall");
        expectOnly(L"Successful Uninstall", L"Uninstall Complete.");
        EXPECT_EQ(read(hud), "game hud");
        EXPECT_EQ(read(red), "game red");
        EXPECT_EQ(GetFileAttributesW(hud.c_str()) & both, hidden);
        EXPECT_EQ(GetFileAttributesW(red.c_str()) & both, both);
        click(form, L"cmdInstall");
        expectOnly(L"Successful Install", L"Install Complete.");
        EXPECT_EQ(read(hud), "mod hud");
        EXPECT_EQ(read(red), "mod red");
        EXPECT_EQ(fileId(backups + L"\\hud.sz"), hudId) << "the backup is never replaced";
    }
    EXPECT_EQ(snapshot(texpacks).size(), 7u)
        << "the two folders, the mod folder with its two files, two backups";
}

TEST_F(TexMods, ANameDifferingOnlyInCaseOutsideAsciiIsTheSameGameFile) {
    makeFolder(gameFile(L"data"));
    makeFolder(gameFile(L"data\\tex"));
    write(gameFile(L"data\\tex\\caf\u00e9.sz"), "game cafe");
    write(gameFile(L"data\\tex\\na\u00efve.sz"), "game naive");
    write(mod(L"upper") + L"data^tex^CAF\u00c9.sz", "mod cafe");
    // A target list in the ANSI code page, whose own name differs from its mod file's in case.
    const std::wstring listed = mod(L"listed"), entry = L"DATA^TEX^NA\u00cfVE.SZ";
    ASSERT_EQ(platform::fromAnsi(platform::toAnsi(entry)), entry)
        << "the ANSI code page must hold the letters";
    write(listed + L"\u00e9.sz", "mod naive");
    write(listed + L"\u00c9.SZ.TXT", platform::toAnsi(entry));

    for (const wchar_t* name : {L"upper", L"listed"}) {
        press(name, L"cmdInstall");
        expectOnly(L"Successful Install", L"Install Complete.");
    }
    EXPECT_EQ(read(gameFile(L"data\\tex\\caf\u00e9.sz")), "mod cafe");
    EXPECT_EQ(read(gameFile(L"data\\tex\\na\u00efve.sz")), "mod naive");
    EXPECT_EQ(snapshot(gameFile(L"data\\tex")).size(), 2u);
    EXPECT_EQ(snapshot(backups),
              (std::map<std::wstring, std::string>{{L"DATA^TEX^NA\u00cfVE.SZ", "game naive"},
                                                   {L"data^tex^CAF\u00c9.sz", "game cafe"}}));
    for (const wchar_t* name : {L"upper", L"listed"}) {
        press(name, L"cmdUninstall");
        expectOnly(L"Successful Uninstall", L"Uninstall Complete.");
    }
    EXPECT_EQ(read(gameFile(L"data\\tex\\CAF\u00c9.sz")), "game cafe");
    EXPECT_EQ(read(gameFile(L"data\\tex\\NA\u00cfVE.SZ")), "game naive");
}
