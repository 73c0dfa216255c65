// Saves in game folders that tests/faults/special-folder.sh makes outside Wine and names in
// ZELQ_SPECIAL_FOLDER: one whose folders take no new file while its files can be written, and one
// on a volume that is about to be full. Run otherwise, these tests are skipped.
#include "faults/windows.h"
#include "harness/harness.h"
#include "settings/ini.h"

using namespace harness;

namespace {

std::wstring specialFolder() {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"ZELQ_SPECIAL_FOLDER", buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

// Fills the volume, then frees one page of it again.
void fillAllButAPage(const std::wstring& file) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const std::string chunk(4096, 'f');
    DWORD wrote = 0;
    while (WriteFile(h, chunk.data(), static_cast<DWORD>(chunk.size()), &wrote, nullptr) && wrote > 0) {
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    size.QuadPart = (size.QuadPart / 4096 - 1) * 4096;
    SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
}

} // namespace

class RefusingFolder : public WindowTest, public ::testing::WithParamInterface<faults::SavingWindow> {};

// The game's folder read-only while its files are not: each file is written over in place.
TEST_P(RefusingFolder, FilesAreWrittenInPlace) {
    const std::wstring folder = specialFolder();
    if (folder.empty())
        GTEST_SKIP() << "run by special-folder.sh";
    const faults::SavingWindow& w = GetParam();
    settings::setAppFolder(folder);
    for (const auto& f : faults::allFiles())
        write(folder + f, faults::seed(f));

    tk::Form& form = w.open();
    type(form, w.editable, L"in place 7", w.editIndex);
    click(form, L"cmdOk");
    ASSERT_EQ(rec.messages.size(), 0u)
        << std::string(rec.messages[0].text.begin(), rec.messages[0].text.end());
    EXPECT_TRUE(rec.ended == 1 || !form.loaded()) << "Ok went on as after any save";
    std::string written;
    for (const std::wstring& f : w.files) {
        const std::string bytes = read(folder + f);
        written += bytes;
        if (f == L"\\morvex2006.ini") {
            EXPECT_EQ(bytes, faults::seed(f));
        } else {
            EXPECT_EQ(bytes.rfind(faults::seed(f), 0), 0u) << bytes;
        }
    }
    EXPECT_NE(written.find("=in place 7\r\n"), std::string::npos) << "the edit is stored";
    EXPECT_EQ(faults::strayFiles(folder), std::vector<std::wstring>{});
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, RefusingFolder, ::testing::ValuesIn(faults::savingWindows()),
                         [](const ::testing::TestParamInfo<faults::SavingWindow>& i) {
                             return std::string(i.param.name);
                         });

class FullDisk : public WindowTest {};

// The profile writer reports success for what a full disk cut off: the save must see it.
TEST_F(FullDisk, ASaveThatDoesNotFitChangesNothingAndSaysSo) {
    const std::wstring folder = specialFolder();
    if (folder.empty())
        GTEST_SKIP() << "run by special-folder.sh";
    settings::setAppFolder(folder);
    const std::wstring file = folder + L"\\zelqcfg\\settings.ini";
    // Just short of a page, with the keys the dialog adds to go before someone else's section: the
    // copy fits in the page left free, the longer text does not, and what it loses is the end.
    std::string before = "[General]\r\nSleepTime=5\r\n[Network]\r\nMasterAddress=";
    before += std::string(3950 - before.size(), 'm') + "\r\nPort=2300\r\n";
    write(file, before);
    fillAllButAPage(folder + L"\\filler");

    tk::Form& form = faults::windowNamed("enhancements").open();
    type(form, L"txtLobbyName", L"full disk");
    click(form, L"cmdOk");
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_NE(rec.messages[0].text.find(file), std::wstring::npos);
    EXPECT_NE(rec.messages[0].text.find(L"(error 112)"), std::wstring::npos) << "the disk is full";
    EXPECT_NE(rec.messages[0].text.find(L"No file was changed"), std::wstring::npos);
    EXPECT_EQ(read(file), before);
    EXPECT_EQ(faults::strayFiles(folder), std::vector<std::wstring>{L"\\filler"});
    ASSERT_TRUE(form.loaded());

    // With room again, the same Ok saves.
    DeleteFileW((folder + L"\\filler").c_str());
    click(form, L"cmdOk");
    EXPECT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(settings::ReadIni(file, L"General", L"LanLobbyName", false), L"full disk");
    EXPECT_NE(read(file).find("\r\nPort=2300\r\n"), std::string::npos);
}
