// The promises every window that saves keeps, in one suite across the windows, and the save on a
// full disk.
#include "faults/windows.h"
#include "platform/files.h"
#include "platform/lock.h"
#include "settings/ini.h"

#include <optional>

using namespace harness;
using faults::SavingWindow;

// A game folder that tests/faults/special-folder.sh made outside Wine, or empty.
const std::wstring kSpecialFolder = _wgetenv(L"ZELQ_SPECIAL_FOLDER") ? _wgetenv(L"ZELQ_SPECIAL_FOLDER") : L"";

// Each window that saves, in a plain folder, one deeper than the profile functions take, and one that
// takes no new file (its files are written over). Nothing is ever written outside the game folder,
// and no save leaves a file behind.
class Saves : public WindowTest, public ::testing::WithParamInterface<std::tuple<size_t, int>> {
protected:
    const SavingWindow* w = &faults::savingWindows()[std::get<0>(GetParam())];
    const std::vector<std::string> first = w->after(false), edited = w->after(true);
    const int folder = std::get<1>(GetParam()); // 0 plain, 1 deep, 2 refusing
    std::optional<GameFolder> game;
    std::wstring root;
    std::vector<std::wstring> left; // what was there before the window's saves

    void expectFiles(const std::vector<std::string>& expected, int step) {
        for (size_t i = 0; i < w->files.size(); ++i)
            EXPECT_EQ(read(root + w->files[i]), expected[i]) << step << faults::narrow(w->files[i]);
    }

    enum Action { Ok, EditOk, EditCancel, EditClose };
    // Opens the window, plays the action, and checks the files it leaves.
    void step(Action action, const std::vector<std::string>& expected) {
        tk::Form& form = faults::open(*w);
        tk::Form* opener = w->opener ? tk::Form::loadedNamed(faults::windowNamed(w->opener).form) : nullptr;
        for (const tk::Control& c : form.spec().controls) // a typed list text loads as none, shown empty
            EXPECT_TRUE(c.kind != tk::Kind::DropCombo || form.selected(c.name) != -1 ||
                        form.text(c.name).empty());
        for (const auto& [button, title, length] : action == EditCancel ? w->help : decltype(w->help){}) {
            click(form, button); // each help text without an icon
            ASSERT_EQ(rec.messages.size(), 1u);
            const Message m = rec.messages[0];
            EXPECT_TRUE(m.title == title && m.text.size() == length && m.icon == platform::Icon::None)
                << button;
            rec.messages.clear();
        }
        if (action != Ok)
            faults::edit(form);
        if (action == EditClose && opener)
            closeBox(*opener); // a dialog outlives its opener
        action == EditCancel  ? click(form, L"cmdCancel")
        : action == EditClose ? closeBox(form)
                              : click(form, L"cmdOk");
        EXPECT_TRUE(action != EditCancel || !opener || GetActiveWindow() == opener->hwnd()) << "focus back";
        EXPECT_TRUE(rec.messages.empty() && form.loaded() == (rec.ended == 1))
            << "closed, or the program ended";
        EXPECT_TRUE(action == Ok ||
                    settings::gUseOverlay == (action == EditOk && w->name == std::string("enhancements")))
            << "only the enhancements dialog's Ok sets the flag";
        expectFiles(expected, action);
        tk::Form::unloadAll();
        rec.ended = 0;
    }
};

