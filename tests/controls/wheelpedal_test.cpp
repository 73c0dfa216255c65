#include "controls/pedalform.h"
#include "controls/wheelform.h"
#include "harness/harness.h"

using namespace harness;

class WheelAndPedals : public WindowTest {
protected:
    GameFolder game;
    controls::frmWheel& wheel = controls::wheelForm();
    controls::frmPedal& pedal = controls::pedalForm();
    std::wstring wheelIni = game.settings(L"wheel.ini");
    std::wstring pedalsIni = game.settings(L"pedals.ini");
};

TEST_F(WheelAndPedals, NoFilesShowZerosAndOkWritesThemInOrder) {
    wheel.show();
    pedal.show();
    EXPECT_EQ(wheel.itemText(L"cmbJID", wheel.selected(L"cmbJID")), L"None");
    EXPECT_EQ(wheel.text(L"txtDZ"), L"0"); // never the design text
    EXPECT_EQ(pedal.text(L"txtDZ"), L"0");
    EXPECT_EQ(pedal.itemText(L"cmbGasAxis", pedal.selected(L"cmbGasAxis")), L"X");
    EXPECT_EQ(pedal.itemText(L"CmbBrakeType", pedal.selected(L"CmbBrakeType")), L"Full");
    click(wheel, L"cmdOk");
    click(pedal, L"cmdOk");
    EXPECT_EQ(tk::Form::openForms(), 0);
    EXPECT_EQ(read(wheelIni), "[Wheel]\r\nWMenuOverride=0\r\nJoystickID=0\r\nDeadzone=0\r\n");
    EXPECT_EQ(read(pedalsIni),
              "[Pedals]\r\nJoystickID=0\r\nDeadzone=0\r\nGasAxis=0\r\nGasType=0\r\nBrakeAxis=0\r\n"
              "BrakeType=0\r\n");
}

TEST_F(WheelAndPedals, ValuesAreStoredInPlaceAsShownAndRefusedOnesCountAsMissing) {
    write(wheelIni,
          "; mine\r\n[Wheel]\r\nDeadzone= 2500 \r\nFfb=1\r\nJoystickID=16\r\nWMenuOverride=3\r\n[X]\r\n");
    write(pedalsIni,
          "[Pedals]\r\nBrakeAxis=5\r\nGasType=1\r\nJoystickID=-7\r\nGasAxis=6\r\nBrakeType=2.5\r\n");
    wheel.show();
    pedal.show();
    EXPECT_EQ(wheel.text(L"txtDZ"), L"2500");
    EXPECT_EQ(wheel.itemText(L"cmbJID", wheel.selected(L"cmbJID")), L"16");
    EXPECT_EQ(wheel.check(L"chkMenu"), 0);
    EXPECT_EQ(pedal.itemText(L"cmbBrakeAxis", pedal.selected(L"cmbBrakeAxis")), L"RZ");
    EXPECT_EQ(pedal.itemText(L"cmbGasType", pedal.selected(L"cmbGasType")), L"Top");
    EXPECT_EQ(pedal.selected(L"cmbJID"), 0);
    EXPECT_EQ(pedal.selected(L"cmbGasAxis"), 0);
    EXPECT_EQ(pedal.selected(L"CmbBrakeType"), 2); // a half goes to the even neighbour

    click(wheel, L"chkMenu");
    type(wheel, L"txtDZ", L"");
    pick(wheel, L"cmbJID", 0);
    click(wheel, L"cmdOk");
    EXPECT_EQ(read(wheelIni),
              "; mine\r\n[Wheel]\r\nDeadzone=\r\nFfb=1\r\nJoystickID=0\r\nWMenuOverride=1\r\n[X]\r\n");

    pick(pedal, L"cmbGasAxis", 1);   // Y
    pick(pedal, L"cmbGasType", 2);   // Bottom
    pick(pedal, L"cmbBrakeAxis", 1); // the same axis is allowed
    pick(pedal, L"CmbBrakeType", -1);
    pick(pedal, L"cmbJID", 16);
    type(pedal, L"txtDZ", L"lots");
    click(pedal, L"cmdOk");
    EXPECT_EQ(read(pedalsIni),
              "[Pedals]\r\nBrakeAxis=1\r\nGasType=2\r\nJoystickID=16\r\nGasAxis=1\r\nBrakeType=-1\r\n"
              "Deadzone=lots\r\n");
}

TEST_F(WheelAndPedals, CancelAndCloseBoxWriteNothingAndAFailedWriteKeepsTheEdits) {
    for (tk::Form* f : std::initializer_list<tk::Form*>{&wheel, &pedal}) {
        const std::wstring file = f == &wheel ? wheelIni : pedalsIni;
        const std::string before =
            f == &wheel ? "[Wheel]\r\nDeadzone=100\r\n" : "[Pedals]\r\nDeadzone=100\r\n";
        write(file, before);
        f->show();
        type(*f, L"txtDZ", L"200");
        click(*f, L"cmdCancel");
        f->show();
        EXPECT_EQ(f->text(L"txtDZ"), L"100");
        type(*f, L"txtDZ", L"300");
        closeBox(*f);
        EXPECT_FALSE(f->loaded());
        EXPECT_EQ(read(file), before);

        rec.messages.clear();
        f->show();
        type(*f, L"txtDZ", L"400");
        {
            Lock lock(file);
            click(*f, L"cmdOk");
        }
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
        EXPECT_NE(rec.messages[0].text.find(file), std::wstring::npos);
        EXPECT_TRUE(f->loaded());
        EXPECT_EQ(f->text(L"txtDZ"), L"400");
        EXPECT_EQ(read(file), before);
    }
}
