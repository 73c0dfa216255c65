#include "controls/controlsform.h"
#include "controls/pedalform.h"
#include "controls/wheelform.h"
#include "harness/harness.h"

using namespace harness;

class WheelDialog : public WindowTest {
protected:
    GameFolder game;
    controls::frmWheel& form = controls::wheelForm();
    std::wstring file = game.settings(L"wheel.ini");
};

TEST_F(WheelDialog, NoFileShowsZerosAndOkWritesThemInOrder) {
    form.show();
    EXPECT_EQ(form.selected(L"cmbJID"), 0);
    EXPECT_EQ(form.itemText(L"cmbJID", 0), L"None");
    EXPECT_EQ(form.text(L"txtDZ"), L"0"); // never the design text
    EXPECT_EQ(form.check(L"chkMenu"), 0);
    click(form, L"cmdOk");
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(read(file), "[Wheel]\r\nWMenuOverride=0\r\nJoystickID=0\r\nDeadzone=0\r\n");
}

TEST_F(WheelDialog, EditsAreStoredInPlaceAsShown) {
    write(file, "; mine\r\n[Wheel]\r\nDeadzone= 2500 \r\nFfb=1\r\nJoystickID=16\r\n[Other]\r\nA=1\r\n");
    form.show();
    EXPECT_EQ(form.text(L"txtDZ"), L"2500");
    EXPECT_EQ(form.itemText(L"cmbJID", form.selected(L"cmbJID")), L"16");
    click(form, L"chkMenu");
    type(form, L"txtDZ", L"");
    pick(form, L"cmbJID", 0);
    click(form, L"cmdOk");
    EXPECT_EQ(read(file), "; mine\r\n[Wheel]\r\nDeadzone=\r\nFfb=1\r\nJoystickID=0\r\nWMenuOverride=1\r\n"
                          "[Other]\r\nA=1\r\n");
    form.show();
    EXPECT_EQ(form.text(L"txtDZ"), L"0");
    EXPECT_EQ(form.check(L"chkMenu"), 1);
    type(form, L"txtDZ", L"lots");
    pick(form, L"cmbJID", 16);
    click(form, L"cmdOk");
    EXPECT_NE(read(file).find("Deadzone=lots\r\nFfb=1\r\nJoystickID=16\r\n"), std::string::npos);
}

