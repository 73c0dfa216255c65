// The promises every window that saves keeps, also on a full disk, when killed and beside a second copy.
#include "faults/windows.h"
#include "platform/lock.h"
#include "settings/ini.h"

#include <array>
#include <process.h>
#include <shellapi.h>

using namespace harness;

// A game folder that tests/faults/special-folder.sh made outside Wine, or empty.
const std::wstring kSpecialFolder = _wgetenv(L"ZELQ_SPECIAL_FOLDER") ? _wgetenv(L"ZELQ_SPECIAL_FOLDER") : L"";

// A failed save's one message: critical, naming the file and the system's reason; the window stays open.
void expectFailure(tk::Form& form, const std::wstring& file, const std::wstring& reason) {
    ASSERT_EQ(recorder().messages.size(), 1u);
    const Message m = std::exchange(recorder().messages, {})[0];
    EXPECT_NE(m.text.find(file + L"\r\n"), m.text.npos) << "it names the file";
    EXPECT_NE(m.text.find(L"(error " + reason + L")\r\n\r\nNo file was changed"), m.text.npos) << m.text;
    EXPECT_TRUE(m.icon == platform::Icon::Critical && !recorder().ended && form.loaded()) << "stays open";
}

// Each window that saves, in a plain folder, one too deep for the profile functions, one taking no new file.
class Saves : public WindowTest, public ::testing::WithParamInterface<size_t> {
protected:
    const faults::SavingWindow* w = &faults::savingWindows()[GetParam() / 3];
    const std::vector<std::string> first = w->with([](const auto&first, auto&) { return first; }),
                                   edited = w->with([](auto&, const auto&edited) { return edited; });
    const size_t folder = GetParam() % 3; // plain, deep, refusing
    std::optional<GameFolder> game;
    const std::wstring root = folder == 2 ? kSpecialFolder : game.emplace(true, folder ? 300 : 0).path();
    const std::vector<std::wstring> left = faults::leftovers(root); // there before the window's saves

    void expectFiles(const std::vector<std::string>& expected, int step, bool linkMayStay = false) {
        for (size_t i = 0; i < w->files.size(); ++i)
            EXPECT_EQ(read(root + w->files[i]), expected[i]) << step << w->files[i];
        EXPECT_TRUE(linkMayStay || faults::leftovers(root) == left) << step;
    }

    enum Fault { ReadOnly, HeldOpen, HeldForReading, Busy, NoFolder, None };
    enum Action { Ok, EditOk, EditCancel, EditClose };
    // Opens the window, plays the action (after a failed Ok over the first bytes, given a fault), checks.
    void step(Action action, const std::vector<std::string>& expected, Fault fault = None,
              size_t failing = 0) {
        for (size_t i = 0; fault != None && i < w->files.size(); ++i)
            write(root + w->files[i], first[i]);
        tk::Form& form = faults::open(*w);
        tk::Form* opener = w->opener ? tk::Form::loadedNamed(faults::windowNamed(w->opener).form) : nullptr;
        for (const tk::Control& c : form.spec().controls) // a typed list text loads as none, shown empty
            EXPECT_TRUE(c.kind != tk::Kind::DropCombo || form.selected(c.name) != -1 ||
                        form.text(c.name).empty());
        for (const auto& [button, title, length] : action == EditCancel ? w->help : decltype(w->help){}) {
            click(form, button); // each help text without an icon
            const Message m = rec.messages.size() == 1 ? std::exchange(rec.messages, {})[0] : Message{};
            EXPECT_TRUE(m.title == title && m.text.size() == length && m.icon == platform::Icon::None);
        }
        if (action != Ok)
            faults::edit(form);
        if (fault != None) { // an Ok failing on the file: reported, it keeps the edits and changes no file
            const std::wstring file = root + w->files[failing], cfg = root + L"\\zelqcfg", away = cfg + L"~";
            {
                platform::PathLock saving(L"settings", file);
                const HANDLE open =
                    fault == HeldOpen || fault == HeldForReading
                        ? CreateFileW(file.c_str(), GENERIC_READ, fault == HeldOpen ? 0 : FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr)
                        : nullptr;
                setReadOnly(file, fault == ReadOnly);
                ASSERT_TRUE(fault != Busy || saving.acquire(0));
                if (fault == NoFolder)
                    MoveFileW(cfg.c_str(), away.c_str());
                click(form, L"cmdOk");
                CloseHandle(open);
            }
            setReadOnly(file, false);
            EXPECT_TRUE(fault != NoFolder || !exists(cfg)) << "the settings folder is never made";
            MoveFileW(away.c_str(), cfg.c_str());
            expectFailure(form, file, std::array{L"5", L"32", L"5", L"32", L"3"}[fault]);
            EXPECT_FALSE(settings::gUseOverlay);
            expectFiles(first, fault, fault == HeldForReading); // a link to undo stays while the file is held
        }
        if (action == EditClose && opener)
            closeBox(*opener); // a dialog outlives its opener
        action == EditCancel  ? click(form, L"cmdCancel")
        : action == EditClose ? closeBox(form)
                              : click(form, L"cmdOk");
        EXPECT_TRUE(action != EditCancel || !opener || GetActiveWindow() == opener->hwnd()) << "focus back";
        EXPECT_TRUE(rec.messages.empty() && form.loaded() == (rec.ended == 1)) << "closed, or ended";
        EXPECT_TRUE(action == Ok ||
                    settings::gUseOverlay == (action == EditOk && w->name == std::string("enhancements")))
            << "only the enhancements dialog's Ok sets the flag";
        expectFiles(expected, action);
        tk::Form::unloadAll();
        rec.ended = 0;
    }
};

