// Saves against the worst that can happen around them: the program killed at any moment of a save,
// and two copies of the program saving one file at once. Copies of this test program (SaveChild)
// open a window on a game folder and press Ok in a loop; the tests check the files themselves.
#include "faults/windows.h"
#include "settings/ini.h"

#include <chrono>
#include <random>
#include <thread>

using namespace harness;

namespace {

// A child's job: "window|game folder|tag|rounds|parent". Each round it types the tag and the
// round into the window's text field and presses Ok; with rounds 0 it goes on until killed.
constexpr wchar_t kJob[] = L"ZELQ_SAVE_CHILD";

const wchar_t* fieldOf(const std::wstring& window) {
    return window == L"main" ? L"txtThrottle" : L"txtLobbyName";
}

std::wstring eventName(const std::wstring& parent, const std::wstring& tag, const wchar_t* what) {
    return L"Local\\zelq-test-" + parent + L"-" + tag + L"-" + what;
}

class Child {
public:
    Child(const wchar_t* window, const std::wstring& folder, const std::wstring& tag, int rounds) {
        const std::wstring self = std::to_wstring(GetCurrentProcessId());
        go_ = CreateEventW(nullptr, FALSE, FALSE, eventName(self, tag, L"go").c_str());
        done_ = CreateEventW(nullptr, FALSE, FALSE, eventName(self, tag, L"done").c_str());
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(exe) + L"\" --gtest_filter=WindowTest.SaveChild";
        SetEnvironmentVariableW(kJob, (std::wstring(window) + L"|" + folder + L"|" + tag + L"|" +
                                       std::to_wstring(rounds) + L"|" + self)
                                          .c_str());
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(exe, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                           &pi)) {
            CloseHandle(pi.hThread);
            process_ = pi.hProcess;
        }
        SetEnvironmentVariableW(kJob, nullptr);
    }
    ~Child() {
        kill();
        CloseHandle(process_);
        CloseHandle(go_);
        CloseHandle(done_);
    }
    void go() { SetEvent(go_); }
    // Waits for the end of the child's next save; false when the child ended instead.
    bool saved() {
        const HANDLE either[] = {done_, process_};
        return process_ && WaitForMultipleObjects(2, either, FALSE, 30000) == WAIT_OBJECT_0;
    }
    void kill() {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 10000);
    }

private:
    HANDLE go_, done_, process_ = nullptr;
};

// A settings file of about 1 MB: many sections of someone else's around the General section.
std::string bigSettings() {
    std::string s = "; kept by hand\r\n[General]\r\nSleepTime=5\r\nLanLobbyName=start\r\n";
    for (int n = 0; s.size() < (1u << 20); ++n)
        s += "[Other" + std::to_string(n) + "]\r\nKey=" + std::string(1000, static_cast<char>('a' + n % 26)) +
             "\r\n";
    return s;
}

} // namespace

// Runs only in a copy started by the tests below.
TEST_F(WindowTest, SaveChild) {
    wchar_t buffer[4096];
    const DWORD n = GetEnvironmentVariableW(kJob, buffer, 4096);
    if (n == 0 || n >= 4096)
        GTEST_SKIP() << "started by the tests below only";
    std::vector<std::wstring> job(1);
    for (wchar_t c : std::wstring(buffer, n))
        if (c == L'|')
            job.emplace_back();
        else
            job.back().push_back(c);
    ASSERT_EQ(job.size(), 5u);
    const int rounds = std::stoi(job[3]);
    HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, eventName(job[4], job[2], L"go").c_str());
    HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName(job[4], job[2], L"done").c_str());
    ASSERT_TRUE(go && done);
    settings::setAppFolder(job[1]);
    const faults::SavingWindow& w = faults::windowNamed(faults::narrow(job[0]));
    SetEvent(done); // ready
    for (int i = 1; rounds == 0 || i <= rounds; ++i) {
        if (rounds) {
            ASSERT_EQ(WaitForSingleObject(go, 30000), WAIT_OBJECT_0);
        }
        tk::Form& form = faults::open(w); // a dialog reads its files anew
        type(form, fieldOf(job[0]), job[2] + std::to_wstring(rounds ? i : i % 2));
        click(form, L"cmdOk");
        ASSERT_TRUE(rec.messages.empty()) << faults::narrow(rec.messages[0].text);
        SetEvent(done);
    }
}

