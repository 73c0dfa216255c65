// Saves against kills and a second copy: copies of this program (SaveChild) press Ok when told.
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
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 10000);
        for (HANDLE h : {pi.hProcess, pi.hThread, go, done})
            CloseHandle(h);
    }
    bool saved() { // the child's next "done"; false when it ended instead
        const HANDLE either[] = {done, pi.hProcess};
        return pi.hProcess && WaitForMultipleObjects(2, either, FALSE, 30000) == WAIT_OBJECT_0;
    }
};

// About 1 MB: someone else's lines around the General section.
const std::string kBig =
    "; kept by hand\r\n[General]\r\nSleepTime=5\r\nLanLobbyName=start\r\n[Other]\r\nKey=" +
    std::string(1 << 20, 'o') + "\r\n";

} // namespace

// Only in a copy started below: at each "go", types its field's name and the round, and presses Ok.
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

// A dialog saving one file and the main window saving two, each killed 15 times at random around its
// save; the first save, timed, shows what a whole one leaves.
TEST_F(ConcurrentSave, KillsAndSecondCopiesLoseNothing) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini"), gameFile = game.file(L"\\morvex2006.ini");
    const std::string gameBefore =
        faults::windowNamed("main").with([](auto& first, auto&) { return first; })[0];
    std::mt19937 random(GetTickCount());
    for (const wchar_t* window : {L"enhancements", L"main"}) {
        std::string saved;
        DWORD cycle = 0; // milliseconds from "go" to the end of the save
        for (int round = 0, changed = 0; round <= 15 || !changed; ++round) {
            ASSERT_LE(round, 15) << "no save was ever complete: the kills came too early";
            write(file, kBig);
            write(gameFile, gameBefore);
            {
                Child child(window, game.path());
                ASSERT_TRUE(child.saved()) << "the child did not start";
                const DWORD start = GetTickCount();
                SetEvent(child.go);
                if (round == 0 && child.saved()) {
                    cycle = GetTickCount() - start;
                    saved = read(file);
                    continue;
                }
                Sleep(random() % (2 * cycle + 1));
            } // killed
            const std::string now = read(file);
            ASSERT_TRUE(now == kBig || now == saved) << "round " << round;
            EXPECT_EQ(read(gameFile), gameBefore) << "round " << round;
            changed += now != kBig;
        }
    }
    // The next save cleans up what the killed ones left.
    click(faults::open(faults::windowNamed("main")), L"cmdOk");
    EXPECT_TRUE(rec.messages.empty() && faults::leftovers(game.path()).empty());
    // A key written alone keeps the other lines, in the ANSI code page, and is read whole however long;
    // two copies saving one file keep each other's keys.
    const std::wstring value(10000, L'\u00e9');
    write(file, kBig);
    ASSERT_EQ(settings::WriteIni(file, L"General", L"New", value), 0u);
    const size_t other = kBig.find("[Other]");
    EXPECT_EQ(read(file),
              kBig.substr(0, other) + "New=" + std::string(10000, '\xe9') + "\r\n" + kBig.substr(other));
    EXPECT_EQ(settings::ReadIni(file, L"General", L"New", false), value);
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
