#include "app/mainform.h"
#include "enhancements/enhancement.h"
#include "harness/harness.h"
#include "settings/ini.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace harness;

namespace {

// The twenty-one keys in the order they are written, with the values of a first save.
const char* kFirstWrite =
    "[General]\r\nBroadcastOutputs=0\r\nUseOverlay=0\r\nForceMenusto43=0\r\nArcadeMode=0\r\n"
    "EnableBonusCars=0\r\nEnableBonusSongs=0\r\nUseHUD=0\r\nSlaveorMaster=0\r\nLanCar=0\r\n"
    "LanCarMode=0\r\nLanTrans=0\r\nLanCarColor=0\r\nLanSong=0\r\nLanLobbyName=\r\n"
    "LanMaxPlayers=0\r\nLanCourseType=0\r\nLanCarType=0\r\nLanCourse=0\r\nLanCarClass=0\r\n"
    "LanNoCatchUp=0\r\nLanNoCollisions=0\r\n";

// Every key set away from its default, in the order they are written, so that Ok rewrites it unchanged.
const char* kStored =
    "[General]\r\nSleepTime=40\r\nBroadcastOutputs=1\r\nUseOverlay=1\r\nForceMenusto43=1\r\n"
    "ArcadeMode=2\r\nEnableBonusCars=1\r\nEnableBonusSongs=0\r\nUseHUD=1\r\nSlaveorMaster=1\r\n"
    "LanCar=14\r\nLanCarMode=1\r\nLanTrans=1\r\nLanCarColor=7\r\nLanSong=0\r\n"
    "LanLobbyName=Friday night\r\nLanMaxPlayers=4\r\nLanCourseType=1\r\nLanCarType=1\r\n"
    "LanCourse=12\r\nLanCarClass=1\r\nLanNoCatchUp=1\r\nLanNoCollisions=1\r\nOVERID=3\r\n";

// Whether the file holds that line.
bool holds(const std::string& file, const std::string& line) {
    return file.find("\r\n" + line + "\r\n") != std::string::npos;
}

std::vector<std::wstring> entries(tk::Form& form, std::wstring_view list) {
    std::vector<std::wstring> out;
    for (int i = 0; i < form.count(list); ++i)
        out.push_back(form.itemText(list, i));
    return out;
}

} // namespace

class Enhancements : public WindowTest {
protected:
    GameFolder game;
    enhancements::FrmEnhancement& dlg = enhancements::frmEnhancement();
    app::Form1& main = app::form1();
    std::wstring settingsFile = game.settings(L"settings.ini");

    void open() {
        if (!main.loaded())
            main.show();
        click(main, L"Command1");
        ASSERT_TRUE(dlg.loaded());
    }
};

TEST_F(Enhancements, ListsHoldTheirEntriesInTheirOrder) {
    open();
    EXPECT_EQ(dlg.count(L"cmbCar"), 15);
    EXPECT_EQ(entries(dlg, L"cmbMaxP"), (std::vector<std::wstring>{L" 2", L" 3", L" 4", L" 5", L" 6"}));

    // The drop-down lists are not sorted: a sorted list would change what a stored position means.
    EXPECT_EQ(entries(dlg, L"cmbCourseType"),
              (std::vector<std::wstring>{L"Morvex", L"Goal", L"15 Course Cont."}));
}

TEST_F(Enhancements, TabGoesThroughTheControlsInTheirOrder) {
    open();
    const std::vector<std::wstring_view> order = {
        L"chkOverlay",      L"chkArcade", L"chk43",      L"chkOutputs",   L"chkBonusCars",
        L"chkBonusSongs",   L"cmbMS",     L"chkLan",     L"cmbCar",       L"cmbCarMode",
        L"cmbColor",        L"cmbTrans",  L"cmbSong",    L"txtLobbyName", L"cmbMaxP",
        L"cmbCourseType",   L"cmbCourse", L"cmbCarType", L"cmbCarClass",  L"chkNoCatchup",
        L"chkNoCollisions", L"chkUseHud", L"cmdCancel",  L"cmdOk",
    };
    HWND h = dlg.item(order.front());
    for (size_t i = 1; i <= order.size(); ++i) {
        h = GetNextDlgTabItem(dlg.hwnd(), h, FALSE);
        EXPECT_EQ(h, dlg.item(order[i % order.size()])) << i;
    }
}

