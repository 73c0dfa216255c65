// Saves against the worst that can happen around them: the program killed at any moment of a save,
// and two copies of the program saving one file at once. Copies of this test program (SaveChild)
// open a window on a game folder and press Ok when told; the tests check the files themselves.
#include "faults/windows.h"
#include "platform/lock.h"
#include "settings/ini.h"

#include <random>
#include <shellapi.h>

using namespace harness;

namespace {

// A copy signals "done" once its window is open and after each save, and waits for "go" before each.
HANDLE event(const std::wstring& folder, const std::wstring& window, const wchar_t* what) {
    return CreateEventW(nullptr, FALSE, FALSE,
                        (L"Local\\zelq-test-" + platform::pathKey(folder) + window + what).c_str());
}

// A copy of this program running SaveChild for one window, killed at the latest when this ends.
struct Child {
    HANDLE go, done;
    PROCESS_INFORMATION pi{};
    Child(const std::wstring& window, const std::wstring& folder)
        : go(event(folder, window, L"go")), done(event(folder, window, L"done")) {
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(exe) + L"\" --gtest_filter=WindowTest.SaveChild " + window +
                            L" \"" + folder + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        CreateProcessW(exe, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                       &pi);
    }
    ~Child() {
        kill();
        for (HANDLE h : {pi.hProcess, pi.hThread, go, done})
            CloseHandle(h);
    }
    // Waits for the child's next "done"; false when the child ended instead.
    bool saved() {
        const HANDLE either[] = {done, pi.hProcess};
        return pi.hProcess && WaitForMultipleObjects(2, either, FALSE, 30000) == WAIT_OBJECT_0;
    }
    void kill() {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 10000);
    }
};

// A settings file of about 1 MB: someone else's lines around the General section.
const std::string kBig =
    "; kept by hand\r\n[General]\r\nSleepTime=5\r\nLanLobbyName=start\r\n[Other]\r\nKey=" +
    std::string(1 << 20, 'o') + "\r\n";

} // namespace

// Runs only in a copy started by the tests below, with the window and the game folder after its
// option: at each "go" it types the name of its text field and the round into the window, and
// presses Ok.
TEST_F(WindowTest, SaveChild) {
    int n = 0;
    wchar_t** arg = CommandLineToArgvW(GetCommandLineW(), &n);
    if (n != 4 || arg[1] != std::wstring(L"--gtest_filter=WindowTest.SaveChild"))
        GTEST_SKIP() << "started by the tests below only";
    HANDLE go = event(arg[3], arg[2], L"go"), done = event(arg[3], arg[2], L"done");
    settings::setAppFolder(arg[3]);
    const faults::SavingWindow& w = faults::windowNamed(faults::narrow(arg[2]));
    tk::Form* form = &faults::open(w);
    const std::wstring field = w.name == std::string("main") ? L"txtThrottle" : L"txtLobbyName";
    for (int round = 1; SetEvent(done) && WaitForSingleObject(go, 30000) == WAIT_OBJECT_0; ++round) {
        type(*form, field, field + std::to_wstring(round));
        click(*form, L"cmdOk");
        ASSERT_TRUE(rec.messages.empty()) << faults::narrow(rec.messages[0].text);
        form = &faults::open(w); // a dialog reads its files anew
    }
}

class ConcurrentSave : public WindowTest {};

// A dialog that saves one file, and the main window, which saves two as one, each killed 15 times
// at a random moment around its save: the first save, timed, shows what a whole one leaves.
TEST_F(ConcurrentSave, AKillAtAnyMomentLeavesTheFileAsItWasOrAsSaved) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini"), gameFile = game.file(L"\\morvex2006.ini");
    const std::string gameBefore = faults::windowNamed("main").after(false)[0];
    const unsigned seed = GetTickCount();
    std::mt19937 random(seed);
    for (const wchar_t* window : {L"enhancements", L"main"}) {
        std::string saved;
        DWORD cycle = 0; // milliseconds from "go" to the end of the save
        for (int round = 0, changed = 0; round <= 15 || !changed; ++round) {
            ASSERT_LE(round, 15) << "no save was ever complete: the kills came too early";
            write(file, kBig);
            write(gameFile, gameBefore);
            Child child(window, game.path());
            ASSERT_TRUE(child.saved()) << "the child did not start";
            const DWORD start = GetTickCount();
            SetEvent(child.go);
            if (round == 0) {
                ASSERT_TRUE(child.saved());
                cycle = GetTickCount() - start;
                saved = read(file);
                continue;
            }
            Sleep(random() % (2 * cycle + 1));
            child.kill();
            const std::string now = read(file);
            ASSERT_TRUE(now == kBig || now == saved)
                << "round " << round << " (seed " << seed << "): " << now.size()
                << " bytes, neither as it was nor as saved";
            EXPECT_EQ(read(gameFile), gameBefore) << "round " << round;
            changed += now != kBig;
        }
    }
    // The next save cleans up whatever the killed ones left: here and under the temporary folder.
    click(faults::open(faults::windowNamed("main")), L"cmdOk");
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_EQ(faults::leftovers(game.path()), std::vector<std::wstring>{});
}

TEST_F(ConcurrentSave, TwoCopiesSavingOneFileKeepEachOthersKeys) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini");
    write(file, kBig);
    Child enhancements(L"enhancements", game.path()), main(L"main", game.path());
    for (int i = 0; i <= 10; SetEvent(enhancements.go), SetEvent(main.go), ++i) {
        ASSERT_TRUE(enhancements.saved() && main.saved()) << "round " << i << " (0: the copies' start)";
        const std::wstring n = std::to_wstring(i);
        EXPECT_EQ(settings::ReadIni(file, L"General", L"LanLobbyName", false) + L" " +
                      settings::ReadIni(file, L"General", L"SleepTime", false),
                  i ? L"txtLobbyName" + n + L" txtThrottle" + n : L"start 5");
        EXPECT_NE(read(file).find("; kept by hand\r\n"), std::string::npos);
    }
}