// A first Ok writes the defaults, Cancel and the close box nothing; each edit reaches its key, stored values
// come back byte for byte, refused ones load as missing. Each fault fails an Ok; then Ok saves the edits.
TEST_P(Saves, EveryStepGivesExactBytes) {
    if (root.empty())
        GTEST_SKIP() << "run by special-folder.sh";
    settings::setAppFolder(root);
    for (size_t i = 0; folder == 2 && i < w->files.size(); ++i) // there may be another window's
        write(root + w->files[i], first[i]);
    const std::vector<std::wstring> working = names(L".");
    step(Ok, first);
    step(EditCancel, first);
    step(EditClose, first);
    step(EditOk, edited);
    step(Ok, edited);
    // A value not converting or refused: Ok writes what a missing key gives, but text fields take any.
    for (const std::string refused : {"", "-2", "x"}) {
        const auto stored = w->with([&](const auto&, const auto&) { return refused; });
        auto expected = w->with([&](const std::string& first, const std::string& edited) {
            return std::isalpha(edited[0]) && !refused.empty() ? refused : first;
        });
        for (size_t i = 0; i < w->files.size(); ++i) // the game's file is no settings file: it stays
            stored[i][0] == '[' ? write(root + w->files[i], stored[i]) : void(expected[i] = edited[i]);
        step(Ok, expected);
    }
    EXPECT_EQ(names(L"."), working) << "nothing is written outside the game folder";
    const size_t firstSettings = w->files[0] == L"\\morvex2006.ini", last = w->files.size() - 1;
    for (size_t i = 0; folder == 0 && i <= last; ++i)
        for (const Fault fault : {ReadOnly, HeldOpen, HeldForReading, Busy, NoFolder})
            if (fault == ReadOnly || fault == HeldOpen || i == (fault == NoFolder ? firstSettings : last))
                step(EditOk, edited, fault, i);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, Saves, ::testing::Range(size_t{0}, 3 * faults::savingWindows().size()),
                         [](const auto& i) {
                             return faults::savingWindows()[i.param / 3].name +
                                    std::string(std::array{"_plain", "_deep", "_refusing"}[i.param % 3]);
                         });