// A first Ok writes the defaults; Cancel and the close box write nothing and keep nothing; each edit
// reaches its own key; stored values are written back byte for byte; refused values load as missing.
// In a plain folder, a failed save is reported naming the file and the reason, keeps the window with
// its edits and changes no file; with the fault gone, Ok saves the edits. The faults: a file
// read-only, held open, held open for reading (so that its replacement fails after the files before
// it were replaced), being saved by another window or copy of the program; no settings folder.
TEST_P(Saves, EveryStepGivesExactBytes) {
    root = folder == 2 ? kSpecialFolder : game.emplace(true, folder ? 300 : 0).path();
    if (root.empty())
        GTEST_SKIP() << "run by special-folder.sh";
    settings::setAppFolder(root);
    for (size_t i = 0; folder == 2 && i < w->files.size(); ++i) // there may be another window's
        write(root + w->files[i], first[i]);
    left = faults::leftovers(root);
    const std::vector<std::wstring> working = names(L".");
    step(Ok, first);
    step(EditCancel, first);
    step(EditClose, first);
    step(EditOk, edited);
    step(Ok, edited);
    // A value that does not convert or that its control refuses: Ok writes what a missing key gives,
    // but for the text fields (those that hold a name in the edited files), which take any value.
    for (const std::string refused : {"", "-2", "x"}) {
        const auto stored = w->with([&](const auto&, const auto&) { return refused; });
        auto expected = w->with([&](const std::string& first, const std::string& edited) {
            return std::isalpha(edited[0]) && !refused.empty() ? refused : first;
        });
        for (size_t i = 0; i < w->files.size(); ++i) // the game's file is no settings file: it stays
            stored[i][0] == '[' ? write(root + w->files[i], stored[i]) : void(expected[i] = edited[i]);
        step(Ok, expected);
    }
    EXPECT_EQ(faults::leftovers(root), left);
    EXPECT_EQ(names(L"."), working) << "nothing is written outside the game folder";
    if (folder != 0)
        return;
    enum { ReadOnly, HeldOpen, HeldForReading, Busy, NoFolder };
    const size_t firstSettings = w->files[0] == L"\\morvex2006.ini", last = w->files.size() - 1;
    std::vector<std::pair<int, size_t>> faults = {
        {HeldForReading, last}, {Busy, last}, {NoFolder, firstSettings}};
    for (size_t i = 0; i < w->files.size(); ++i)
        faults.insert(faults.end(), {{ReadOnly, i}, {HeldOpen, i}});
    const std::wstring settingsFolder = root + L"\\zelqcfg", away = settingsFolder + L"~";
    for (const auto& [fault, failing] : faults) {
        const std::wstring file = root + w->files[failing];
        for (size_t i = 0; i < w->files.size(); ++i)
            write(root + w->files[i], first[i]);
        tk::Form& form = faults::open(*w);
        faults::edit(form);
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
                MoveFileW(settingsFolder.c_str(), away.c_str());
            click(form, L"cmdOk");
            CloseHandle(open);
        }
        setReadOnly(file, false);
        ASSERT_EQ(rec.messages.size(), 1u);
        const std::string text = faults::narrow(rec.messages[0].text), reason[] = {"5", "32", "5", "32", "3"};
        EXPECT_NE(text.find(faults::narrow(file) + "\r\n"), text.npos) << "it names the file";
        EXPECT_NE(text.find("(error " + reason[fault] + ")\r\n\r\nNo file was changed"), text.npos) << text;
        EXPECT_TRUE(rec.messages[0].icon == platform::Icon::Critical && !rec.ended && !settings::gUseOverlay);
        ASSERT_TRUE(form.loaded()) << "the window stays open";
        EXPECT_TRUE(fault != NoFolder || !exists(settingsFolder)) << "the settings folder is never made";
        MoveFileW(away.c_str(), settingsFolder.c_str());
        // A link kept to undo a replaced file cannot go while another program holds the file open:
        // the next save removes it.
        EXPECT_TRUE(fault == HeldForReading || faults::leftovers(root) == left);
        expectFiles(first, fault);
        rec.messages.clear();
        click(form, L"cmdOk");
        EXPECT_EQ(faults::leftovers(root), left);
        expectFiles(edited, fault);
        tk::Form::unloadAll();
        rec.ended = 0;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, Saves,
                         ::testing::Combine(::testing::Range(size_t{0}, faults::savingWindows().size()),
                                            ::testing::Range(0, 3)),
                         [](const auto& i) {
                             return faults::savingWindows()[std::get<0>(i.param)].name +
                                    std::string(std::get<1>(i.param)
                                                    ? std::get<1>(i.param) == 1 ? "_deep" : "_refusing"
                                                    : "_plain");
                         });

// The profile writer reports success for what a full disk cut off: the save must see it. Run by
// special-folder.sh on a small volume.
TEST_F(WindowTest, OnAFullDiskASaveThatDoesNotFitChangesNothingAndSaysSo) {
    const std::wstring folder = kSpecialFolder, file = folder + L"\\zelqcfg\\settings.ini";
    if (folder.empty())
        GTEST_SKIP() << "run by special-folder.sh";
    settings::setAppFolder(folder);
    // Just short of a page, with the keys the dialog adds to go before someone else's section: the
    // copy fits in the page left free, the longer text does not, and what it loses is the end.
    const std::string before =
        "[General]\r\nSleepTime=5\r\n[Network]\r\nMasterAddress=" + std::string(3900, 'm') +
        "\r\nPort=2300\r\n";
    write(file, before);
    ULARGE_INTEGER room{}; // all of it but one page goes to another file
    GetDiskFreeSpaceExW(folder.c_str(), &room, nullptr, nullptr);
    write(folder + L"\\filler", std::string(room.QuadPart - 4096, 'f'));
    tk::Form& form = faults::open(faults::windowNamed("enhancements"));
    type(form, L"txtLobbyName", L"full disk");
    click(form, L"cmdOk");
    ASSERT_EQ(rec.messages.size(), 1u);
    const std::string text = faults::narrow(rec.messages[0].text);
    EXPECT_NE(text.find(faults::narrow(file) + "\r\n"), text.npos) << text;
    EXPECT_NE(text.find("(error 112)"), text.npos) << "the disk is full";
    EXPECT_EQ(read(file), before);
    EXPECT_EQ(faults::leftovers(folder), std::vector<std::wstring>{L"\\filler"});
    ASSERT_TRUE(form.loaded());
    DeleteFileW((folder + L"\\filler").c_str()); // with room again, the same Ok saves
    click(form, L"cmdOk");
    EXPECT_NE(read(file).find("\r\nLanLobbyName=full disk\r\n"), std::string::npos);
    EXPECT_NE(read(file).find("\r\nPort=2300\r\n"), std::string::npos);
}
