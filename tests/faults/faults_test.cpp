// The promises every window that saves keeps, and the save on a full disk.
#include "faults/windows.h"
#include "platform/lock.h"
#include "settings/ini.h"

#include <array>

using namespace harness;

// A game folder that tests/faults/special-folder.sh made outside Wine, or empty.
const std::wstring kSpecialFolder = _wgetenv(L"ZELQ_SPECIAL_FOLDER") ? _wgetenv(L"ZELQ_SPECIAL_FOLDER") : L"";

// Each window that saves, in a plain folder, one deeper than the profile functions take, and one
// taking no new file.
class Saves : public WindowTest, public ::testing::WithParamInterface<size_t> {
protected:
    const faults::SavingWindow* w = &faults::savingWindows()[GetParam() / 3];
    const std::vector<std::string> first = w->with([](const auto&first, auto&) { return first; }),
                                   edited = w->with([](auto&, const auto&edited) { return edited; });
    const size_t folder = GetParam() % 3; // plain, deep, refusing
    std::optional<GameFolder> game;
    std::wstring root;
    std::vector<std::wstring> left; // what was there before the window's saves

    void expectFiles(const std::vector<std::string>& expected, int step) {
        for (size_t i = 0; i < w->files.size(); ++i)
            EXPECT_EQ(read(root + w->files[i]), expected[i]) << step << faults::narrow(w->files[i]);
    }

    enum Fault { ReadOnly, HeldOpen, HeldForReading, Busy, NoFolder, None };
    // An Ok failing on the file: reported with file and reason, it keeps the edits and changes no file.
    void failedOk(tk::Form& form, Fault fault, size_t failing) {
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
        ASSERT_EQ(rec.messages.size(), 1u);
        const std::string text = faults::narrow(rec.messages[0].text), reason[] = {"5", "32", "5", "32", "3"};
        EXPECT_NE(text.find(faults::narrow(file) + "\r\n"), text.npos) << "it names the file";
        EXPECT_NE(text.find("(error " + reason[fault] + ")\r\n\r\nNo file was changed"), text.npos) << text;
        EXPECT_TRUE(rec.messages[0].icon == platform::Icon::Critical && !rec.ended &&
                    !settings::gUseOverlay && form.loaded())
            << "the window stays open";
        // A link kept to undo a replaced file stays while another program holds the file open.
        EXPECT_TRUE(fault == HeldForReading || faults::leftovers(root) == left);
        expectFiles(first, fault);
        rec.messages.clear();
    }

    enum Action { Ok, EditOk, EditCancel, EditClose };
    // Opens the window, plays the action (after a failed Ok, given a fault), and checks what it left.
    void step(Action action, const std::vector<std::string>& expected, Fault fault = None,
              size_t failing = 0) {
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
        if (fault != None)
            failedOk(form, fault, failing);
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
        EXPECT_EQ(faults::leftovers(root), left);
        tk::Form::unloadAll();
        rec.ended = 0;
    }
};

// A first Ok writes the defaults; Cancel and the close box nothing; each edit reaches its key; stored
// values are written back byte for byte; refused ones load as missing. Then each fault fails an Ok
// (a file held for reading fails after the files before it were replaced); then Ok saves the edits.
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
    std::vector<std::pair<Fault, size_t>> faults = {
        {HeldForReading, last}, {Busy, last}, {NoFolder, firstSettings}};
    for (size_t i = 0; i < w->files.size(); ++i)
        faults.insert(faults.end(), {{ReadOnly, i}, {HeldOpen, i}});
    for (const auto& [fault, failing] : folder == 0 ? faults : decltype(faults){}) {
        for (size_t i = 0; i < w->files.size(); ++i)
            write(root + w->files[i], first[i]);
        step(EditOk, edited, fault, failing);
    }
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
}
