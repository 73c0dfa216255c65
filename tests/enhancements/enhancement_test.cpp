// What only the enhancements dialog does; what every saving window does is in tests/faults.
#include "enhancements/enhancement.h"
#include "faults/windows.h"

using namespace harness;

// A new type refills its list, the same type again keeps the choice; no type leaves its list alone,
// and saves none.
TEST_F(WindowTest, EnhancementsTypesRefillTheirLists) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini");
    enhancements::FrmEnhancement& dlg = enhancements::frmEnhancement();
    const auto okStores = [&](const char* lines) {
        click(dlg, L"cmdOk");
        EXPECT_NE(read(file).find(lines), std::string::npos) << read(file);
    };
    write(file, "[General]\r\nLanCourseType=1\r\nLanCarType=0\r\nLanCourse=12\r\nLanCarClass=3\r\n");
    faults::open(faults::windowNamed("enhancements"));
    pick(dlg, L"cmbCourseType", 1);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 12);
    pick(dlg, L"cmbCourse", 7);
    pick(dlg, L"cmbCourseType", 1);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 7);
    pick(dlg, L"cmbCourseType", 2);
    EXPECT_EQ(dlg.count(L"cmbCourse"), 4);
    pick(dlg, L"cmbCarType", 0); // the stored type: the stored class stays
    EXPECT_EQ(dlg.selected(L"cmbCarClass"), 3);
    pick(dlg, L"cmbCarType", 1);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 2);
    pick(dlg, L"cmbCarClass", 1);
    pick(dlg, L"cmbCarType", 0);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 5);
    okStores("\r\nLanCourseType=2\r\nLanCarType=0\r\nLanCourse=0\r\nLanCarClass=0\r\n");

    write(file, "[General]\r\nLanCourseType=-1\r\nLanCarType=-1\r\nLanCourse=1\r\nLanCarClass=0\r\n");
    faults::open(faults::windowNamed("enhancements"));
    EXPECT_EQ(dlg.count(L"cmbCourse") + dlg.count(L"cmbCarClass"), 0);
    okStores("\r\nLanCourseType=-1\r\nLanCarType=-1\r\nLanCourse=-1\r\nLanCarClass=-1\r\n");
    faults::open(
        faults::windowNamed("enhancements")); // the first type still fills its list; none again keeps it
    pick(dlg, L"cmbCourseType", 0);
    pick(dlg, L"cmbCourse", 1);
    pick(dlg, L"cmbCourseType", -1);
    EXPECT_EQ(dlg.count(L"cmbCourse"), 2);
    EXPECT_EQ(dlg.selected(L"cmbCourse"), 1);
    pick(dlg, L"cmbCarType", 0);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 5);
}
