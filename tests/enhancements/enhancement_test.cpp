// What only the enhancements dialog does; what every saving window does is in tests/faults.
#include "app/mainform.h"
#include "enhancements/enhancement.h"
#include "harness/harness.h"
#include "settings/ini.h"

using namespace harness;

class Enhancements : public WindowTest {
protected:
    GameFolder game;
    enhancements::FrmEnhancement& dlg = enhancements::frmEnhancement();
    app::Form1& main = app::form1();
    std::wstring settingsFile = game.settings(L"settings.ini");

    void open() {
        main.show();
        click(main, L"Command1");
    }
    // Ok, then whether the file holds each line.
    void okHolds(std::initializer_list<const char*> lines) {
        click(dlg, L"cmdOk");
        const std::string file = read(settingsFile);
        for (const char* line : lines)
            EXPECT_NE(file.find(std::string("\r\n") + line + "\r\n"), std::string::npos) << line << "\n"
                                                                                         << file;
    }
};

TEST_F(Enhancements, TypeChangesRefillTheirListAndTheSameTypeKeepsTheChoice) {
    write(settingsFile, "[General]\r\nLanCourseType=1\r\nLanCourse=12\r\nLanCarClass=3\r\n");
    open();
    pick(dlg, L"cmbCourseType", 1);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 12);
    pick(dlg, L"cmbCourse", 7);
    pick(dlg, L"cmbCourseType", 1);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 7);
    pick(dlg, L"cmbCourseType", 2);
    EXPECT_EQ(dlg.count(L"cmbCourse"), 4);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 0);

    pick(dlg, L"cmbCarType", 0); // the stored type: the stored class stays
    EXPECT_EQ(dlg.selected(L"cmbCarClass"), 3);
    pick(dlg, L"cmbCarType", 1);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 2);
    pick(dlg, L"cmbCarClass", 1);
    pick(dlg, L"cmbCarType", 0);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 5);
    okHolds({"LanCourseType=2", "LanCourse=0", "LanCarType=0", "LanCarClass=0"});
}

TEST_F(Enhancements, NoTypeLeavesItsListAloneAndSavesNone) {
    write(settingsFile, "[General]\r\nLanCourseType=-1\r\nLanCourse=1\r\nLanCarType=-1\r\nLanCarClass=0\r\n");
    open();
    EXPECT_EQ(dlg.count(L"cmbCourse"), 0);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 0);
    okHolds({"LanCourseType=-1", "LanCourse=-1", "LanCarType=-1", "LanCarClass=-1"});

    open(); // choosing the first type still fills its list; choosing none again keeps it
    pick(dlg, L"cmbCourseType", 0);
    pick(dlg, L"cmbCourse", 1);
    pick(dlg, L"cmbCourseType", -1);
    EXPECT_EQ(dlg.count(L"cmbCourse"), 2);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 1);
    pick(dlg, L"cmbCarType", 0);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 5);
}

TEST_F(Enhancements, TheOverlayReachesTheGamesFileAtTheMainWindowsOk) {
    open();
    click(dlg, L"chkOverlay");
    EXPECT_EQ(settings::gUseOverlay, 0);
    okHolds({"UseOverlay=1"});
    EXPECT_EQ(settings::gUseOverlay, 1);
    EXPECT_EQ(main.check(L"chkWindow"), 0);
    click(main, L"cmdOk");
    EXPECT_TRUE(read(game.file(L"\\morvex2006.ini")).ends_with("\r\nLANGUAGE = 0\r\nDX/WINDOWED = 1\r\n"));
}
