// The promises every window that saves keeps, one suite each across the windows: exact bytes of a
// first save, of every edit and of stored values saved again (also in a folder deeper than 260
// characters and in one that takes no new file); Cancel and the close box write and keep nothing;
// refused values load as missing; a failed save is reported, keeps the window with its edits, and
// changes no byte of any file.
#include "faults/windows.h"
#include "platform/lock.h"
#include "settings/ini.h"

#include <memory>
#include <optional>

using namespace harness;
using faults::SavingWindow;

namespace {

std::string said(const Recorder& rec) {
    return rec.messages.empty() ? "" : faults::narrow(rec.messages[0].text);
}

// A game folder that tests/faults/special-folder.sh made outside Wine, or empty.
std::wstring specialFolder() {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"ZELQ_SPECIAL_FOLDER", buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

// A settings file with each key's line rewritten by `line(key, value)`.
template <class F> std::string eachKey(const std::string& file, F line) {
    std::string out;
    for (size_t at = 0, end; at < file.size(); at = end + 2) {
        end = file.find("\r\n", at);
        const std::string l = file.substr(at, end - at);
        const size_t eq = l.find('=');
        out += (eq == l.npos ? l : line(l.substr(0, eq), l.substr(eq + 1))) + "\r\n";
    }
    return out;
}

std::vector<const SavingWindow*> windows() {
    std::vector<const SavingWindow*> all;
    for (const auto& w : faults::savingWindows())
        all.push_back(&w);
    return all;
}

} // namespace

class EachWindow : public WindowTest, public ::testing::WithParamInterface<const SavingWindow*> {};

TEST_P(EachWindow, CancelAndTheCloseBoxWriteNothingAndKeepNothing) {
    const SavingWindow& w = *GetParam();
    GameFolder game;
    for (size_t i = 0; i < w.files.size(); ++i)
        write(game.file(w.files[i]), w.first[i]);
    for (bool cancel : {true, false}) {
        tk::Form& form = faults::open(w);
        faults::edit(form);
        cancel ? click(form, L"cmdCancel") : closeBox(form);
        EXPECT_EQ(form.loaded(), rec.ended == 1) << "closed (the main window's Cancel ends the program)";
        if (w.opener) {
            EXPECT_EQ(GetActiveWindow(), tk::Form::loadedNamed(faults::windowNamed(w.opener).form)->hwnd());
        }
        for (size_t i = 0; i < w.files.size(); ++i)
            EXPECT_EQ(read(game.file(w.files[i])), w.first[i]) << cancel;
        EXPECT_EQ(settings::gUseOverlay, 0);
        if (form.loaded())
            form.unload();
        rec.ended = 0;
    }
    click(faults::open(w), L"cmdOk"); // opened again, it shows the files, not what was dropped
    for (size_t i = 0; i < w.files.size(); ++i)
        EXPECT_EQ(read(game.file(w.files[i])), w.first[i]);
}

// A value that does not convert, or that its control refuses, loads like a missing key: Ok then
// writes the first save's bytes, but for the text fields (those that hold a name in the edited
// files), which show any value.
TEST_P(EachWindow, RefusedValuesLoadAsMissingAndLoadingGoesOn) {
    const SavingWindow& w = *GetParam();
    GameFolder game;
    for (const std::string refused : {"", "-2", "x"}) {
        for (size_t i = 0; i < w.files.size(); ++i)
            if (w.first[i][0] == '[') // the game's file stays missing
                write(game.file(w.files[i]),
                      eachKey(w.first[i], [&](const auto& key, const auto&) { return key + "=" + refused; }));
        click(faults::open(w), L"cmdOk");
        EXPECT_EQ(said(rec), "");
        for (size_t i = 0; i < w.files.size(); ++i) {
            const std::string& edited = w.edited[i];
            EXPECT_EQ(read(game.file(w.files[i])),
                      eachKey(w.first[i],
                              [&](const auto& key, const auto& value) {
                                  const bool text =
                                      std::isalpha(edited[edited.find("\n" + key + "=") + key.size() + 2]);
                                  return key + "=" + (text && !refused.empty() ? refused : value);
                              }))
                << refused;
        }
        tk::Form::unloadAll();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, EachWindow, ::testing::ValuesIn(windows()),
                         [](const auto& i) { return std::string(i.param->name); });

class Saves : public WindowTest,
              public ::testing::WithParamInterface<std::tuple<const SavingWindow*, int>> {};

// A first Ok writes the defaults, each edit reaches its own key, and stored values are written
// back byte for byte; nothing is written anywhere else. A folder deeper than the profile functions
// take is read and written whole; one that takes no new file has its files written over.
TEST_P(Saves, FirstOkEditsAndStoredValuesGiveExactBytes) {
    const auto [w, folder] = GetParam();
    std::optional<GameFolder> game;
    std::wstring root = specialFolder();
    if (folder == 2) { // 0 plain, 1 deep, 2 refusing
        if (root.empty())
            GTEST_SKIP() << "run by special-folder.sh";
        settings::setAppFolder(root);
        for (size_t i = 0; i < w->files.size(); ++i)
            write(root + w->files[i], w->first[i]); // its folders take no new file
    } else {
        root = game.emplace(true, folder ? 300 : 0).path();
    }
    const size_t temp = faults::tempLeftovers();
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    const std::vector<std::wstring> working = names(cwd);
    for (int step = 0; step < 3; ++step) {
        tk::Form& form = faults::open(*w);
        if (step == 1)
            faults::edit(form);
        click(form, L"cmdOk");
        EXPECT_EQ(said(rec), "");
        EXPECT_EQ(form.loaded(), rec.ended == 1)
            << "Ok closed the window (the main window's ends the program)";
        for (size_t i = 0; i < w->files.size(); ++i)
            EXPECT_EQ(read(root + w->files[i]), step ? w->edited[i] : w->first[i]) << step;
        tk::Form::unloadAll();
        rec.ended = 0;
    }
    EXPECT_EQ(faults::strayFiles(root), std::vector<std::wstring>{});
    EXPECT_EQ(faults::tempLeftovers(), temp);
    EXPECT_EQ(names(cwd), working);
}

std::string saveCase(const ::testing::TestParamInfo<Saves::ParamType>& i) {
    const char* folder[] = {"plain", "deep", "refusing"};
    return std::string(std::get<0>(i.param)->name) + "_" + folder[std::get<1>(i.param)];
}
INSTANTIATE_TEST_SUITE_P(EveryWindow, Saves,
                         ::testing::Combine(::testing::ValuesIn(windows()), ::testing::Range(0, 3)),
                         saveCase);

enum class Fault { NoSettingsFolder, ReadOnly, HeldOpen, Busy };
struct FaultCase {
    const SavingWindow* window;
    Fault fault;
    size_t failing; // position in the window's files of the file that fails
};

std::vector<FaultCase> faultCases() {
    std::vector<FaultCase> out;
    for (const auto& w : faults::savingWindows()) {
        // With no settings folder the first file inside it fails.
        out.push_back({&w, Fault::NoSettingsFolder, w.files[0] == L"\\morvex2006.ini"});
        out.push_back({&w, Fault::Busy, w.files.size() - 1});
        for (size_t i = 0; i < w.files.size(); ++i)
            for (Fault f : {Fault::ReadOnly, Fault::HeldOpen})
                out.push_back({&w, f, i});
    }
    return out;
}

class SaveFault : public WindowTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SaveFault, IsReportedAndLosesNothing) {
    const auto [w, fault, failing] = GetParam();
    const bool folder = fault != Fault::NoSettingsFolder;
    GameFolder game(folder);
    std::map<std::wstring, std::string> before;
    for (const auto& f : faults::allFiles())
        if (folder || f.rfind(L"\\zelqcfg\\", 0) != 0) {
            const auto own = std::find(w->files.begin(), w->files.end(), f);
            before[f] = own == w->files.end() ? "; kept by hand\r\n[Unrelated]\r\nKey=Value\r\n"
                                              : w->first[static_cast<size_t>(own - w->files.begin())];
            write(game.file(f), before[f]);
        }
    tk::Form& form = faults::open(*w);
    faults::edit(form);
    const std::wstring file = game.file(w->files[failing]);
    {
        std::unique_ptr<Lock> held;
        platform::PathLock saving(L"settings", file); // another window or copy of the program saving it
        if (fault == Fault::ReadOnly)
            setReadOnly(file, true);
        if (fault == Fault::HeldOpen)
            held = std::make_unique<Lock>(file);
        if (fault == Fault::Busy) {
            ASSERT_TRUE(saving.acquire(0));
        }
        click(form, L"cmdOk");
    }
    setReadOnly(file, false);

