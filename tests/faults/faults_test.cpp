// The promises every window that saves keeps, also on a full disk, when killed and beside a second copy.
#include "faults/windows.h"
#include "platform/lock.h"
#include "settings/ini.h"

using namespace harness;

namespace {

// A game folder that tests/faults/special-folder.sh made outside Wine, or empty.
std::wstring specialFolder() {
    const wchar_t* folder = _wgetenv(L"ZELQ_SPECIAL_FOLDER");
    return folder ? folder : L"";
}

// A failed save's one message: critical, naming the file and the system's reason; the window stays open.
void expectFailure(tk::Form& form, const std::wstring& file, DWORD reason) {
    ASSERT_EQ(recorder().messages.size(), 1u);
    const Message m = std::exchange(recorder().messages, {})[0];
    EXPECT_NE(m.text.find(file + L"\r\n"), m.text.npos) << "it names the file";
    const std::wstring said = L"(error " + std::to_wstring(reason) + L")\r\n\r\nNo file was changed";
    EXPECT_NE(m.text.find(said), m.text.npos) << m.text;
    EXPECT_TRUE(m.icon == platform::Icon::Critical);
    EXPECT_EQ(recorder().ended, 0);
    EXPECT_TRUE(form.loaded()) << "it stays open";
}

enum class Folder { Plain, Deep, Refusing };

// One window that saves, in a folder of one kind.
class Saves : public WindowTest, public ::testing::WithParamInterface<std::tuple<size_t, Folder>> {
protected:
    const faults::SavingWindow& w = faults::savingWindows()[std::get<0>(GetParam())];
    std::optional<GameFolder> game;
    std::wstring root;
    std::vector<std::wstring> left; // there before the window's saves

