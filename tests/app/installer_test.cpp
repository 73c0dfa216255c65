#include "app/installer.h"
#include "app/mainform.h"
#include "harness/harness.h"
#include "platform/system.h"

using namespace harness;

namespace {
const char* kLibrary = "MZ stand-in library";
const wchar_t* kNeedAdmin = L"Please right-click me and run as Administrator so I can install some files.";
} // namespace

// A fake Windows folder inside the game folder, named by "windir", with a blank in its path.
class Installer : public WindowTest {
protected:
    GameFolder game;
    std::wstring windows = game.file(L"\\Win dows");
    std::wstring system32 = windows + L"\\system32";
    std::wstring syswow64 = windows + L"\\syswow64";
    std::wstring source = game.file(L"\\dx8vb.dll");

    void SetUp() override {
        WindowTest::SetUp();
        makeFolder(windows);
        makeFolder(system32);
        rec.env.push_back({L"windir", windows});
    }

    void expectNothingHappened() {
        EXPECT_TRUE(rec.messages.empty());
        EXPECT_TRUE(rec.started.empty());
        EXPECT_EQ(rec.ended, 0);
    }
};

TEST_F(Installer, NoNormalLibraryInTheGameFolderTestsNothingWhateverTheRights) {
    for (bool admin : {true, false}) {
        rec.admin = admin;
        EXPECT_TRUE(app::InstallPrerequisites());
        // A folder of that name, or a hidden file, is no library to install.
        makeFolder(source);
        EXPECT_TRUE(app::InstallPrerequisites());
        RemoveDirectoryW(source.c_str());
        write(source, kLibrary);
        SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_HIDDEN);
        EXPECT_TRUE(app::InstallPrerequisites());
        SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(source.c_str());
        expectNothingHappened();
        EXPECT_FALSE(exists(system32 + L"\\dx8vb.dll"));
    }
}

