#include "bindings/bindings.h"
#include "harness/harness.h"

using namespace harness;

namespace {

// Stands in for the controller dialog that opens the gear shift dialog.
struct Opener : tk::Form {
    Opener()
        : Form({.name = L"frmOpener",
                .caption = L"Opener",
                .width = 3000,
                .height = 1500,
                .controls = {{.name = L"cmdA",
                              .kind = tk::Kind::Button,
                              .caption = L"A",
                              .left = 120,
                              .top = 120,
                              .width = 1200,
                              .height = 375}}}) {}
};
Opener& opener() {
    static Opener form;
    return form;
}

const char kFirstWrite[] = "[GearShift]\r\nType=0\r\nDontBlock=0\r\nUpKey=0\r\nDownKey=0\r\n"
                           "1Key=0\r\n2Key=0\r\n3Key=0\r\n4Key=0\r\n5Key=0\r\n6Key=0\r\nJoystickID=0\r\n"
                           "UpButton=-1\r\nDownButton=-1\r\n1Button=-1\r\n2Button=-1\r\n3Button=-1\r\n"
                           "4Button=-1\r\n5Button=-1\r\n6Button=-1\r\n";

} // namespace

class GearShift : public WindowTest {
protected:
    GameFolder game;
    bindings::frmGS& gs = bindings::gearShiftForm();
    std::wstring file = game.settings(L"gearshift.ini");

    void open() {
        opener().show();
        gs.show(&opener());
    }
};