TEST_F(Enhancements, FirstOpeningShowsTheDefaultsAndOkWritesAllKeysInOrder) {
    open();
    EXPECT_EQ(entries(dlg, L"cmbCourse"), (std::vector<std::wstring>{L"Morvex 2", L"Morvex 2 SP"}));
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 5);

    // Ok and Cancel hand the focus back to the window that opened the dialog. (The focus itself is
    // not asserted: tests running side by side under one window server take the foreground from each other.)
    EXPECT_EQ(dlg.opener(), &main);
    click(dlg, L"cmdOk");
    EXPECT_EQ(read(settingsFile), kFirstWrite);
    EXPECT_FALSE(dlg.loaded());
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(Enhancements, StoredValuesLoadAndOkRewritesThemUnchanged) {
    write(settingsFile, kStored);
    open();
    EXPECT_EQ(dlg.check(L"chkArcade"), 2);
    EXPECT_EQ(dlg.itemText(L"cmbCar", dlg.selected(L"cmbCar")), L"Superamerica");
    EXPECT_EQ(dlg.text(L"txtLobbyName"), L"Friday night");
    EXPECT_EQ(dlg.itemText(L"cmbMaxP", dlg.selected(L"cmbMaxP")), L" 6");
    EXPECT_EQ(dlg.itemText(L"cmbCourseType", dlg.selected(L"cmbCourseType")), L"Goal");
    EXPECT_EQ(dlg.count(L"cmbCourse"), 20);
    EXPECT_EQ(dlg.itemText(L"cmbCourse", dlg.selected(L"cmbCourse")), L"Morvex 2 Goal C (Reverse)");
    EXPECT_EQ(dlg.itemText(L"cmbCarType", dlg.selected(L"cmbCarType")), L"Morvex 2 SP");
    EXPECT_EQ(dlg.itemText(L"cmbCarClass", dlg.selected(L"cmbCarClass")), L"Tuned");
    EXPECT_EQ(dlg.check(L"chkLan"), 0); // never stored

    click(dlg, L"chkLan"); // acts on nothing and is not written
    EXPECT_EQ(dlg.check(L"chkArcade"), 2);
    click(dlg, L"cmdOk");
    EXPECT_EQ(read(settingsFile), kStored);
    EXPECT_EQ(settings::gUseOverlay, 1);
}

TEST_F(Enhancements, TypeChangesRefillTheirListAndTheSameTypeKeepsTheChoice) {
    write(settingsFile, "[General]\r\nLanCourseType=1\r\nLanCourse=12\r\nLanCarClass=3\r\n");
    open();
    // Picking the type already shown keeps the stored choice.
    pick(dlg, L"cmbCourseType", 1);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 12);
    pick(dlg, L"cmbCourse", 7);
    pick(dlg, L"cmbCourseType", 1);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 7);
    EXPECT_EQ(dlg.count(L"cmbCourse"), 20);

    pick(dlg, L"cmbCourseType", 2);
    EXPECT_EQ(entries(dlg, L"cmbCourse"),
              (std::vector<std::wstring>{L"Morvex 2", L"Morvex 2 SP", L"Morvex 2 (Reverse)",
                                         L"Morvex 2 SP (Reverse)"}));
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 0);

    pick(dlg, L"cmbCarType", 0); // the stored type: the stored class stays
    EXPECT_EQ(dlg.itemText(L"cmbCarClass", dlg.selected(L"cmbCarClass")), L"Professional");
    pick(dlg, L"cmbCarType", 1);
    EXPECT_EQ(entries(dlg, L"cmbCarClass"), (std::vector<std::wstring>{L"Normal", L"Tuned"}));
    pick(dlg, L"cmbCarClass", 1);
    pick(dlg, L"cmbCarType", 0);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 5);
    EXPECT_EQ(dlg.itemText(L"cmbCarClass", dlg.selected(L"cmbCarClass")), L"Free Select");

    click(dlg, L"cmdOk");
    const std::string file = read(settingsFile);
    for (auto line : {"LanCourseType=2", "LanCourse=0", "LanCarType=0", "LanCarClass=0"})
        EXPECT_TRUE(holds(file, line)) << line << "\n" << file;
}

TEST_F(Enhancements, UnusableStoredValuesLoadAsMissingAndLoadingGoesOn) {
    write(settingsFile,
          "[General]\r\nBroadcastOutputs=yes\r\nUseOverlay=3\r\nForceMenusto43=-1\r\n"
          "ArcadeMode=1.5\r\nSlaveorMaster=2\r\nLanCar=99999\r\nLanCarMode= 1 \r\nLanTrans=1e0\r\n"
          "LanCarColor=-2\r\nLanSong=1\r\nLanMaxPlayers=5\r\nLanCourseType=0\r\nLanCourse=5\r\n"
          "LanCarType=1\r\nLanCarClass=4\r\nLanNoCatchUp=x\r\nLanNoCollisions=1\r\n");
    open();
    EXPECT_EQ(dlg.check(L"chkArcade"), 2); // 1.5 goes to the even neighbour
    EXPECT_EQ(dlg.selected(L"cmbCarMode"), 1);
    EXPECT_EQ(dlg.selected(L"cmbTrans"), 1);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 2);
    click(dlg, L"cmdOk"); // a course or class beyond the list of its type counts as missing too
    const std::string file = read(settingsFile);
    for (auto line : {"UseOverlay=0", "ForceMenusto43=0", "LanCar=0", "LanMaxPlayers=0", "LanCourse=0",
                      "LanCarClass=0", "LanNoCatchUp=0", "LanNoCollisions=1"})
        EXPECT_TRUE(holds(file, line)) << line << "\n" << file;
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(Enhancements, NoTypeLeavesItsListEmptyAndSavesNone) {
    write(settingsFile, "[General]\r\nLanCourseType=-1\r\nLanCourse=1\r\nLanCarType=-1\r\nLanCarClass=0\r\n");
    open();
    EXPECT_EQ(dlg.selected(L"cmbCourseType"), -1);
    EXPECT_EQ(dlg.count(L"cmbCourse"), 0);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), -1);
    EXPECT_EQ(dlg.selected(L"cmbCarType"), -1);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 0);
    click(dlg, L"cmdOk");
    const std::string file = read(settingsFile);
    for (auto line : {"LanCourseType=-1", "LanCourse=-1", "LanCarType=-1", "LanCarClass=-1"})
        EXPECT_TRUE(holds(file, line)) << line << "\n" << file;

    // Choosing the first type afterwards still fills its list.
    open();
    pick(dlg, L"cmbCourseType", 0);
    EXPECT_EQ(dlg.count(L"cmbCourse"), 2);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 0);
    pick(dlg, L"cmbCarType", 0);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 5);
}

