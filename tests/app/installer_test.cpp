#include "app/installer.h"
#include "app/mainform.h"
#include "harness/harness.h"

using namespace harness;

// A fake Windows folder inside the game folder, named by "windir", with a blank in its path.
class Installer : public WindowTest {
protected:
    static constexpr const char* kLibrary = "MZ stand-in library";
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
        EXPECT_TRUE(rec.messages.empty());
        EXPECT_TRUE(rec.started.empty());
    }
    // A start copies the library into the folder and starts that folder's registration tool on it, minimised.
    void startInstallsInto(const std::wstring& folder) {
        EXPECT_TRUE(app::InstallPrerequisites());
        EXPECT_EQ(read(folder + L"dx8vb.dll"), kLibrary);
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
    startInstallsInto(system32);
    // A hidden or system copy counts as installed.
    SetFileAttributesW((system32 + L"dx8vb.dll").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    startsDoNothing();
    // On 64-bit Windows the library belongs in syswow64, whatever system32 holds.
    makeFolder(syswow64);
    startInstallsInto(syswow64);
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
    EXPECT_EQ(rec.messages[0].title, L"Need Admin Rights");
    EXPECT_EQ(rec.messages[0].text,
              L"Please right-click me and run as Administrator so I can install some files.");
    EXPECT_TRUE(rec.messages[0].icon == platform::Icon::Critical);
    EXPECT_EQ(rec.ended, 1);
    EXPECT_FALSE(platform::exists(system32 + L"dx8vb.dll"));
}

// A copy into no system folder, and a registration tool that will not start: each time the message
// names the file and the reason, the main window opens, and nothing is left that would keep the next
// start from trying again.
TEST_F(Installer, FailuresAreReportedStartUpGoesOnAndTheNextStartTriesAgain) {
    write(source, kLibrary);
    const std::pair<DWORD, std::wstring> cases[] = {{ERROR_PATH_NOT_FOUND, system32 + L"dx8vb.dll"},
                                                    {ERROR_ACCESS_DENIED, system32 + L"regsvr32.exe"}};
    for (const auto& [error, named] : cases) {
        SCOPED_TRACE(error);
        RemoveDirectoryW(system32.c_str());
        if (error != ERROR_PATH_NOT_FOUND)
            makeFolder(system32);
        rec.startError = error == ERROR_ACCESS_DENIED ? error : 0;
        form.show();
        EXPECT_TRUE(IsWindowVisible(form.hwnd()));
        EXPECT_EQ(rec.ended, 0);
        ASSERT_EQ(rec.messages.size(), 1u);
        const Message said = std::exchange(rec.messages, {})[0];
        EXPECT_NE(said.text.find(named), std::wstring::npos) << said.text;
        EXPECT_NE(said.text.find(platform::errorText(error)), std::wstring::npos) << said.text;
        EXPECT_TRUE(said.icon == platform::Icon::Critical);
        EXPECT_FALSE(platform::exists(system32 + L"dx8vb.dll"));
        form.unload();
        rec.started.clear();
    }
    rec.startError = 0;
    startInstallsInto(system32);
}