TEST_F(GearShift, FirstWriteHoldsTheNineteenKeysInOrderAndHandsTheFocusBack) {
    open();
    EXPECT_EQ(gs.text(L"cmbType"), L"Up / Down Shifter");
    EXPECT_EQ(gs.count(L"cmbJID"), 17);
    EXPECT_EQ(gs.itemText(L"cmbJID", 16), L"16");
    click(gs, L"cmdOk");
    EXPECT_EQ(read(file), kFirstWrite);
    EXPECT_FALSE(gs.loaded());
    EXPECT_EQ(GetActiveWindow(), opener().hwnd());
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(GearShift, StoredValuesLoadAndEditsAreWrittenInPlace) {
    write(file, "; mine\r\n[GearShift]\r\nOther=keep\r\nType=1\r\nDontBlock=2\r\nDownKey=40\r\n3Key=65\r\n"
                "JoystickID=16\r\nUpButton=\r\n3Button=7\r\n6Button= abc \r\n[Else]\r\nx=1\r\n");
    open();
    EXPECT_EQ(gs.selected(L"cmbType"), 1);
    EXPECT_EQ(gs.check(L"chkGSNoBlock"), 2);
    EXPECT_EQ(gs.text(L"txtUp"), L"0"); // missing key field: 0
    EXPECT_EQ(gs.text(L"txtDown"), L"40");
    EXPECT_EQ(gs.text(L"txtGear", 3), L"65");
    EXPECT_EQ(gs.selected(L"cmbJID"), 16);
    EXPECT_EQ(gs.text(L"txtUpB"), L"-1");   // empty button value: -1
    EXPECT_EQ(gs.text(L"txtDownB"), L"-1"); // missing button key: -1
    EXPECT_EQ(gs.text(L"txtGearB", 3), L"7");
    EXPECT_EQ(gs.text(L"txtGearB", 6), L"abc");

    pick(gs, L"cmbType", 2);
    pick(gs, L"cmbJID", 0);
    click(gs, L"chkGSNoBlock"); // a user's click on a greyed box ticks it
    keyStroke(gs, L"txtGear", VK_RETURN, 3);
    type(gs, L"txtGearB", L"40", 3);
    type(gs, L"txtUpB", L"");
    type(gs, L"txtDownB", L"abc");
    click(gs, L"cmdOk");
    EXPECT_EQ(read(file), "; mine\r\n[GearShift]\r\nOther=keep\r\nType=2\r\nDontBlock=1\r\nDownKey=40\r\n"
                          "3Key=13\r\nJoystickID=0\r\nUpButton=\r\n3Button=40\r\n6Button=abc\r\nUpKey=0\r\n"
                          "1Key=0\r\n2Key=0\r\n4Key=0\r\n5Key=0\r\n6Key=0\r\nDownButton=abc\r\n1Button=-1\r\n"
                          "2Button=-1\r\n4Button=-1\r\n5Button=-1\r\n[Else]\r\nx=1\r\n");

    // The emptied button field shows -1 when the dialog opens again.
    gs.show();
    EXPECT_EQ(gs.text(L"txtUpB"), L"-1");
}

TEST_F(GearShift, TypedTypeTextStoresNoTypeAndLoadsBackAsNone) {
    open();
    typeChars(gs, L"cmbType", L"Sequential");
    EXPECT_EQ(gs.selected(L"cmbType"), -1);
    click(gs, L"cmdOk");
    EXPECT_NE(read(file).find("\r\nType=-1\r\n"), std::string::npos);
    gs.show();
    EXPECT_EQ(gs.selected(L"cmbType"), -1);
    EXPECT_EQ(gs.text(L"cmbType"), L""); // not the design text
}

TEST_F(GearShift, RefusedOrUnreadableValuesCountAsMissingAndLoadingGoesOn) {
    write(file, "[GearShift]\r\nType=3\r\nDontBlock=yes\r\nUpKey=33\r\nJoystickID=17\r\n6Button=5\r\n");
    open();
    EXPECT_EQ(gs.selected(L"cmbType"), 0);
    EXPECT_EQ(gs.check(L"chkGSNoBlock"), 0);
    EXPECT_EQ(gs.text(L"txtUp"), L"33");
    EXPECT_EQ(gs.selected(L"cmbJID"), 0);
    EXPECT_EQ(gs.text(L"txtGearB", 6), L"5");
    EXPECT_TRUE(rec.messages.empty());

    write(file, "[GearShift]\r\nType=-1\r\nJoystickID=-7\r\n");
    gs.unload();
    gs.show();
    EXPECT_EQ(gs.selected(L"cmbType"), -1);
    EXPECT_EQ(gs.selected(L"cmbJID"), 0);
}

TEST_F(GearShift, AFailedWriteIsReportedAndTheDialogKeepsItsEdits) {
    open();
    keyStroke(gs, L"txtGear", 'G', 3);
    {
        Lock held(file);
        click(gs, L"cmdOk");
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
        EXPECT_NE(rec.messages[0].text.find(file), std::wstring::npos);
        EXPECT_TRUE(gs.loaded());
        EXPECT_EQ(gs.text(L"txtGear", 3), L"71");
    }
    click(gs, L"cmdOk");
    EXPECT_FALSE(gs.loaded());
    EXPECT_NE(read(file).find("\r\n3Key=71\r\n"), std::string::npos);
}

TEST_F(GearShift, CancelAndCloseBoxWriteNothingAndAClosedOpenerIsNoError) {
    write(file, "[GearShift]\r\nType=2\r\n");
    open();
    pick(gs, L"cmbType", 0);
    click(gs, L"cmdCancel");
    EXPECT_FALSE(gs.loaded());
    EXPECT_EQ(GetActiveWindow(), opener().hwnd());
    open();
    pick(gs, L"cmbType", 0);
    closeBox(gs);
    EXPECT_FALSE(gs.loaded());
    EXPECT_EQ(read(file), "[GearShift]\r\nType=2\r\n");

    open();
    opener().unload();
    click(gs, L"cmdOk");
    EXPECT_FALSE(gs.loaded());
    EXPECT_TRUE(rec.messages.empty());
    open();
    opener().unload();
    click(gs, L"cmdCancel");
    EXPECT_FALSE(gs.loaded());
    EXPECT_TRUE(rec.messages.empty());
}