    ASSERT_EQ(rec.messages.size(), 1u);
    const Message& m = rec.messages[0];
    EXPECT_EQ(m.icon, platform::Icon::Critical);
    EXPECT_NE(m.text.find(file), std::wstring::npos) << "the message names the file";
    EXPECT_NE(m.text.find(L"(error "), std::wstring::npos) << "and the system's reason";
    EXPECT_NE(m.text.find(L"No file was changed"), std::wstring::npos) << "and where the files stand";
    EXPECT_EQ(rec.ended, 0);
    ASSERT_TRUE(form.loaded()) << "the window stays open";
    EXPECT_EQ(settings::gUseOverlay, 0);
    for (const auto& [relative, bytes] : before)
        EXPECT_EQ(read(game.file(relative)), bytes) << faults::narrow(relative);
    EXPECT_EQ(faults::strayFiles(game.path()), std::vector<std::wstring>{}) << "no temporary file is left";
    EXPECT_EQ(exists(game.file(L"\\zelqcfg")), folder) << "the settings folder is never created";

    makeFolder(
        game.file(L"\\zelqcfg")); // the edits are still in the window: with the fault gone, Ok saves them
    click(form, L"cmdOk");
    for (size_t i = 0; i < w->files.size(); ++i)
        EXPECT_EQ(read(game.file(w->files[i])), w->edited[i]);
}

std::string faultCase(const ::testing::TestParamInfo<FaultCase>& i) {
    const char* fault[] = {"NoSettingsFolder", "ReadOnly", "HeldOpen", "Busy"};
    return std::string(i.param.window->name) + "_" + fault[static_cast<int>(i.param.fault)] + "_" +
           std::to_string(i.param.failing);
}
INSTANTIATE_TEST_SUITE_P(EveryWindow, SaveFault, ::testing::ValuesIn(faultCases()), faultCase);

class FullDisk : public WindowTest {};

// The profile writer reports success for what a full disk cut off: the save must see it. Run by
// special-folder.sh on a small volume.
TEST_F(FullDisk, ASaveThatDoesNotFitChangesNothingAndSaysSo) {
    const std::wstring folder = specialFolder(), file = folder + L"\\zelqcfg\\settings.ini";
    if (folder.empty())
        GTEST_SKIP() << "run by special-folder.sh";
    settings::setAppFolder(folder);
    // Just short of a page, with the keys the dialog adds to go before someone else's section: the
    // copy fits in the page left free, the longer text does not, and what it loses is the end.
    std::string before = "[General]\r\nSleepTime=5\r\n[Network]\r\nMasterAddress=";
    before += std::string(3950 - before.size(), 'm') + "\r\nPort=2300\r\n";
    write(file, before);
    // Fills the volume, then frees one page of it again.
    HANDLE h =
        CreateFileW((folder + L"\\filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    while (WriteFile(h, std::string(4096, 'f').data(), 4096, &wrote, nullptr) && wrote > 0) {
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    size.QuadPart = (size.QuadPart / 4096 - 1) * 4096;
    SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);

    tk::Form& form = faults::open(faults::windowNamed("enhancements"));
    type(form, L"txtLobbyName", L"full disk");
    click(form, L"cmdOk");
    EXPECT_NE(said(rec).find(faults::narrow(file)), std::string::npos);
    EXPECT_NE(said(rec).find("(error 112)"), std::string::npos) << "the disk is full";
    EXPECT_EQ(read(file), before);
    EXPECT_EQ(faults::strayFiles(folder), std::vector<std::wstring>{L"\\filler"});
    ASSERT_TRUE(form.loaded());
    DeleteFileW((folder + L"\\filler").c_str()); // with room again, the same Ok saves
    click(form, L"cmdOk");
    EXPECT_EQ(settings::ReadIni(file, L"General", L"LanLobbyName", false), L"full disk");
    EXPECT_NE(read(file).find("\r\nPort=2300\r\n"), std::string::npos);
}
