// Fault injection across every window that saves: the settings folder missing, the file
// read-only, the file held open without sharing. Each case must show the message naming the file
// and the system's reason, keep the window open with its edits, and leave the failing file and
// every file not yet written byte for byte as it was.
#include "faults/windows.h"
#include "harness/harness.h"

#include <map>

using namespace harness;

namespace {

enum class Fault { NoSettingsFolder, ReadOnly, HeldOpen };

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
        for (size_t i = 0; i < w.files.size(); ++i) {
            out.push_back({&w, Fault::ReadOnly, i});
            out.push_back({&w, Fault::HeldOpen, i});
        }
    }
    return out;
}

std::string seed(const std::wstring& relative) {
    if (relative == L"\\morvex2006.ini")
        return "DX/ADAPTER = 1\r\nDX/RES/WIDTH = 800\r\nDX/RES/HEIGHT = 600\r\nDX/ANTIALIASING = 0\r\n"
               "DX/FOG = 1\r\nLANGUAGE = 2\r\nDX/WINDOWED = 0\r\n";
    return "; kept by hand\r\n[Unrelated]\r\nKey=Value\r\n";
}

std::string label(const Case& c) {
    const char* f[] = {"NoSettingsFolder", "ReadOnly", "HeldOpen"};
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
            write(game.file(f), seed(f));
            before[f] = seed(f);
        }

    tk::Form& form = c.window->open();
    type(form, c.window->editable, L"edited 42", c.window->editIndex);
    const std::wstring failing = game.file(c.window->files[c.failing]);
    rec.messages.clear();
    {
        std::unique_ptr<Lock> lock;
        if (c.fault == Fault::ReadOnly)
            setReadOnly(failing, true);
        if (c.fault == Fault::HeldOpen)
            lock = std::make_unique<Lock>(failing);
        click(form, L"cmdOk");
    }
    setReadOnly(failing, false);

    ASSERT_EQ(rec.messages.size(), 1u);
    const Message& m = rec.messages[0];
    EXPECT_EQ(m.icon, platform::Icon::Critical);
    EXPECT_NE(m.text.find(failing), std::wstring::npos) << "the message names the file";
    EXPECT_NE(m.text.find(L"(error "), std::wstring::npos) << "the message gives the system's reason";
    EXPECT_EQ(rec.ended, 0);
    EXPECT_TRUE(form.loaded()) << "the window stays open";
    EXPECT_EQ(form.text(c.window->editable, c.window->editIndex), L"edited 42") << "with its edits";

    // The failing file and every file after it are as they were; files the window does not own too.
    for (const auto& [relative, bytes] : before) {
        bool writtenBefore = false;
        for (size_t i = 0; i < c.failing; ++i)
            writtenBefore |= c.window->files[i] == relative;
        if (!writtenBefore) {
            EXPECT_EQ(read(game.file(relative)), bytes) << std::string(relative.begin(), relative.end());
        }
    }
    if (!folder) {
        EXPECT_FALSE(exists(game.file(L"\\zelqcfg"))) << "the settings folder is never created";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, SaveFault, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& i) { return label(i.param); });
