// A game folder deeper than the 260 characters that the system's profile functions take, named in
// several scripts: every window reads its files there and writes them whole, and nothing is
// written outside the game folder.
#include "faults/windows.h"
#include "harness/harness.h"
#include "settings/ini.h"

using namespace harness;
using faults::Probe;

class LongFolder : public WindowTest, public ::testing::WithParamInterface<Probe> {};

TEST_P(LongFolder, EveryFileIsReadAndWrittenWhole) {
    const Probe& p = GetParam();
    const faults::SavingWindow& w = faults::windowNamed(p.window);
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    const std::vector<std::wstring> workingFolder = names(cwd);
    const size_t temp = faults::tempLeftovers();

    GameFolder game(true, 300);
    const std::wstring file = game.settings(p.file);
    for (const auto& f : faults::allFiles())
        write(game.file(f), faults::seed(f));
    const std::string probeSeed =
        faults::seed(L"\\zelqcfg\\" + std::wstring(p.file)) + "[" + p.section + "]\r\n" + p.key + "=25\r\n";
    write(file, probeSeed);

    tk::Form& form = w.open();
    EXPECT_EQ(form.text(p.control, p.index), L"25");
    type(form, w.editable, L"31", w.editIndex);
    click(form, L"cmdOk");
    ASSERT_EQ(rec.messages.size(), 0u)
        << std::string(rec.messages[0].text.begin(), rec.messages[0].text.end());
    std::string written;
    for (const std::wstring& f : w.files) {
        const std::string bytes = read(game.file(f));
        written += bytes;
        if (f == L"\\morvex2006.ini") {
            EXPECT_EQ(bytes, faults::seed(f)) << "read and written again as it was";
        } else {
            EXPECT_EQ(bytes.rfind(faults::seed(f), 0), 0u) << "the other lines are kept: " << bytes;
        }
    }
    EXPECT_NE(written.find("=31\r\n"), std::string::npos) << "the edit is stored";
    if (std::wstring(w.editable) != p.control) {
        EXPECT_EQ(settings::ReadIni(file, faults::wide(p.section), faults::wide(p.key), false), L"25");
    }
    EXPECT_EQ(faults::strayFiles(game.path()), std::vector<std::wstring>{});
    EXPECT_EQ(faults::tempLeftovers(), temp);
    EXPECT_EQ(names(cwd), workingFolder);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, LongFolder, ::testing::ValuesIn(faults::probes()),
                         [](const ::testing::TestParamInfo<Probe>& i) {
                             return std::string(i.param.window);
                         });