class ConcurrentSave : public WindowTest {};

TEST_F(ConcurrentSave, AKillAtAnyMomentLeavesTheFileAsItWasOrAsSaved) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini"), gameFile = game.file(L"\\morvex2006.ini");
    const std::string before = bigSettings(), gameBefore = faults::windowNamed("main").first[0];
    // A dialog that saves one file, and the main window, which saves two as one.
    struct Subject {
        const wchar_t* window;
        std::string saved[2] = {}; // the file as each of the child's two values leaves it
        unsigned cycle = 0;        // milliseconds from one of the child's saves to the next
        int changed = 0;
    } subjects[] = {{L"enhancements"}, {L"main"}};
    for (Subject& s : subjects)
        for (int v : {0, 1}) {
            write(file, before);
            write(gameFile, gameBefore);
            tk::Form& form = faults::open(faults::windowNamed(faults::narrow(s.window)));
            type(form, fieldOf(s.window), L"k" + std::to_wstring(v));
            click(form, L"cmdOk");
            s.saved[v] = read(file);
            tk::Form::unloadAll();
        }

    const unsigned seed = GetTickCount();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (int round = 0; round < 30; ++round) {
        Subject& s = subjects[round % 2];
        write(file, before);
        write(gameFile, gameBefore);
        Child child(s.window, game.path(), L"k", 0);
        ASSERT_TRUE(child.saved()) << "round " << round << ": the window did not open";
        if (s.cycle == 0) {
            ASSERT_TRUE(child.saved());
            const auto start = std::chrono::steady_clock::now();
            ASSERT_TRUE(child.saved());
            s.cycle = 1 + static_cast<unsigned>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                    std::chrono::steady_clock::now() - start)
                                                    .count());
        }
        // Anywhere in the child's first save or two, from the moment its window is open.
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % (2 * s.cycle)));
        child.kill();
        const std::string now = read(file);
        ASSERT_TRUE(now == before || now == s.saved[0] || now == s.saved[1])
            << "round " << round << ": " << now.size() << " bytes, neither as it was nor as saved";
        EXPECT_EQ(read(gameFile), gameBefore) << "round " << round;
        s.changed += now != before;
    }
    for (const Subject& s : subjects)
        EXPECT_GT(s.changed, 0) << "no save was ever complete: the kills came too early";

    // The next save cleans up whatever the killed ones left: here and under the temporary folder.
    click(faults::open(faults::windowNamed("main")), L"cmdOk");
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_EQ(faults::strayFiles(game.path()), std::vector<std::wstring>{});
    EXPECT_EQ(faults::tempLeftovers(), 0u);
}

TEST_F(ConcurrentSave, TwoCopiesSavingOneFileKeepEachOthersKeys) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini");
    write(file, bigSettings());
    Child enhancements(L"enhancements", game.path(), L"lobby", 10);
    Child main(L"main", game.path(), L"throttle", 10);
    ASSERT_TRUE(enhancements.saved() && main.saved()) << "the windows did not open";
    for (int i = 1; i <= 10; ++i) {
        enhancements.go();
        main.go();
        ASSERT_TRUE(enhancements.saved() && main.saved()) << "round " << i;
        EXPECT_EQ(settings::ReadIni(file, L"General", L"LanLobbyName", false), L"lobby" + std::to_wstring(i));
        EXPECT_EQ(settings::ReadIni(file, L"General", L"SleepTime", false), L"throttle" + std::to_wstring(i));
        EXPECT_NE(read(file).find("; kept by hand\r\n"), std::string::npos);
    }
}