TEST_F(Enhancements, LongLobbyNameReadsBackWhole) {
    const std::wstring name(300, L'n');
    open();
    type(dlg, L"txtLobbyName", name + L"!");
    click(dlg, L"cmdOk");
    open();
    EXPECT_EQ(dlg.text(L"txtLobbyName"), name + L"!");
}

TEST_F(Enhancements, OverlayReachesTheGamesFileAfterTheMainWindowsOk) {
    open();
    click(dlg, L"chkOverlay");
    EXPECT_EQ(settings::gUseOverlay, 0);
    click(dlg, L"cmdOk");
    EXPECT_EQ(settings::gUseOverlay, 1);
    EXPECT_TRUE(holds(read(settingsFile), "UseOverlay=1"));
    EXPECT_EQ(main.check(L"chkWindow"), 0);
    click(main, L"cmdOk");
    const std::string gameFile = read(game.file(L"\\morvex2006.ini"));
    EXPECT_TRUE(gameFile.ends_with("\r\nDX/WINDOWED = 1\r\n")) << gameFile;
    EXPECT_EQ(std::count(gameFile.begin(), gameFile.end(), '\n'), 7);
}

TEST_F(Enhancements, CancelAndCloseBoxChangeNeitherFileNorFlag) {
    write(settingsFile, kStored);
    settings::gUseOverlay = 1;
    for (bool viaCancel : {true, false}) {
        open();
        click(dlg, L"chkOverlay");
        pick(dlg, L"cmbCourseType", 0);
        type(dlg, L"txtLobbyName", L"changed");
        if (viaCancel) {
            click(dlg, L"cmdCancel");
        } else {
            closeBox(dlg);
        }
        EXPECT_FALSE(dlg.loaded()) << viaCancel;
        EXPECT_EQ(read(settingsFile), kStored) << viaCancel;
        EXPECT_EQ(settings::gUseOverlay, 1) << viaCancel;
    }
    open();
    EXPECT_EQ(dlg.check(L"chkOverlay"), 1);
    EXPECT_EQ(dlg.text(L"txtLobbyName"), L"Friday night");
}

TEST_F(Enhancements, AFailedSaveIsReportedAndKeepsTheDialogAndTheFlag) {
    write(settingsFile, kFirstWrite);
    open();
    click(dlg, L"chkOverlay");
    pick(dlg, L"cmbCar", 3);
    {
        Lock lock(settingsFile);
        click(dlg, L"cmdOk");
    }
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
    EXPECT_NE(rec.messages[0].text.find(settingsFile), std::wstring::npos);
    EXPECT_TRUE(dlg.loaded());
    EXPECT_EQ(settings::gUseOverlay, 0);
    EXPECT_EQ(read(settingsFile), kFirstWrite);

    HWND first = dlg.hwnd();
    click(main, L"Command1"); // the open dialog comes forward with its edits
    EXPECT_EQ(dlg.hwnd(), first);
    EXPECT_EQ(dlg.selected(L"cmbCar"), 3);
    click(dlg, L"cmdOk"); // the file is free again
    EXPECT_FALSE(dlg.loaded());
    EXPECT_EQ(settings::gUseOverlay, 1);
}

TEST_F(Enhancements, OkAndCancelAfterTheMainWindowClosedJustClose) {
    for (bool viaOk : {true, false}) {
        open();
        closeBox(main);
        ASSERT_FALSE(main.loaded());
        click(dlg, viaOk ? L"cmdOk" : L"cmdCancel");
        EXPECT_FALSE(dlg.loaded()) << viaOk;
        EXPECT_FALSE(main.loaded()) << viaOk;
        EXPECT_TRUE(rec.messages.empty()) << viaOk;
    }
    EXPECT_EQ(read(settingsFile), kFirstWrite);
}
