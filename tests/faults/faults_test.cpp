// The promises every window that saves keeps, also on a full disk and beside a second copy.
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

// Each edit reaches its key; what is stored comes back byte for byte.
TEST_P(Saves, OkWritesEachEditAndTheNextOkWritesItAgain) {
    const std::vector<std::wstring> working = names(L".");
    tk::Form& form = faults::open(w);
    faults::edit(form);
    ok(form);
    expectFiles(w.edited());
    EXPECT_EQ(settings::gUseOverlay != 0, w.name == std::string("enhancements"))
        << "only the enhancements dialog's Ok sets the flag";
    ok(faults::open(w));
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

// A failed Ok says so, keeps the edits and changes no file; the next Ok saves them.
TEST_P(Saves, AFailedOkChangesNoFileAndKeepsTheEdits) {
    lay(w.first());
    tk::Form& form = faults::open(w);
    faults::edit(form);
    const std::wstring last = root + w.files.back();
    {
        Lock held(last);
        click(form, L"cmdOk");
    }
    expectFailure(form, last, ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(settings::gUseOverlay);
    expectFiles(w.first());
    ok(form);
    expectFiles(w.edited());
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

} // namespace

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
constexpr const wchar_t* kCopy = L"ConcurrentSave.TwoCopiesKeepEachOthersKeys";

struct Child : SecondCopy {
    Child(const std::wstring& window, const std::wstring& folder, const std::wstring& hold = L"-",
          int nth = 0)
        : SecondCopy(platform::pathKey(folder) + window, {L"go", L"done", L"held"}, kCopy,
                     {window, folder, hold, std::to_wstring(nth)}) {}
    bool saved() const { return signalled(L"done"); }
};

// Someone else's lines around the General section.
const std::string kHead =
    "; kept by hand\r\n[General]\r\nSleepTime=5\r\nLanLobbyName=start\r\n[Other]\r\nKey=o\r\n";

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

// Two copies saving one file at once keep each other's keys. (Each copy runs this test too.)
TEST_F(ConcurrentSave, TwoCopiesKeepEachOthersKeys) {
    if (const std::vector<std::wstring> args = SecondCopy::args(); args.size() == 4)
        return saveWhenTold(rec, args[0], args[1], args[2], std::stoi(args[3]));
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini");
    write(file, kHead);
    Child enhancements(L"enhancements", game.path()), main(L"main", game.path());
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

// A copy killed inside a save of the main window's two files, before either is replaced and once the
// last (settings.ini) is, leaves each file whole: the old one, then the new one.
TEST_F(ConcurrentSave, AKillInsideASaveLeavesEachFileOldOrNew) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini"), gameFile = game.file(L"\\morvex2006.ini");
    const std::string gameFirst = faults::windowNamed("main").first()[0];
    const struct {
        const wchar_t* hold;
        int nth;
        const wchar_t* sleepTime;
    } kills[] = {{L"settings staged", 1, L"5"}, {L"settings replaced", 2, L"txtThrottle1"}};
    for (const auto& [hold, nth, sleepTime] : kills) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(hold)));
        write(file, kHead);
        write(gameFile, gameFirst);
        {
            Child child(L"main", game.path(), hold, nth);
            ASSERT_TRUE(child.saved()) << "the copy did not start";
            child.set(L"go");
            ASSERT_TRUE(child.signalled(L"held")) << "the kill did not fall inside the save";
        } // killed
        EXPECT_EQ(settings::ReadIni(file, L"General", L"SleepTime", false), sleepTime);
        EXPECT_NE(read(file).find("; kept by hand\r\n"), std::string::npos);
        EXPECT_EQ(read(gameFile), gameFirst);
    }
    // The next save cleans up what the killed copies left.
    click(faults::open(faults::windowNamed("main")), L"cmdOk");
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_TRUE(faults::leftovers(game.path()).empty());
}
