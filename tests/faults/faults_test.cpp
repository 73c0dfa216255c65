// Fault injection across every window that saves: the settings folder missing, a file read-only,
// held open without sharing, or being saved by another window or copy of the program. Each case
// must show the message naming the file and the system's reason and saying that no file changed,
// keep the window open with its edits, and leave every file byte for byte as it was: a save of
// several files writes all of them or none.
#include "faults/windows.h"
#include "harness/harness.h"
#include "platform/lock.h"

#include <map>
#include <memory>

using namespace harness;

namespace {

enum class Fault { NoSettingsFolder, ReadOnly, HeldOpen, Busy };

struct Case {
    const faults::SavingWindow* window;
    Fault fault;
    size_t failing; // position in the window's files of the file that fails
};

std::vector<Case> cases() {
    std::vector<Case> out;
    for (const auto& w : faults::savingWindows()) {
        // With no settings folder the first file inside it is the one that fails.
        for (size_t i = 0; i < w.files.size(); ++i)
            if (w.files[i].rfind(L"\\zelqcfg\\", 0) == 0) {
                out.push_back({&w, Fault::NoSettingsFolder, i});
                break;
            }
        for (size_t i = 0; i < w.files.size(); ++i)
            for (Fault f : {Fault::ReadOnly, Fault::HeldOpen, Fault::Busy})
                out.push_back({&w, f, i});
    }
    return out;
}

std::string label(const Case& c) {
    const char* f[] = {"NoSettingsFolder", "ReadOnly", "HeldOpen", "Busy"};
    return std::string(c.window->name) + "_" + f[static_cast<int>(c.fault)] + "_" + std::to_string(c.failing);
}

} // namespace

class SaveFault : public WindowTest, public ::testing::WithParamInterface<Case> {};

TEST_P(SaveFault, IsReportedAndLosesNothing) {
    const Case& c = GetParam();
    const bool folder = c.fault != Fault::NoSettingsFolder;
    GameFolder game(folder);
    std::map<std::wstring, std::string> before;
    for (const auto& f : faults::allFiles())
        if (folder || f.rfind(L"\\zelqcfg\\", 0) != 0) {
            write(game.file(f), faults::seed(f));
            before[f] = faults::seed(f);
        }

    tk::Form& form = c.window->open();
    type(form, c.window->editable, L"edited 42", c.window->editIndex);
    const std::wstring failing = game.file(c.window->files[c.failing]);
    rec.messages.clear();
    {
        std::unique_ptr<Lock> held;
        // Another window or copy of the program in the middle of saving the same file.
        platform::PathLock saving(L"settings", failing);
        if (c.fault == Fault::ReadOnly)
            setReadOnly(failing, true);
        if (c.fault == Fault::HeldOpen)
            held = std::make_unique<Lock>(failing);
        if (c.fault == Fault::Busy) {
            ASSERT_TRUE(saving.acquire(0));
        }
        click(form, L"cmdOk");
    }
    setReadOnly(failing, false);

    ASSERT_EQ(rec.messages.size(), 1u);
    const Message& m = rec.messages[0];
    EXPECT_EQ(m.icon, platform::Icon::Critical);
    EXPECT_NE(m.text.find(failing), std::wstring::npos) << "the message names the file";
    EXPECT_NE(m.text.find(L"(error "), std::wstring::npos) << "the message gives the system's reason";
    EXPECT_NE(m.text.find(L"No file was changed"), std::wstring::npos) << "and where the files stand";
    EXPECT_EQ(rec.ended, 0);
    EXPECT_TRUE(form.loaded()) << "the window stays open";
    EXPECT_EQ(form.text(c.window->editable, c.window->editIndex), L"edited 42") << "with its edits";

    for (const auto& [relative, bytes] : before)
        EXPECT_EQ(read(game.file(relative)), bytes) << std::string(relative.begin(), relative.end());
    EXPECT_EQ(faults::strayFiles(game.path()), std::vector<std::wstring>{}) << "no temporary file is left";
    if (!folder) {
        EXPECT_FALSE(exists(game.file(L"\\zelqcfg"))) << "the settings folder is never created";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, SaveFault, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& i) { return label(i.param); });