TEST_F(Installer, AnInstalledLibraryIsLeftAloneWhateverTheRightsOrAttributes) {
    write(source, kLibrary);
    write(system32 + L"\\dx8vb.dll", "older");
    for (DWORD attributes :
         {DWORD(FILE_ATTRIBUTE_NORMAL), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)}) {
        SetFileAttributesW((system32 + L"\\dx8vb.dll").c_str(), attributes);
        for (bool admin : {true, false}) {
            rec.admin = admin;
            EXPECT_TRUE(app::InstallPrerequisites());
        }
    }
    SetFileAttributesW((system32 + L"\\dx8vb.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
    expectNothingHappened();
    EXPECT_EQ(read(system32 + L"\\dx8vb.dll"), "older");
}

TEST_F(Installer, InstallsIntoSystem32RegistersFromThereAndTheNextStartDoesNothing) {
    write(source, kLibrary);
    EXPECT_TRUE(app::InstallPrerequisites());
    EXPECT_EQ(read(system32 + L"\\dx8vb.dll"), kLibrary);
    ASSERT_EQ(rec.started.size(), 1u);
    EXPECT_EQ(rec.started[0].application, system32 + L"\\regsvr32.exe");
    EXPECT_EQ(rec.started[0].commandLine,
              L"\"" + system32 + L"\\regsvr32.exe\" \"" + system32 + L"\\dx8vb.dll\"");
    EXPECT_EQ(rec.started[0].show, SW_SHOWMINIMIZED);
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_EQ(rec.ended, 0);
    EXPECT_EQ(read(source), kLibrary);

    rec.started.clear();
    for (bool admin : {true, false}) {
        rec.admin = admin;
        EXPECT_TRUE(app::InstallPrerequisites());
    }
    expectNothingHappened();
}

TEST_F(Installer, SixtyFourBitLayoutUsesSyswow64AndNeverSystem32) {
    write(source, kLibrary);
    makeFolder(syswow64);
    write(syswow64 + L"\\dx8vb.dll", "installed");
    rec.admin = false;
    EXPECT_TRUE(app::InstallPrerequisites()); // system32 lacks it, and that does not matter
    expectNothingHappened();

    DeleteFileW((syswow64 + L"\\dx8vb.dll").c_str());
    write(system32 + L"\\dx8vb.dll", "installed"); // nor does system32 holding it
    rec.admin = true;
    EXPECT_TRUE(app::InstallPrerequisites());
    EXPECT_EQ(read(syswow64 + L"\\dx8vb.dll"), kLibrary);
    EXPECT_EQ(read(system32 + L"\\dx8vb.dll"), "installed");
    ASSERT_EQ(rec.started.size(), 1u);
    EXPECT_EQ(rec.started[0].application, syswow64 + L"\\regsvr32.exe");
    EXPECT_EQ(rec.started[0].commandLine,
              L"\"" + syswow64 + L"\\regsvr32.exe\" \"" + syswow64 + L"\\dx8vb.dll\"");
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(Installer, WithoutRightsTheMessageEndsTheProgramAndTheMainWindowNeverLoads) {
    write(source, kLibrary);
    rec.admin = false;
    app::Form1& form = app::form1();
    for (int start = 1; start <= 2; ++start) {
        form.show();
        EXPECT_FALSE(form.loaded());
        EXPECT_EQ(tk::Form::openForms(), 0);
        ASSERT_EQ(rec.messages.size(), size_t(start));
        EXPECT_EQ(rec.messages.back().text, kNeedAdmin);
        EXPECT_EQ(rec.messages.back().title, L"Need Admin Rights");
        EXPECT_EQ(rec.messages.back().icon, platform::Icon::Critical);
        EXPECT_EQ(rec.ended, start);
    }
    EXPECT_TRUE(rec.started.empty());
    EXPECT_FALSE(exists(system32 + L"\\dx8vb.dll"));
}

TEST_F(Installer, EmptyOrMissingWindirFallsBackToTheSystemsWindowsFolder) {
    wchar_t buffer[MAX_PATH];
    const std::wstring real(buffer, GetSystemWindowsDirectoryW(buffer, MAX_PATH));
    const bool wow = GetFileAttributesW((real + L"\\syswow64").c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::wstring folder = real + (wow ? L"\\syswow64\\" : L"\\system32\\");
    const std::wstring target = folder + L"dx8vb.dll";
    if (exists(target) && read(target) != kLibrary)
        GTEST_SKIP() << "this system has its own dx8vb.dll";
    write(source, kLibrary);
    rec.startError = ERROR_FILE_NOT_FOUND; // the stand-in is removed again when registration cannot start
    for (std::optional<std::wstring> value :
         {std::optional<std::wstring>(L""), std::optional<std::wstring>()}) {
        rec.env = {{L"windir", value}};
        rec.started.clear();
        EXPECT_TRUE(app::InstallPrerequisites());
        ASSERT_EQ(rec.started.size(), 1u);
        EXPECT_EQ(rec.started[0].application, folder + L"regsvr32.exe");
        EXPECT_EQ(rec.started[0].commandLine, L"\"" + folder + L"regsvr32.exe\" \"" + target + L"\"");
        EXPECT_FALSE(exists(target));
    }
}

TEST_F(Installer, ACopyThatFailsIsReportedAndStartUpGoesOn) {
    write(source, kLibrary);
    app::Form1& form = app::form1();
    struct Case {
        const char* what;
        DWORD error;
    };
    for (Case c :
         {Case{"no system folder", ERROR_PATH_NOT_FOUND}, Case{"library locked", ERROR_SHARING_VIOLATION}}) {
        rec.messages.clear();
        RemoveDirectoryW(system32.c_str());
        if (c.error == ERROR_SHARING_VIOLATION)
            makeFolder(system32);
        {
            Lock lock(c.error == ERROR_SHARING_VIOLATION ? source : game.file(L"\\unrelated"));
            form.show();
        }
        EXPECT_TRUE(form.loaded()) << c.what;
        EXPECT_TRUE(IsWindowVisible(form.hwnd())) << c.what;
        ASSERT_EQ(rec.messages.size(), 1u) << c.what;
        EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
        EXPECT_NE(rec.messages[0].text.find(system32 + L"\\dx8vb.dll"), std::wstring::npos) << c.what;
        EXPECT_NE(rec.messages[0].text.find(platform::errorText(c.error)), std::wstring::npos) << c.what;
        EXPECT_TRUE(rec.started.empty());
        EXPECT_EQ(rec.ended, 0);
        EXPECT_FALSE(exists(system32 + L"\\dx8vb.dll")) << c.what; // the next start tries again
        form.unload();
    }
}

TEST_F(Installer, ARegistrationToolThatCannotStartIsReportedAndTriedAgainNextStart) {
    write(source, kLibrary);
    rec.startError = ERROR_ACCESS_DENIED;
    app::Form1& form = app::form1();
    form.show();
    EXPECT_TRUE(form.loaded());
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
    EXPECT_NE(rec.messages[0].text.find(system32 + L"\\regsvr32.exe"), std::wstring::npos);
    EXPECT_NE(rec.messages[0].text.find(platform::errorText(ERROR_ACCESS_DENIED)), std::wstring::npos);
    EXPECT_FALSE(exists(system32 + L"\\dx8vb.dll"));
    form.unload();

    rec.startError = 0;
    form.show();
    EXPECT_EQ(rec.started.size(), 2u);
    EXPECT_EQ(read(system32 + L"\\dx8vb.dll"), kLibrary);
    EXPECT_EQ(rec.messages.size(), 1u);
}