    void SetUp() override {
        WindowTest::SetUp();
        const Folder folder = std::get<1>(GetParam());
        if (folder == Folder::Refusing)
            root = specialFolder();
        else
            root = game.emplace(folder == Folder::Deep ? 300 : 0).path();
        if (root.empty())
            GTEST_SKIP() << "run by special-folder.sh";
        settings::setAppFolder(root);
        if (folder == Folder::Refusing)
            lay(w.first()); // there may be another window's
        left = faults::leftovers(root);
    }
    void lay(const std::vector<std::string>& bytes) {
        for (size_t i = 0; i < w.files.size(); ++i)
            write(root + w.files[i], bytes[i]);
    }
    void expectFiles(const std::vector<std::string>& expected) {
        for (size_t i = 0; i < w.files.size(); ++i)
            EXPECT_EQ(read(root + w.files[i]), expected[i]) << testing::PrintToString(w.files[i]);
    }
    tk::Form* opener() {
        return w.opener ? tk::Form::loadedNamed(faults::windowNamed(w.opener).form) : nullptr;
    }
    // Ok closes a dialog, and ends the program from the main window.
    void ok(tk::Form& form) {
        click(form, L"cmdOk");
        EXPECT_TRUE(rec.messages.empty());
        EXPECT_EQ(form.loaded(), rec.ended == 1) << "closed, or ended";
        EXPECT_EQ(faults::leftovers(root), left);
        tk::Form::unloadAll();
        rec.ended = 0;
    }
};

TEST_P(Saves, AFirstOkWritesTheDefaults) {
    ok(faults::open(w));
    expectFiles(w.first());
}

TEST_P(Saves, CancelAndTheCloseBoxDropTheEdits) {
    lay(w.first());
    tk::Form& form = faults::open(w);
    faults::edit(form);
    click(form, L"cmdCancel");
    EXPECT_EQ(form.loaded(), rec.ended == 1) << "closed, or ended";
    EXPECT_TRUE(!opener() || GetActiveWindow() == opener()->hwnd()) << "the focus goes back to the opener";
    tk::Form& again = faults::open(w);
    faults::edit(again);
    if (tk::Form* o = opener())
        closeBox(*o); // a dialog outlives its opener
    closeBox(again);
    EXPECT_FALSE(again.loaded());
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_FALSE(settings::gUseOverlay);
    expectFiles(w.first());
}

// Each edit reaches its key; what is stored comes back byte for byte, a typed list text as none.
TEST_P(Saves, OkWritesEachEditAndTheNextOkWritesItAgain) {
    const std::vector<std::wstring> working = names(L".");
    tk::Form& form = faults::open(w);
    faults::edit(form);
    ok(form);
    expectFiles(w.edited());
    EXPECT_EQ(settings::gUseOverlay != 0, w.name == std::string("enhancements"))
        << "only the enhancements dialog's Ok sets the flag";
    tk::Form& again = faults::open(w);
    for (const tk::Control& c : again.spec().controls) {
        if (c.kind == tk::Kind::DropCombo) {
            EXPECT_TRUE(again.selected(c.name) != -1 || again.text(c.name).empty()) << std::wstring(c.name);
        }
    }
    ok(again);
    expectFiles(w.edited());
    EXPECT_EQ(names(L"."), working) << "nothing is written outside the game folder";
}

// A stored value that does not convert, or that its control refuses, saves as a missing key gives it;
// a text field takes any value but the empty one. The game's file, no settings file, keeps the edits.
TEST_P(Saves, RefusedValuesSaveAsMissingKeys) {
    for (const std::string refused : {"", "-2", "x"}) {
        SCOPED_TRACE(refused);
        std::vector<std::string> expected = w.bytes([&](const faults::Line& l) {
            return l.typed() && !refused.empty() ? refused : std::string(l.first);
        });
        std::vector<std::string> stored = w.bytes([&](const faults::Line&) { return refused; });
        for (size_t i = 0; i < w.files.size(); ++i)
            if (w.files[i] == L"\\morvex2006.ini") {
                stored[i] = w.edited()[i];
                expected[i] = stored[i];
            }
        lay(stored);
        ok(faults::open(w));
        expectFiles(expected);
    }
}

std::string caseName(const testing::TestParamInfo<std::tuple<size_t, Folder>>& i) {
    const char* folder[] = {"_plain", "_deep", "_refusing"};
    return faults::savingWindows()[std::get<0>(i.param)].name +
           std::string(folder[static_cast<int>(std::get<1>(i.param))]);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, Saves,
                         ::testing::Combine(::testing::Range(size_t{0}, faults::savingWindows().size()),
                                            ::testing::Values(Folder::Plain, Folder::Deep, Folder::Refusing)),
                         caseName);

enum class Fault { ReadOnly, HeldOpen, HeldForReading, Busy, NoFolder };

// A fault on one file while Ok is pressed.
struct Struck {
    Fault fault;
    size_t file;
    DWORD reason;
};

// Each fault on the files it can strike: ReadOnly and HeldOpen on any, HeldForReading and Busy on the
// last one written, NoFolder on the first in the settings folder.
std::vector<Struck> faultsOf(const faults::SavingWindow& w) {
    const size_t last = w.files.size() - 1, firstSettings = w.files[0] == L"\\morvex2006.ini" ? 1 : 0;
    std::vector<Struck> out;
    for (size_t i = 0; i <= last; ++i) {
        out.push_back({Fault::ReadOnly, i, ERROR_ACCESS_DENIED});
        out.push_back({Fault::HeldOpen, i, ERROR_SHARING_VIOLATION});
    }
    out.push_back({Fault::HeldForReading, last, ERROR_ACCESS_DENIED});
    out.push_back({Fault::Busy, last, ERROR_SHARING_VIOLATION});
    out.push_back({Fault::NoFolder, firstSettings, ERROR_PATH_NOT_FOUND});
    return out;
}

// Presses Ok with the fault on `file`, then takes the fault away.
void okWith(Fault fault, tk::Form& form, const std::wstring& file, const std::wstring& cfg) {
    platform::PathLock saving(L"settings", file);
    HANDLE open = INVALID_HANDLE_VALUE;
    const std::wstring away = cfg + L"~";
    if (fault == Fault::HeldOpen || fault == Fault::HeldForReading) {
        const DWORD share = fault == Fault::HeldOpen ? 0 : FILE_SHARE_READ;
        open = CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    setReadOnly(file, fault == Fault::ReadOnly);
    if (fault == Fault::Busy) {
        ASSERT_TRUE(saving.acquire(0));
    }
    if (fault == Fault::NoFolder)
        MoveFileW(cfg.c_str(), away.c_str());
    click(form, L"cmdOk");
    CloseHandle(open);
    setReadOnly(file, false);
    if (fault == Fault::NoFolder) {
        EXPECT_FALSE(platform::exists(cfg)) << "the settings folder is never made";
        MoveFileW(away.c_str(), cfg.c_str());
    }
}

class FailedSaves : public Saves {};

} // namespace

// Each fault fails an Ok that then says so, keeps the edits and changes no file; Ok then saves the edits.
TEST_P(FailedSaves, AFailedOkChangesNoFileAndKeepsTheEdits) {
    for (const auto& [fault, file, reason] : faultsOf(w)) {
        SCOPED_TRACE(testing::Message() << "fault " << static_cast<int>(fault) << " on file " << file);
        lay(w.first());
        tk::Form& form = faults::open(w);
        faults::edit(form);
        okWith(fault, form, root + w.files[file], root + L"\\zelqcfg");
        expectFailure(form, root + w.files[file], reason);
        EXPECT_FALSE(settings::gUseOverlay);
        expectFiles(w.first());
        ok(form); // a link to undo that stayed while the file was held goes now
        expectFiles(w.edited());
        settings::gUseOverlay = 0;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, FailedSaves,
                         ::testing::Combine(::testing::Range(size_t{0}, faults::savingWindows().size()),
                                            ::testing::Values(Folder::Plain)),
                         caseName);

// Each "?" shows its help: OK only, no icon, the feature's name as title.
TEST_F(WindowTest, EachHelpButtonShowsItsFeaturesHelp) {
    const struct {
        const char* window;
        const wchar_t *button, *title, *beginning;
    } helps[] = {
        {"controls", L"Command1", L"Joystick Override", L"The original game's configuration has trouble"},
        {"controls", L"cmdWHH", L"Wheel Override", L"Enabling this allows Zelq to control the wheel"},
        {"controls", L"cmdGH", L"Pedal Override", L"Enabling this allows you to bind the pedals"},
        {"controls", L"cmdVRH", L"VR Override", L"Enabling this allows you to change to individual Cameras"},
        {"controls", L"cmdGSH", L"Gearshift Override",
         L"Enabling this allows you to shift to individual gears"},
        {"viewbuttons", L"cmdCAHelp", L"Information on the Camera System",
         L"The game stores all Camera angles"},
        {"viewbuttons", L"cmdMnuOvHelp", L"About VR1 Menu Override",
         L"Pressing VR1 will activate the F2 key"},
    };
    GameFolder game;
    for (const auto& help : helps) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(help.button)));
        click(faults::open(faults::windowNamed(help.window)), help.button);
        ASSERT_EQ(rec.messages.size(), 1u);
        const Message m = std::exchange(rec.messages, {})[0];
        EXPECT_EQ(m.title, help.title);
        EXPECT_TRUE(m.text.starts_with(help.beginning)) << m.text;
        EXPECT_TRUE(m.icon == platform::Icon::None);
    }
}