// The profile writer reports success for what a full disk cut off: the save must see it.
TEST_F(WindowTest, OnAFullDiskASaveThatDoesNotFitChangesNothingAndSaysSo) {
    const std::wstring folder = kSpecialFolder, file = folder + L"\\zelqcfg\\settings.ini";
    if (folder.empty())
        GTEST_SKIP() << "run by special-folder.sh";
    settings::setAppFolder(folder);
    // Just short of a page: the copy fits in the page left free, the longer text does not, losing its end.
    const std::string before =
        "[General]\r\nSleepTime=5\r\n[Network]\r\nPort=2300\r\nHost=" + std::string(3909, 'h') + "\r\n";
    write(file, before);
    ULARGE_INTEGER room{}; // all of it but one page goes to another file
    GetDiskFreeSpaceExW(folder.c_str(), &room, nullptr, nullptr);
    write(folder + L"\\filler", std::string(room.QuadPart - 4096, 'f'));
    tk::Form& form = faults::open(faults::windowNamed("enhancements"));
    click(form, L"cmdOk");
    expectFailure(form, file, L"112"); // the disk is full
    EXPECT_EQ(read(file), before);
    EXPECT_EQ(faults::leftovers(folder), std::vector{folder + L"\\filler"});
}

namespace {

// A copy signals "done" once its window is open and after each save, and waits for "go" before each. Told
// to hold at the n-th point of a save named, it signals "held" there and waits to be ended.
HANDLE event(const std::wstring& folder, const std::wstring& window, const wchar_t* what) {
    return CreateEventW(nullptr, FALSE, FALSE,
                        (L"Local\\zelq-test-" + platform::pathKey(folder) + window + what).c_str());
}

// How long a wait for a copy may take before the test calls it stuck: long, as a busy machine may be slow.
constexpr DWORD kPatience = 300000;

constexpr const wchar_t* kCopy = L"--gtest_filter=ConcurrentSave.KillsAndSecondCopiesLoseNothing";

struct Child {
    HANDLE go, done, held, process;
    Child(const std::wstring& window, const std::wstring& folder, const std::wstring& hold = L"-",
          int nth = 0)
        : go(event(folder, window, L"go")), done(event(folder, window, L"done")),
          held(event(folder, window, L"held")) {
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        const intptr_t copy = _wspawnl(_P_NOWAIT, exe, (L"\"" + std::wstring(exe) + L"\"").c_str(), kCopy,
                                       window.c_str(), (L"\"" + folder + L"\"").c_str(),
                                       (L"\"" + hold + L"\"").c_str(), std::to_wstring(nth).c_str(), nullptr);
        process = copy == -1 ? nullptr : reinterpret_cast<HANDLE>(copy);
    }
    ~Child() {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        for (HANDLE h : {process, go, done, held})
            CloseHandle(h);
    }
    bool signalled(HANDLE what) { // false when the copy ended instead
        const HANDLE either[] = {what, process};
        return process && WaitForMultipleObjects(2, either, FALSE, kPatience) == WAIT_OBJECT_0;
    }
    bool saved() { return signalled(done); }
};

// About 1 MB: someone else's lines around the General section.
const std::string kHead = "; kept by hand\r\n[General]\r\nSleepTime=5\r\nLanLobbyName=start\r\n",
                  kBig = kHead + "[Other]\r\nKey=" + std::string(1 << 20, 'o') + "\r\n";

// In a copy: at each "go", types its field's name and the round, and presses Ok.
void saveWhenTold(Recorder& rec, const std::wstring& window, const std::wstring& folder,
                  const std::wstring& hold, int nth) {
    HANDLE go = event(folder, window, L"go"), done = event(folder, window, L"done");
    rec.onCheckpoint = [=, seen = 0](std::wstring_view where) mutable {
        if (where == hold && ++seen == nth) {
            SetEvent(event(folder, window, L"held"));
            Sleep(INFINITE);
        }
    };
    settings::setAppFolder(folder);
    const faults::SavingWindow& w = faults::windowNamed(std::string(window.begin(), window.end()));
    tk::Form* form = &faults::open(w);
    const std::wstring field = w.name == std::string("main") ? L"txtThrottle" : L"txtLobbyName";
    for (int round = 1; SetEvent(done) && WaitForSingleObject(go, kPatience) == WAIT_OBJECT_0; ++round) {
        type(*form, field, field + std::to_wstring(round));
        click(*form, L"cmdOk");
        ASSERT_TRUE(rec.messages.empty()) << rec.messages[0].text;
        form = &faults::open(w); // a dialog reads its files anew
    }
}

class ConcurrentSave : public WindowTest {};
} // namespace

