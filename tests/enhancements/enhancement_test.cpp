// What only the enhancements dialog does; what every saving window does is in tests/faults.
#include "enhancements/enhancement.h"
#include "faults/windows.h"

using namespace harness;

// A new type refills its list, the same type keeps the choice; no type leaves it alone, and saves none.
TEST_F(WindowTest, EnhancementsTypesRefillTheirLists) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini");
    enhancements::FrmEnhancement& dlg = enhancements::frmEnhancement();
    const auto then = [&](const wchar_t* type, int position, const wchar_t* list) { // count and selection
        pick(dlg, type, position);
        return std::to_string(dlg.count(list)) + " " + std::to_string(dlg.selected(list));
    };
    write(file, "[General]\r\nLanCourseType=1\r\nLanCarType=0\r\nLanCourse=12\r\nLanCarClass=3\r\n");
    faults::open(faults::windowNamed("enhancements"));
    EXPECT_EQ(then(L"cmbCourseType", 1, L"cmbCourse").substr(2), " 12"); // the stored type: its course stays
    pick(dlg, L"cmbCourse", 7);
    EXPECT_EQ(then(L"cmbCourseType", 1, L"cmbCourse").substr(2), " 7");
    EXPECT_EQ(then(L"cmbCourseType", 2, L"cmbCourse"), "4 0");
    EXPECT_EQ(then(L"cmbCarType", 0, L"cmbCarClass"), "5 3");
    EXPECT_EQ(then(L"cmbCarType", 1, L"cmbCarClass"), "2 0");
    pick(dlg, L"cmbCarClass", 1);
    EXPECT_EQ(then(L"cmbCarType", 0, L"cmbCarClass"), "5 0");
    click(dlg, L"cmdOk");
    write(file, "[General]\r\nLanCourseType=-1\r\nLanCarType=-1\r\nLanCourse=1\r\nLanCarClass=0\r\n");
    faults::open(faults::windowNamed("enhancements"));
    EXPECT_EQ(dlg.count(L"cmbCourse") + dlg.count(L"cmbCarClass"), 0);
    click(dlg, L"cmdOk");
    EXPECT_NE(read(file).find("CourseType=-1\r\nLanCarType=-1\r\nLanCourse=-1\r\nLanCarClass=-1"),
              size_t(-1));
    // Reopened: the first type still fills its list; none again keeps it.
    faults::open(faults::windowNamed("enhancements"));
    pick(dlg, L"cmbCourseType", 0);
    pick(dlg, L"cmbCourse", 1);
    EXPECT_EQ(then(L"cmbCourseType", -1, L"cmbCourse"), "2 1");
    EXPECT_EQ(then(L"cmbCarType", 0, L"cmbCarClass"), "5 0");
}
