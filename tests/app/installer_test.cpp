#include "app/installer.h"
#include "app/mainform.h"
#include "harness/harness.h"

using namespace harness;

namespace {
const char* kLibrary = "MZ stand-in library";
}

// A fake Windows folder inside the game folder, named by "windir", with a blank in its path.
class Installer : public WindowTest {
protected:
    GameFolder game;
    std::wstring windows = game.file(L"\\Win dows"), system32 = windows + L"\\system32\\",
                 syswow64 = windows + L"\\syswow64\\", source = game.file(L"\\dx8vb.dll");
    app::Form1& form = app::form1();

    void SetUp() override {
        WindowTest::SetUp();
        makeFolder(windows);
        makeFolder(system32);
        rec.env.push_back({L"windir", windows});
    }
    // Starts as either kind of user; nothing may happen.
    void startsDoNothing() {
        for (bool admin : {false, true}) {
            rec.admin = admin;
            EXPECT_TRUE(app::InstallPrerequisites());
        }
        EXPECT_TRUE(rec.messages.empty() && rec.started.empty());
        EXPECT_EQ(rec.ended, 0);
    }
    // The registration tool of that folder started, minimised, on the library there.
    void registeredIn(const std::wstring& folder) {
        ASSERT_EQ(rec.started.size(), 1u);
        EXPECT_EQ(rec.started[0].application + L"|" + rec.started[0].commandLine,
                  folder + L"regsvr32.exe|\"" + folder + L"regsvr32.exe\" \"" + folder + L"dx8vb.dll\"");
        EXPECT_EQ(rec.started[0].show, SW_SHOWMINIMIZED);
        rec.started.clear();
    }
};

TEST_F(Installer, OnlyANormalLibraryInTheGameFolderIsInstalledAndOnlyOnce) {
    startsDoNothing(); // none
    write(source, kLibrary);
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_HIDDEN);
    startsDoNothing();
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_TRUE(app::InstallPrerequisites());
    EXPECT_EQ(read(system32 + L"dx8vb.dll"), kLibrary);
    registeredIn(system32);
    // A hidden or system copy counts as installed.
    SetFileAttributesW((system32 + L"dx8vb.dll").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    startsDoNothing();
    // On 64-bit Windows the library belongs in syswow64, whatever system32 holds.
    makeFolder(syswow64);
    EXPECT_TRUE(app::InstallPrerequisites());
    EXPECT_EQ(read(syswow64 + L"dx8vb.dll"), kLibrary);
    registeredIn(syswow64);
}

// A "windir" that a current folder or drive would complete is never used: the system's own folder is.
TEST_F(Installer, AWindirThatIsNoFullPathGivesWayToTheSystemsFolder) {
    wchar_t buffer[MAX_PATH];
    const std::wstring system(buffer, GetSystemWindowsDirectoryW(buffer, MAX_PATH));
    const std::pair<std::optional<std::wstring>, std::wstring> cases[] = {
        {windows, windows},
        {windows + L"\\", windows},
        {L"\\\\server\\share\\Win dows", L"\\\\server\\share\\Win dows"},
        {std::nullopt, system},
        {L"Win dows", system},
        {L"C:Win dows", system},
        {L"\\Win dows", system},
        {L"\\\\server", system},
        {L"\\\\?\\", system},
    };
    for (const auto& [windir, folder] : cases) {
        SCOPED_TRACE(testing::PrintToString(windir.value_or(L"(unset)")));
        rec.env = {{L"windir", windir}};
        EXPECT_EQ(app::windowsFolder(), folder);
    }
}

TEST_F(Installer, WithoutRightsTheMessageEndsTheProgramBeforeTheMainWindowLoads) {
    write(source, kLibrary);
    rec.admin = false;
    form.show();
    EXPECT_EQ(tk::Form::openForms(), 0);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(
        rec.messages[0].text + L"|" + rec.messages[0].title,
        L"Please right-click me and run as Administrator so I can install some files.|Need Admin Rights");
    EXPECT_TRUE(rec.messages[0].icon == platform::Icon::Critical && rec.ended == 1 && rec.started.empty());
    EXPECT_FALSE(platform::exists(system32 + L"dx8vb.dll"));
}

// Copy: no system folder, the game's library locked. Start: the tool refused. Each time the
// message names the file and the reason, the main window opens, and nothing is left that would
// keep the next start from trying again.
TEST_F(Installer, FailuresAreReportedStartUpGoesOnAndTheNextStartTriesAgain) {
    write(source, kLibrary);
    for (const DWORD error : {ERROR_PATH_NOT_FOUND, ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}) {
        SCOPED_TRACE(error);
        rec.messages.clear();
        rec.started.clear();
        RemoveDirectoryW(system32.c_str());
        if (error != ERROR_PATH_NOT_FOUND)
            makeFolder(system32);
        rec.startError = error == ERROR_ACCESS_DENIED ? error : 0;
        {
            Lock lock(error == ERROR_SHARING_VIOLATION ? source : game.file(L"\\unrelated"));
            form.show();
        }
        EXPECT_TRUE(form.loaded() && IsWindowVisible(form.hwnd()));
        ASSERT_EQ(rec.messages.size(), 1u);
        const std::wstring& said = rec.messages[0].text;
        EXPECT_TRUE(said.find(system32 + (error == ERROR_ACCESS_DENIED ? L"regsvr32.exe" : L"dx8vb.dll")) !=
                        std::wstring::npos &&
                    said.find(platform::errorText(error)) != std::wstring::npos)
            << said;
        EXPECT_TRUE(rec.messages[0].icon == platform::Icon::Critical && rec.ended == 0);
        EXPECT_FALSE(platform::exists(system32 + L"dx8vb.dll"));
        form.unload();
    }
    rec.startError = 0;
    EXPECT_TRUE(app::InstallPrerequisites());
    EXPECT_EQ(read(system32 + L"dx8vb.dll"), kLibrary);
}
