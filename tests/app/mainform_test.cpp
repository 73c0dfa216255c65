#include "app/mainform.h"
#include "harness/harness.h"
#include "settings/ini.h"

using namespace harness;

namespace {
const char* kDefaults =
    "DX/ADAPTER = 0\r\nDX/RES/WIDTH = 640\r\nDX/RES/HEIGHT = 480\r\nDX/ANTIALIASING = 0\r\n"
    "DX/FOG = 1\r\nLANGUAGE = 0\r\nDX/WINDOWED = 0\r\n";
}

class MainWindow : public WindowTest {
protected:
    GameFolder game;
    app::Form1& form = app::form1();
    std::wstring gameFile = game.file(L"\\morvex2006.ini");
    std::wstring settingsFile = game.settings(L"settings.ini");
};

TEST_F(MainWindow, NoFilesShowTheDefaultsAndOkWritesThem) {
    form.show();
    EXPECT_EQ(form.selected(L"cmbLang"), 0);
    EXPECT_EQ(form.selected(L"cmbVideo"), 0);
    EXPECT_EQ(form.text(L"txtXres"), L"640");
    EXPECT_EQ(form.text(L"txtYRes"), L"480");
    EXPECT_EQ(form.selected(L"cmbAA"), 0);
    EXPECT_EQ(form.check(L"chkFog"), 1);
    EXPECT_EQ(form.check(L"chkWindow"), 0);
    EXPECT_EQ(form.text(L"txtThrottle"), L"0");
    click(form, L"cmdOk");
    EXPECT_EQ(read(gameFile), kDefaults);
    EXPECT_EQ(read(settingsFile), "[General]\r\nSleepTime=0\r\n");
    EXPECT_EQ(rec.ended, 1);
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(MainWindow, EditsReachTheFilesExactly) {
    write(gameFile, "DX/ADAPTER = 1\r\nDX/RES/WIDTH = 1024\r\nDX/RES/HEIGHT = 768\r\nDX/ANTIALIASING = 2\r\n"
                    "DX/FOG = 2\r\nLANGUAGE = 3\r\nDX/WINDOWED = 1\r\nDX/EXTRA = 9\r\n");
    write(settingsFile, "; mine\r\n[General]\r\nUseOverlay=0\r\nSleepTime= 25 \r\nOther=keep\r\n");
    form.show();
    EXPECT_EQ(form.selected(L"cmbVideo"), 1);
    EXPECT_EQ(form.check(L"chkFog"), 2);
    EXPECT_EQ(form.text(L"txtThrottle"), L"25");
    pick(form, L"cmbLang", 4);
    pick(form, L"cmbVideo", 2);
    type(form, L"txtXres", L"");
    type(form, L"txtThrottle", L"abc");
    click(form, L"chkWindow");
    click(form, L"cmdOk");
    EXPECT_EQ(read(gameFile),
              "DX/ADAPTER = 2\r\nDX/RES/WIDTH = \r\nDX/RES/HEIGHT = 768\r\nDX/ANTIALIASING = 2\r\n"
              "DX/FOG = 2\r\nLANGUAGE = 4\r\nDX/WINDOWED = 0\r\n");
    EXPECT_EQ(read(settingsFile), "; mine\r\n[General]\r\nUseOverlay=0\r\nSleepTime=abc\r\nOther=keep\r\n");
    EXPECT_EQ(rec.ended, 1);
}

TEST_F(MainWindow, RefusedAndMissingLinesKeepTheControlsState) {
    write(gameFile,
          "DX/ADAPTER=1\r\nDX/RES/WIDTH = 1280 = junk\r\nDX/RES/HEIGHT = 720\r\nDX/ANTIALIASING = 7\r\n");
    form.show();
    EXPECT_EQ(form.selected(L"cmbVideo"), -1);
    EXPECT_EQ(form.text(L"txtXres"), L"1280");
    EXPECT_EQ(form.text(L"txtYRes"), L"720");
    EXPECT_EQ(form.selected(L"cmbAA"), -1);
    EXPECT_EQ(form.check(L"chkFog"), 0); // the file ended: untouched, not offered the last value
    EXPECT_EQ(form.selected(L"cmbLang"), -1);
    EXPECT_EQ(form.check(L"chkWindow"), 0);
}

TEST_F(MainWindow, HiddenGameFileCountsAsAbsent) {
    write(gameFile, "DX/ADAPTER = 2\r\n");
    SetFileAttributesW(gameFile.c_str(), FILE_ATTRIBUTE_HIDDEN);
    form.show();
    EXPECT_EQ(form.selected(L"cmbVideo"), 0);
    EXPECT_EQ(form.text(L"txtXres"), L"640");
}

TEST_F(MainWindow, OverlayForcesWindowedModeAndBadOverlayCountsAsZero) {
    write(settingsFile, "[General]\r\nUseOverlay=1\r\n");
    form.show();
    EXPECT_EQ(settings::gUseOverlay, 1);
    click(form, L"cmdOk");
    EXPECT_NE(read(gameFile).find("DX/WINDOWED = 1\r\n"), std::string::npos);
    form.unload();

    write(settingsFile, "[General]\r\nUseOverlay=yes\r\n");
    form.show();
    EXPECT_EQ(settings::gUseOverlay, 0);
    EXPECT_EQ(form.check(L"chkWindow"), 1); // read back from the file written above
}

TEST_F(MainWindow, DesktopFillsTheScreenSize) {
    form.show();
    click(form, L"cmdDesktop");
    EXPECT_EQ(form.text(L"txtXres"), std::to_wstring(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(form.text(L"txtYRes"), std::to_wstring(GetSystemMetrics(SM_CYSCREEN)));
}

TEST_F(MainWindow, CancelAndCloseWriteNothing) {
    write(gameFile, kDefaults);
    form.show();
    pick(form, L"cmbAA", 2);
    click(form, L"cmdDesktop");
    type(form, L"txtThrottle", L"50");
    click(form, L"cmdCancel");
    EXPECT_EQ(rec.ended, 1);
    closeBox(form);
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(read(gameFile), kDefaults);
    EXPECT_FALSE(exists(settingsFile));
    EXPECT_EQ(rec.ended, 1);
}

TEST_F(MainWindow, AGameFileThatCannotBeWrittenIsReportedAndNothingIsLost) {
    const std::string before = "DX/ADAPTER = 1\r\n";
    for (int mode : {0, 1}) {
        write(gameFile, before);
        form.show();
        type(form, L"txtThrottle", L"77");
        rec.messages.clear();
        if (mode == 0) {
            setReadOnly(gameFile, true);
            click(form, L"cmdOk");
            setReadOnly(gameFile, false);
        } else {
            Lock lock(gameFile);
            click(form, L"cmdOk");
        }
        ASSERT_EQ(rec.messages.size(), 1u) << mode;
        EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
        EXPECT_NE(rec.messages[0].text.find(gameFile), std::wstring::npos);
        EXPECT_EQ(rec.ended, 0);
        EXPECT_TRUE(form.loaded());
        EXPECT_EQ(form.text(L"txtThrottle"), L"77");
        EXPECT_EQ(read(gameFile), before);
        EXPECT_FALSE(exists(settingsFile)); // the throttle waits for the game's file
        form.unload();
    }
}

TEST_F(MainWindow, NoSettingsFolderIsReportedAndTheProgramStaysOpen) {
    GameFolder bare(false);
    form.show();
    click(form, L"cmdOk");
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_NE(rec.messages[0].text.find(bare.settings(L"settings.ini")), std::wstring::npos);
    EXPECT_EQ(rec.ended, 0);
    EXPECT_FALSE(exists(bare.file(L"\\zelqcfg")));
    // The two files change together or not at all.
    EXPECT_FALSE(exists(bare.file(L"\\morvex2006.ini")));
}
