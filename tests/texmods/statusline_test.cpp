// The texture mod window's status line, worked out from the files on disk.
#include "harness/harness.h"
#include "texmods/texmodform.h"

#include <atomic>

using namespace harness;

class TexModStatusLine : public WindowTest {
protected:
    GameFolder game;
    const std::wstring mods = game.file(L"\\zelqcfg\\texpacks\\texmods\\");
    texmods::frmTexMod& form = texmods::texModForm();

    // Four game files. Alpha replaces them all, Rain Pack the first two; every file is as long as
    // the game's, so that only their bytes tell them apart.
    TexModStatusLine() {
        for (const wchar_t* f : {L"\\zelqcfg\\texpacks", L"\\zelqcfg\\texpacks\\texmods",
                                 L"\\zelqcfg\\texpacks\\original", L"\\tex"})
            makeFolder(game.file(f));
        for (int i = 1; i <= 4; ++i)
            write(target(i), "game " + std::to_string(i));
        lay(L"Alpha", 4);
        lay(L"Rain Pack", 2);
        makeFolder(mods + L"Empty");
        makeFolder(mods + L"Wrong");
        write(mods + L"Wrong\\x.sz", "x");
        write(mods + L"Wrong\\x.sz.txt", "..^x.sz");
    }
    void lay(const std::wstring& mod, int files) const {
        makeFolder(mods + mod);
        for (int i = 1; i <= files; ++i)
            write(mods + mod + L"\\tex^" + std::to_wstring(i) + L".sz",
                  std::string(mod.begin(), mod.begin() + 4) + " " + std::to_string(i));
    }
    std::wstring target(int i) const { return game.file(L"\\tex\\" + std::to_wstring(i) + L".sz"); }
    // The line once its check has ended.
    std::wstring line() {
        while (form.text(L"lblStatus") == L"Checking...") {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            pump();
        }
        return form.text(L"lblStatus");
    }
    std::wstring of(const std::wstring& mod, const wchar_t* button = nullptr) {
        if (!form.loaded())
            form.show();
        for (int p = 0; p < form.count(L"cmbMods"); ++p)
            if (form.itemText(L"cmbMods", p) == mod)
                pick(form, L"cmbMods", p);
        if (button)
            click(form, button);
        return line();
    }
};

TEST_F(TexModStatusLine, TellsWhatEachTargetHoldsAfterEveryRunAndChange) {
    EXPECT_EQ(of(L"Alpha"), L"Not installed.");
    EXPECT_EQ(of(L"Empty"), L"Nothing to install: the folder holds no mod files (*.sz).");
    EXPECT_EQ(of(L"Wrong"),
              L"Cannot be installed: \"x.sz\" names a target that is not allowed, \"..^x.sz\".");
    EXPECT_EQ(of(L"Alpha", L"cmdInstall"), L"Installed: all 4 files are this mod's.");
    EXPECT_EQ(of(L"Rain Pack", L"cmdInstall"), L"Installed: all 2 files are this mod's.");
    EXPECT_EQ(of(L"Alpha"), L"Partly installed: 2 of 4 files are this mod's, 2 are Rain Pack's.");
    // By hand: a game file written over, one removed, and a mod file changed after its install.
    write(target(3), "hand 3");
    DeleteFileW(platform::longPath(target(1)).c_str());
    write(mods + L"Alpha\\tex^4.sz", "Alph 5");
    EXPECT_EQ(of(L"Rain Pack"), L"Partly installed: 1 of 2 files is this mod's, 1 is missing.");
    EXPECT_EQ(of(L"Alpha"),
              L"Not installed: 1 of 4 files is Rain Pack's, 2 have been changed, 1 is missing.");
    EXPECT_EQ(of(L"Alpha", L"cmdUninstall"), L"Not installed.");
    EXPECT_EQ(rec.messages.size(), 3u) << "each run ended as it should";
}

TEST_F(TexModStatusLine, ANewerSelectionCancelsTheCheckBeforeIt) {
    of(L"Alpha", L"cmdInstall");
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
        WaitForSingleObject(go, 30000);
    };
    form.show(); // selects Alpha
    ASSERT_EQ(WaitForSingleObject(held, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(form.text(L"lblStatus"), L"Checking...");
    EXPECT_EQ(of(L"Rain Pack"), L"Not installed: all 2 files are Alpha's.");
    // Alpha's check ends now, and whatever it posted has arrived: the line stays Rain Pack's.
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(first, 30000), WAIT_OBJECT_0);
    pump();
    EXPECT_EQ(form.text(L"lblStatus"), L"Not installed: all 2 files are Alpha's.");
    for (HANDLE h : {held, go, first})
        CloseHandle(h);
}
