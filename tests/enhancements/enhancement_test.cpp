// What only the enhancements dialog does; what every saving window does is in tests/faults.
#include "enhancements/enhancement.h"
#include "harness/harness.h"

using namespace harness;

// Each LAN list beside its type: the stored type fills it and keeps the stored choice, the same type
// picked again keeps the choice, another type refills it from its first entry, no type leaves it be.
TEST_F(WindowTest, EnhancementsTypesRefillTheirLists) {
    GameFolder game;
    write(game.settings(L"settings.ini"),
          "[General]\r\nLanCourseType=1\r\nLanCarType=1\r\nLanCourse=1\r\nLanCarClass=1\r\n");
    enhancements::FrmEnhancement& dlg = enhancements::frmEnhancement();
    dlg.show();
    for (const auto& [type, list] :
         {std::pair{L"cmbCourseType", L"cmbCourse"}, {L"cmbCarType", L"cmbCarClass"}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(list)));
        const int stored = dlg.count(list);
        EXPECT_EQ(dlg.selected(list), 1);
        pick(dlg, type, 1);
        EXPECT_EQ(dlg.selected(list), 1) << "the same type";
        pick(dlg, type, 0);
        const int refilled = dlg.count(list);
        EXPECT_NE(refilled, stored) << "another type";
        EXPECT_EQ(dlg.selected(list), 0) << "another type";
        pick(dlg, list, 1);
        pick(dlg, type, -1);
        EXPECT_EQ(dlg.count(list), refilled) << "no type";
        EXPECT_EQ(dlg.selected(list), 1) << "no type";
    }
}

// A stored type of none leaves its list empty, and Ok stores no choice for it.
TEST_F(WindowTest, EnhancementsWithoutATypeStoreNoChoice) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini");
    write(file, "[General]\r\nLanCourseType=-1\r\nLanCarType=-1\r\nLanCourse=1\r\nLanCarClass=0\r\n");
    enhancements::FrmEnhancement& dlg = enhancements::frmEnhancement();
    dlg.show();
    EXPECT_EQ(dlg.count(L"cmbCourse"), 0);
    EXPECT_EQ(dlg.count(L"cmbCarClass"), 0);
    click(dlg, L"cmdOk");
    EXPECT_NE(read(file).find("LanCourse=-1\r\nLanCarClass=-1\r\n"), std::string::npos) << read(file);
}