// The profile writer reports success for what a full disk cut off: the save must see it.
TEST_F(WindowTest, OnAFullDiskASaveThatDoesNotFitChangesNothingAndSaysSo) {
    const std::wstring folder = specialFolder(), file = folder + L"\\zelqcfg\\settings.ini";
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
    expectFailure(form, file, ERROR_DISK_FULL);
    EXPECT_EQ(read(file), before);
    EXPECT_EQ(faults::leftovers(folder), std::vector{folder + L"\\filler"});
}

namespace {

// A copy signals "done" once its window is open and after each save, and waits for "go" before each. Told
// to hold at the n-th point of a save named, it signals "held" there and waits to be ended.
constexpr const wchar_t* kCopy = L"ConcurrentSave.KillsAndSecondCopiesLoseNothing";

struct Child : SecondCopy {
    Child(const std::wstring& window, const std::wstring& folder, const std::wstring& hold = L"-",
          int nth = 0)
        : SecondCopy(platform::pathKey(folder) + window, {L"go", L"done", L"held"}, kCopy,
                     {window, folder, hold, std::to_wstring(nth)}) {}
    bool saved() const { return signalled(L"done"); }
};

// About 1 MB: someone else's lines around the General section.
const std::string kHead = "; kept by hand\r\n[General]\r\nSleepTime=5\r\nLanLobbyName=start\r\n",
                  kBig = kHead + "[Other]\r\nKey=" + std::string(1 << 20, 'o') + "\r\n";

// In a copy: at each "go", types its field's name and the round, and presses Ok.
void saveWhenTold(Recorder& rec, const std::wstring& window, const std::wstring& folder,
                  const std::wstring& hold, int nth) {
    const std::wstring key = platform::pathKey(folder) + window;
    HANDLE go = sharedEvent(key, L"go"), done = sharedEvent(key, L"done");
    rec.onCheckpoint = [=, seen = 0](std::wstring_view where) mutable {
        if (where == hold && ++seen == nth) {
            SetEvent(sharedEvent(key, L"held"));
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
    if (const std::vector<std::wstring> args = SecondCopy::args(); args.size() == 4)
        return saveWhenTold(rec, args[0], args[1], args[2], std::stoi(args[3]));
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini"), gameFile = game.file(L"\\morvex2006.ini");
    const std::string gameFirst = faults::windowNamed("main").first()[0];
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
            child.set(L"go");
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
                child.set(L"go");
                ASSERT_TRUE(child.signalled(L"held")) << "the kill did not fall inside the save";
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
                child.set(L"go");
                Sleep(rand() % (2 * cycle + 1));
            } // killed
            const std::string now = read(file);
            EXPECT_TRUE(now == kBig || now == saved) << "round " << round;
            EXPECT_EQ(read(gameFile), gameFirst) << "round " << round;
        }
    }
    // The next save cleans up what the killed ones left.
    click(faults::open(faults::windowNamed("main")), L"cmdOk");
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_TRUE(faults::leftovers(game.path()).empty());
    write(file, kHead); // small, so that the rounds of two copies at once stay short
    Child enhancements(L"enhancements", game.path()), main(L"main", game.path()); // keep each other's keys
    for (int i = 0; i <= 10; ++i) {
        ASSERT_TRUE(enhancements.saved() && main.saved()) << "round " << i << " (0: the copies' start)";
        const std::wstring n = std::to_wstring(i);
        EXPECT_EQ(settings::ReadIni(file, L"General", L"LanLobbyName", false) + L" " +
                      settings::ReadIni(file, L"General", L"SleepTime", false),
                  i ? L"txtLobbyName" + n + L" txtThrottle" + n : L"start 5");
        EXPECT_NE(read(file).find("; kept by hand\r\n"), std::string::npos);
        enhancements.set(L"go");
        main.set(L"go");
    }
}
