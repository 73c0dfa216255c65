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
    std::wstring windows = game.file(L"\\Win dows");
    std::wstring system32 = windows + L"\\system32\\";
    std::wstring syswow64 = windows + L"\\syswow64\\";
    std::wstring source = game.file(L"\\dx8vb.dll");
    app::Form1& form = app::form1();

    void SetUp() override {
        WindowTest::SetUp();
        makeFolder(windows);
        makeFolder(system32);
        rec.env.push_back({L"windir", windows});
    }
    // Both kinds of user, as two starts.
    void startAsEither() {
        for (bool admin : {true, false}) {
            rec.admin = admin;
            EXPECT_TRUE(app::InstallPrerequisites());
        }
    }
    void expectNothingHappened() {
        EXPECT_TRUE(rec.messages.empty());
        EXPECT_TRUE(rec.started.empty());
        EXPECT_EQ(rec.ended, 0);
    }
};

TEST_F(Installer, WithoutANormalLibraryInTheGameFolderNothingIsTested) {
    startAsEither();
    makeFolder(source); // a folder of that name
    startAsEither();
    RemoveDirectoryW(source.c_str());
    write(source, kLibrary);
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_HIDDEN);
    startAsEither();
    expectNothingHappened();
    EXPECT_FALSE(exists(system32 + L"dx8vb.dll"));
}

TEST_F(Installer, InstallsIntoSystem32RegistersFromThereAndLaterStartsDoNothing) {
    write(source, kLibrary);
    EXPECT_TRUE(app::InstallPrerequisites());
    EXPECT_EQ(read(system32 + L"dx8vb.dll"), kLibrary);
    ASSERT_EQ(rec.started.size(), 1u);
    EXPECT_EQ(rec.started[0].application, system32 + L"regsvr32.exe");
    EXPECT_EQ(rec.started[0].commandLine,
              L"\"" + system32 + L"regsvr32.exe\" \"" + system32 + L"dx8vb.dll\"");
    EXPECT_EQ(rec.started[0].show, SW_SHOWMINIMIZED);
    EXPECT_TRUE(rec.messages.empty());

    rec.started.clear();
    startAsEither();
    // A hidden or system copy is installed all the same.
    SetFileAttributesW((system32 + L"dx8vb.dll").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    startAsEither();
    expectNothingHappened();
}

TEST_F(Installer, SixtyFourBitLayoutUsesSyswow64AndNeverSystem32) {
    write(source, kLibrary);
    makeFolder(syswow64);
    write(syswow64 + L"dx8vb.dll", "installed");
    startAsEither(); // system32 lacks it, and that does not matter
    expectNothingHappened();

    DeleteFileW((syswow64 + L"dx8vb.dll").c_str());
    write(system32 + L"dx8vb.dll", "installed"); // nor does system32 holding it
    rec.admin = true;
    EXPECT_TRUE(app::InstallPrerequisites());
    EXPECT_EQ(read(syswow64 + L"dx8vb.dll"), kLibrary);
    EXPECT_EQ(read(system32 + L"dx8vb.dll"), "installed");
    ASSERT_EQ(rec.started.size(), 1u);
    EXPECT_EQ(rec.started[0].commandLine,
              L"\"" + syswow64 + L"regsvr32.exe\" \"" + syswow64 + L"dx8vb.dll\"");
}

TEST_F(Installer, WithoutRightsTheMessageEndsTheProgramAtEveryStartBeforeTheMainWindowLoads) {
    write(source, kLibrary);
    rec.admin = false;
    for (int start = 1; start <= 2; ++start) {
        form.show();
        EXPECT_FALSE(form.loaded());
        EXPECT_EQ(tk::Form::openForms(), 0);
        ASSERT_EQ(rec.messages.size(), size_t(start));
        EXPECT_EQ(rec.messages.back().text,
                  L"Please right-click me and run as Administrator so I can install some files.");
        EXPECT_EQ(rec.messages.back().title, L"Need Admin Rights");
        EXPECT_EQ(rec.messages.back().icon, platform::Icon::Critical);
        EXPECT_EQ(rec.ended, start);
    }
    EXPECT_TRUE(rec.started.empty());
    EXPECT_FALSE(exists(system32 + L"dx8vb.dll"));
}

TEST_F(Installer, EmptyOrMissingWindirFallsBackToTheSystemsWindowsFolder) {
    wchar_t buffer[MAX_PATH];
    const std::wstring real(buffer, GetSystemWindowsDirectoryW(buffer, MAX_PATH));
    const std::wstring folder = real + (exists(real + L"\\syswow64") ? L"\\syswow64\\" : L"\\system32\\");
    if (exists(folder + L"dx8vb.dll"))
        GTEST_SKIP() << "this system has its own dx8vb.dll";
    write(source, kLibrary);
    rec.startError = ERROR_FILE_NOT_FOUND; // so that the copy is taken away again
    for (auto value : {std::optional<std::wstring>(L""), std::optional<std::wstring>()}) {
        rec.env = {{L"windir", value}};
        rec.started.clear();
        EXPECT_TRUE(app::InstallPrerequisites());
        ASSERT_EQ(rec.started.size(), 1u);
        EXPECT_EQ(rec.started[0].commandLine,
                  L"\"" + folder + L"regsvr32.exe\" \"" + folder + L"dx8vb.dll\"");
        EXPECT_FALSE(exists(folder + L"dx8vb.dll"));
    }
}

// Copy: no system folder, the game's library locked. Start: the tool refused. Each time the
// message names the file and the reason, the main window opens, and nothing is left that would
// keep the next start from trying again.
TEST_F(Installer, FailuresAreReportedStartUpGoesOnAndTheNextStartTriesAgain) {
    write(source, kLibrary);
    const std::wstring unrelated = game.file(L"\\unrelated");
    struct Case {
        DWORD error;
        std::wstring file, locked;
    };
    for (const Case& c : {Case{ERROR_PATH_NOT_FOUND, system32 + L"dx8vb.dll", unrelated},
                          Case{ERROR_SHARING_VIOLATION, system32 + L"dx8vb.dll", source},
                          Case{ERROR_ACCESS_DENIED, system32 + L"regsvr32.exe", unrelated}}) {
        SCOPED_TRACE(c.error);
        rec.messages.clear();
        rec.started.clear();
        RemoveDirectoryW(system32.c_str());
        if (c.error != ERROR_PATH_NOT_FOUND)
            makeFolder(system32);
        rec.startError = c.error == ERROR_ACCESS_DENIED ? c.error : 0;
        {
            Lock lock(c.locked);
            form.show();
        }
        EXPECT_TRUE(form.loaded() && IsWindowVisible(form.hwnd()));
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
        EXPECT_NE(rec.messages[0].text.find(c.file), std::wstring::npos);
        EXPECT_NE(rec.messages[0].text.find(platform::errorText(c.error)), std::wstring::npos);
        EXPECT_EQ(rec.started.size(), c.error == ERROR_ACCESS_DENIED ? 1u : 0u);
        EXPECT_EQ(rec.ended, 0);
        EXPECT_FALSE(exists(system32 + L"dx8vb.dll"));
        form.unload();
    }
    rec.startError = 0;
    rec.messages.clear();
    EXPECT_TRUE(app::InstallPrerequisites());
    EXPECT_EQ(read(system32 + L"dx8vb.dll"), kLibrary);
    EXPECT_TRUE(rec.messages.empty());
}
