// Saves against the worst that can happen around them: the program killed at any moment of a save,
// and two copies of the program saving the same file at once. Each test starts copies of this test
// program that open a window on a game folder and press Ok in a loop (SaveChild below), and checks
// the files with its own reading.
#include "faults/windows.h"
#include "harness/harness.h"
#include "settings/ini.h"

#include <chrono>
#include <random>
#include <thread>

using namespace harness;

namespace {

// What a child is asked to do: "window|game folder|tag|rounds". Each round it types the tag and
// a number into the window's text control and presses Ok; with rounds 0 it goes on until killed,
// alternating two values.
constexpr wchar_t kChildJob[] = L"ZELQ_SAVE_CHILD";

std::wstring eventName(const std::wstring& tag, const wchar_t* what) {
    return L"Local\\zelq-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + tag + L"-" + what;
}

// A copy of this program running SaveChild, its output kept in a log under the temporary folder.
class Child {
public:
    Child(const char* window, const std::wstring& folder, const std::wstring& tag, int rounds)
        : go_(CreateEventW(nullptr, FALSE, FALSE, eventName(tag, L"go").c_str())),
          done_(CreateEventW(nullptr, FALSE, FALSE, eventName(tag, L"done").c_str())) {
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(exe) + L"\" --gtest_filter=SaveChild.*";
        const std::wstring job = faults::wide(window) + L"|" + folder + L"|" + tag + L"|" +
                                 std::to_wstring(rounds) + L"|" + std::to_wstring(GetCurrentProcessId());
        SetEnvironmentVariableW(kChildJob, job.c_str());
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        log_ = std::wstring(temp) + L"zelq test child " + tag + L".log";
        HANDLE nul = CreateFileW(log_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = si.hStdOutput = si.hStdError = nul;
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(exe, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            process_ = pi.hProcess;
        }
        CloseHandle(nul);
        SetEnvironmentVariableW(kChildJob, nullptr);
    }
    ~Child() {
        if (process_) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 10000);
            CloseHandle(process_);
        }
        CloseHandle(go_);
        CloseHandle(done_);
        DeleteFileW(log_.c_str());
    }
    // What the child printed, for a failure's message.
    std::string output() const { return read(log_); }
    bool started() const { return process_ != nullptr; }
    void go() { SetEvent(go_); }
    // Waits for the end of the child's next save; false when the child ended instead.
    bool saved(DWORD ms = 30000) {
        const HANDLE either[] = {done_, process_};
        return WaitForMultipleObjects(2, either, FALSE, ms) == WAIT_OBJECT_0;
    }
    void kill() {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 10000);
    }
    DWORD exitCode() {
        WaitForSingleObject(process_, 30000);
        DWORD code = 1;
        GetExitCodeProcess(process_, &code);
        return code;
    }

private:
    HANDLE go_, done_;
    HANDLE process_ = nullptr;
    std::wstring log_;
};

std::vector<std::wstring> split(const std::wstring& s, wchar_t by) {
    std::vector<std::wstring> out(1);
    for (wchar_t c : s)
        if (c == by)
            out.emplace_back();
        else
            out.back().push_back(c);
    return out;
}

// A settings file of about 1 MB: many sections of someone else's around the General section.
std::string bigSettings() {
    std::string s = "; kept by hand\r\n[General]\r\nSleepTime=5\r\nLanLobbyName=start\r\n";
    for (int n = 0; s.size() < (1u << 20); ++n)
        s += "[Other" + std::to_string(n) + "]\r\nKey=" + std::string(1000, static_cast<char>('a' + n % 26)) +
             "\r\n";
    return s;
}

} // namespace

class SaveChild : public WindowTest {};