TEST_F(WheelDialog, RefusedValuesCountAsMissing) {
    write(file, "[Wheel]\r\nWMenuOverride=5\r\nJoystickID=17\r\nDeadzone=x\r\n");
    form.show();
    EXPECT_EQ(form.check(L"chkMenu"), 0);
    EXPECT_EQ(form.selected(L"cmbJID"), 0);
    EXPECT_EQ(form.text(L"txtDZ"), L"x");
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(WheelDialog, CancelAndCloseBoxWriteNothingAndAFailedWriteKeepsTheDialog) {
    const std::string before = "[Wheel]\r\nDeadzone=100\r\n";
    write(file, before);
    form.show();
    type(form, L"txtDZ", L"200");
    click(form, L"cmdCancel");
    form.show();
    EXPECT_EQ(form.text(L"txtDZ"), L"100");
    type(form, L"txtDZ", L"300");
    closeBox(form);
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(read(file), before);

    form.show();
    type(form, L"txtDZ", L"400");
    {
        Lock lock(file);
        click(form, L"cmdOk");
    }
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
    EXPECT_NE(rec.messages[0].text.find(file), std::wstring::npos);
    EXPECT_TRUE(form.loaded());
    EXPECT_EQ(form.text(L"txtDZ"), L"400");
    EXPECT_EQ(read(file), before);
}

class PedalDialog : public WindowTest {
protected:
    GameFolder game;
    controls::frmPedal& form = controls::pedalForm();
    std::wstring file = game.settings(L"pedals.ini");
};

TEST_F(PedalDialog, NoFileShowsTheDefaultsAndOkWritesThemInOrder) {
    form.show();
    EXPECT_EQ(form.itemText(L"cmbJID", form.selected(L"cmbJID")), L"None");
    EXPECT_EQ(form.text(L"txtDZ"), L"0");
    EXPECT_EQ(form.itemText(L"cmbGasAxis", form.selected(L"cmbGasAxis")), L"X");
    EXPECT_EQ(form.itemText(L"cmbGasType", form.selected(L"cmbGasType")), L"Full");
    EXPECT_EQ(form.itemText(L"cmbBrakeAxis", form.selected(L"cmbBrakeAxis")), L"X");
    EXPECT_EQ(form.itemText(L"CmbBrakeType", form.selected(L"CmbBrakeType")), L"Full");
    click(form, L"cmdOk");
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(read(file),
              "[Pedals]\r\nJoystickID=0\r\nDeadzone=0\r\nGasAxis=0\r\nGasType=0\r\nBrakeAxis=0\r\n"
              "BrakeType=0\r\n");
}

TEST_F(PedalDialog, AxesAndTypesAreStoredByPosition) {
    write(file, "[Pedals]\r\nBrakeAxis=5\r\nGasType=1\r\nJoystickID=16\r\nKeep=me\r\n");
    form.show();
    EXPECT_EQ(form.itemText(L"cmbBrakeAxis", form.selected(L"cmbBrakeAxis")), L"RZ");
    EXPECT_EQ(form.itemText(L"cmbGasType", form.selected(L"cmbGasType")), L"Top");
    EXPECT_EQ(form.itemText(L"cmbJID", form.selected(L"cmbJID")), L"16");
    pick(form, L"cmbGasAxis", 1);   // Y
    pick(form, L"cmbGasType", 2);   // Bottom
    pick(form, L"cmbBrakeAxis", 1); // the same axis is allowed
    pick(form, L"CmbBrakeType", 1); // Top
    type(form, L"txtDZ", L"2500");
    click(form, L"cmdOk");
    EXPECT_EQ(read(file),
              "[Pedals]\r\nBrakeAxis=1\r\nGasType=2\r\nJoystickID=16\r\nKeep=me\r\nDeadzone=2500\r\n"
              "GasAxis=1\r\nBrakeType=1\r\n");
}

TEST_F(PedalDialog, RefusedValuesCountAsMissingAndNothingSelectedIsMinusOne) {
    write(file, "[Pedals]\r\nJoystickID=-7\r\nGasAxis=6\r\nGasType=2.5\r\nBrakeAxis=-1\r\nBrakeType=3\r\n");
    form.show();
    EXPECT_EQ(form.selected(L"cmbJID"), 0);
    EXPECT_EQ(form.selected(L"cmbGasAxis"), 0);
    EXPECT_EQ(form.selected(L"cmbGasType"), 2); // a half goes to the even neighbour
    EXPECT_EQ(form.selected(L"cmbBrakeAxis"), -1);
    EXPECT_EQ(form.selected(L"CmbBrakeType"), 0);
    click(form, L"cmdOk");
    EXPECT_EQ(read(file),
              "[Pedals]\r\nJoystickID=0\r\nGasAxis=0\r\nGasType=2\r\nBrakeAxis=-1\r\nBrakeType=0\r\n"
              "Deadzone=0\r\n");
}

TEST_F(PedalDialog, CancelAndCloseBoxWriteNothingAndOkAfterTheControllerClosed) {
    const std::string before = "[Pedals]\r\nGasAxis=2\r\n";
    write(file, before);
    form.show();
    pick(form, L"cmbGasAxis", 4);
    click(form, L"cmdCancel");
    form.show();
    EXPECT_EQ(form.selected(L"cmbGasAxis"), 2);
    pick(form, L"cmbGasAxis", 4);
    closeBox(form);
    EXPECT_EQ(read(file), before);

    controls::frmControls& opener = controls::controlsForm();
    opener.show();
    click(opener, L"cmdPedal");
    click(opener, L"cmdCancel");
    pick(form, L"cmbGasAxis", 3);
    click(form, L"cmdOk");
    EXPECT_FALSE(form.loaded());
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_NE(read(file).find("GasAxis=3\r\n"), std::string::npos);
}