// A dialog saving one file and the main window two, each killed at known points of a save and at random.
TEST_F(ConcurrentSave, KillsAndSecondCopiesLoseNothing) {
    int n = 0;
    wchar_t** arg = CommandLineToArgvW(GetCommandLineW(), &n);
    if (n == 6 && arg[1] == std::wstring(kCopy))
        return saveWhenTold(rec, arg[2], arg[3], arg[4], _wtoi(arg[5]));
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini"), gameFile = game.file(L"\\morvex2006.ini");
    const std::string gameFirst = faults::windowNamed("main").with([](auto& f, auto&) { return f; })[0];
    auto lay = [&] {
        write(file, kBig);
        write(gameFile, gameFirst);
    };
    for (const wchar_t* window : {L"enhancements", L"main"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(window)));
        // A whole save, timed: what it leaves.
        lay();
        std::string saved;
        DWORD cycle = 0;
        {
            Child child(window, game.path());
            ASSERT_TRUE(child.saved()) << "the child did not start";
            const DWORD start = GetTickCount();
            SetEvent(child.go);
            ASSERT_TRUE(child.saved());
            cycle = GetTickCount() - start;
            saved = read(file);
        }
        ASSERT_NE(saved, kBig);
        // Killed where it holds: before any file is replaced, and once settings.ini (its last file) is.
        const int files = std::wstring(window) == L"main" ? 2 : 1;
        const struct {
            const wchar_t* hold;
            int nth;
            const std::string& expected;
        } aimed[] = {{L"settings staged", 1, kBig}, {L"settings replaced", files, saved}};
        for (const auto& [hold, nth, expected] : aimed) {
            lay();
            {
                Child child(window, game.path(), hold, nth);
                ASSERT_TRUE(child.saved()) << "the child did not start";
                SetEvent(child.go);
                ASSERT_TRUE(child.signalled(child.held)) << "the kill did not fall inside the save";
            } // killed
            EXPECT_TRUE(read(file) == expected) << testing::PrintToString(std::wstring(hold));
            EXPECT_EQ(read(gameFile), gameFirst);
        }
        // Killed at random around a save: each file the old one or the new one, wherever the kill fell.
        for (int round = 0; round < 5; ++round) {
            lay();
            {
                Child child(window, game.path());
                ASSERT_TRUE(child.saved()) << "the child did not start";
                SetEvent(child.go);
                Sleep(rand() % (2 * cycle + 1));
            } // killed
            const std::string now = read(file);
            EXPECT_TRUE(now == kBig || now == saved) << "round " << round;
            EXPECT_EQ(read(gameFile), gameFirst) << "round " << round;
        }
    }
    // The next save cleans up what the killed ones left.
    click(faults::open(faults::windowNamed("main")), L"cmdOk");
    EXPECT_TRUE(rec.messages.empty() && faults::leftovers(game.path()).empty());
    // A key written alone keeps the other lines, in the ANSI code page, and reads whole however long.
    const std::wstring value(10000, L'\u00e9');
    write(file, kBig);
    ASSERT_EQ(settings::WriteIni(file, L"General", L"New", value), 0u);
    EXPECT_EQ(read(file), kHead + "New=" + std::string(10000, '\xe9') + "\r\n" + kBig.substr(kHead.size()));
    EXPECT_EQ(settings::ReadIni(file, L"General", L"New", false), value);
    write(file, kHead); // small, so that the rounds of two copies at once stay short
    Child enhancements(L"enhancements", game.path()), main(L"main", game.path()); // keep each other's keys
    for (int i = 0; i <= 10; ++i) {
        ASSERT_TRUE(enhancements.saved() && main.saved()) << "round " << i << " (0: the copies' start)";
        const std::wstring n = std::to_wstring(i);
        EXPECT_EQ(settings::ReadIni(file, L"General", L"LanLobbyName", false) + L" " +
                      settings::ReadIni(file, L"General", L"SleepTime", false),
                  i ? L"txtLobbyName" + n + L" txtThrottle" + n : L"start 5");
        EXPECT_NE(read(file).find("; kept by hand\r\n"), std::string::npos);
        SetEvent(enhancements.go);
        SetEvent(main.go);
    }
}