// Runs only in a copy started by the tests below.
TEST_F(SaveChild, SavesWhenAsked) {
    wchar_t buffer[4096];
    const DWORD n = GetEnvironmentVariableW(kChildJob, buffer, 4096);
    if (n == 0 || n >= 4096)
        GTEST_SKIP() << "started by the tests below only";
    const std::vector<std::wstring> job = split(std::wstring(buffer, n), L'|');
    ASSERT_EQ(job.size(), 5u);
    const std::string window(job[0].begin(), job[0].end());
    const std::wstring tag = job[2];
    const int rounds = std::stoi(job[3]);
    // The parent's events.
    auto parentEvent = [&](const wchar_t* what) {
        return L"Local\\zelq-test-" + job[4] + L"-" + tag + L"-" + what;
    };
    HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, parentEvent(L"go").c_str());
    HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, parentEvent(L"done").c_str());
    ASSERT_TRUE(go && done);
    settings::setAppFolder(job[1]);
    const faults::SavingWindow& w = faults::windowNamed(window);
    tk::Form* form = &w.open();
    SetEvent(done); // ready
    for (int i = 1; rounds == 0 || i <= rounds; ++i) {
        if (rounds) {
            ASSERT_EQ(WaitForSingleObject(go, 30000), WAIT_OBJECT_0);
        }
        type(*form, w.editable, tag + std::to_wstring(rounds ? i : i % 2), w.editIndex);
        click(*form, L"cmdOk");
        ASSERT_TRUE(rec.messages.empty())
            << std::string(rec.messages[0].text.begin(), rec.messages[0].text.end());
        form = &w.open(); // Ok closed a dialog: open it again, its files read anew
        SetEvent(done);
    }
}

class ConcurrentSave : public WindowTest {};

TEST_F(ConcurrentSave, AKillAtAnyMomentLeavesTheFileAsItWasOrAsSaved) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini"), gameFile = game.file(L"\\morvex2006.ini");
    const std::string before = bigSettings(), gameBefore = faults::seed(L"\\morvex2006.ini");
    // A dialog that saves one file, and the main window, which saves two as one.
    struct Subject {
        const char* window;
        std::string saved[2] = {}; // the file as each of the child's two values leaves it
        unsigned cycle = 0;        // milliseconds from one of the child's saves to the next
        int changed = 0;
    } subjects[] = {{"enhancements"}, {"main"}};
    for (Subject& s : subjects)
        for (int v : {1, 0}) {
            write(file, before);
            write(gameFile, gameBefore);
            const faults::SavingWindow& w = faults::windowNamed(s.window);
            tk::Form& form = w.open();
            type(form, w.editable, L"k" + std::to_wstring(v), w.editIndex);
            click(form, L"cmdOk");
            s.saved[v] = read(file);
            ASSERT_NE(s.saved[v], before);
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
        ASSERT_TRUE(child.started());
        ASSERT_TRUE(child.saved()) << "round " << round << ": the window did not open\n" << child.output();
        if (s.cycle == 0) {
            ASSERT_TRUE(child.saved()) << child.output();
            const auto start = std::chrono::steady_clock::now();
            ASSERT_TRUE(child.saved()) << child.output();
            s.cycle = static_cast<unsigned>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now() - start)
                                                .count()) +
                      1;
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
        EXPECT_GT(s.changed, 0) << s.window << ": no save was ever complete, the kills came too early";

    // The next save cleans up whatever the killed ones left: here and under the temporary folder.
    tk::Form& form = faults::windowNamed("main").open();
    click(form, L"cmdOk");
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_EQ(faults::strayFiles(game.path()), std::vector<std::wstring>{});
    EXPECT_EQ(faults::tempLeftovers(), 0u);
}

TEST_F(ConcurrentSave, TwoCopiesSavingOneFileKeepEachOthersKeys) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini");
    write(file, bigSettings());
    constexpr int kRounds = 10;
    Child enhancements("enhancements", game.path(), L"lobby", kRounds);
    Child main("main", game.path(), L"throttle", kRounds);
    ASSERT_TRUE(enhancements.started() && main.started());
    ASSERT_TRUE(enhancements.saved() && main.saved()) << "the windows did not open\n"
                                                      << enhancements.output() << main.output();
    for (int i = 1; i <= kRounds; ++i) {
        enhancements.go();
        main.go();
        ASSERT_TRUE(enhancements.saved() && main.saved()) << "round " << i << "\n"
                                                          << enhancements.output() << main.output();
        EXPECT_EQ(settings::ReadIni(file, L"General", L"LanLobbyName", false), L"lobby" + std::to_wstring(i));
        EXPECT_EQ(settings::ReadIni(file, L"General", L"SleepTime", false), L"throttle" + std::to_wstring(i));
        EXPECT_NE(read(file).find("; kept by hand\r\n"), std::string::npos);
    }
    EXPECT_EQ(enhancements.exitCode(), 0u);
    EXPECT_EQ(main.exitCode(), 0u);
}
