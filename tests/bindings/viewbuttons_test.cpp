#include "bindings/bindings.h"
#include "harness/harness.h"
#include "toolkit/dpi.h"
#include "toolkit/picture.h"

#include "resource.h"

using namespace harness;

namespace {

const char kFirstWrite[] =
    "[VR]\r\nType=0\r\nVRMenuOverride=0\r\nVRNO2k6=0\r\n1Key=0\r\n2Key=0\r\n3Key=0\r\n4Key=0\r\n"
    "Camera1=0\r\nCamera2=0\r\nCamera3=0\r\nCamera4=0\r\nJoystickID=0\r\n1Button=-1\r\n"
    "2Button=-1\r\n3Button=-1\r\n4Button=-1\r\nUseHat=0\r\n";

int windowsCaptioned(const wchar_t* caption) {
    int n = 0;
    for (HWND h = FindWindowExW(nullptr, nullptr, nullptr, caption); h;
         h = FindWindowExW(nullptr, h, nullptr, caption))
        ++n;
    return n;
}

} // namespace

class ViewButtons : public WindowTest {
protected:
    GameFolder game;
    bindings::frmVR& vr = bindings::viewButtonForm();
    bindings::frmHat& hat = bindings::hatForm();
    std::wstring file = game.settings(L"vrbuttons.ini");
};

TEST_F(ViewButtons, FirstWriteHoldsTheSeventeenKeysInOrder) {
    vr.show();
    EXPECT_EQ(vr.text(L"cmbType"), L"4 Button");
    EXPECT_EQ(vr.text(L"txtCamera", 1), L"0");
    click(vr, L"cmdOk");
    EXPECT_EQ(read(file), kFirstWrite);
    EXPECT_FALSE(vr.loaded());
}

TEST_F(ViewButtons, ViewButtonTwoOwnsTwoKeyCameraTwoAndTwoButton) {
    write(file, "[VR]\r\n2Key=50\r\nCamera2=513\r\n2Button=\r\n3Button=9\r\nVRNO2k6=1\r\nUseHat=2\r\n");
    vr.show();
    EXPECT_EQ(vr.text(L"txtVR", 2), L"50");
    EXPECT_EQ(vr.text(L"txtCamera", 2), L"513");
    EXPECT_EQ(vr.text(L"txtVRb", 2), L"-1");
    EXPECT_EQ(vr.text(L"txtVRb", 3), L"9");
    EXPECT_EQ(vr.check(L"chkNo2k6"), 1);
    EXPECT_EQ(vr.check(L"chkHat"), 2);

    keyStroke(vr, L"txtVR", VK_ESCAPE, 2);
    type(vr, L"txtCamera", L"256", 2);
    type(vr, L"txtVRb", L"12", 2);
    type(vr, L"txtCamera", L"x", 1);
    pick(vr, L"cmbType", 1);
    pick(vr, L"cmbJID", 3);
    click(vr, L"chkMnuOv");
    click(vr, L"cmdOk");
    EXPECT_EQ(read(file),
              "[VR]\r\n2Key=27\r\nCamera2=256\r\n2Button=12\r\n3Button=9\r\nVRNO2k6=1\r\n"
              "UseHat=2\r\nType=1\r\nVRMenuOverride=1\r\n1Key=0\r\n3Key=0\r\n4Key=0\r\nCamera1=x\r\n"
              "Camera3=0\r\nCamera4=0\r\nJoystickID=3\r\n1Button=-1\r\n4Button=-1\r\n");
}

TEST_F(ViewButtons, HelpMessagesAreWordForWordAndChangeNothing) {
    vr.show();
    click(vr, L"cmdCAHelp");
    click(vr, L"cmdMnuOvHelp");
    ASSERT_EQ(rec.messages.size(), 2u);
    EXPECT_EQ(rec.messages[0].title, L"Information on the Camera System");
    EXPECT_EQ(rec.messages[0].icon, platform::Icon::None);
    EXPECT_EQ(
        rec.messages[0].text,
        L"The game stores all Camera angles in a 2 byte array.  Each Camera # corresponds to a view "
        L"button.\r\n"
        L"Most Numbers yield either useless or empty camera slots, but here are some of note:  \r\n\r\n"
        L"*2 Outside\r\n*513 Dash\r\n*256 Inside\r\n*3 Overhead view\r\n*4 Outside, slightly flatter\r\n"
        L"*6 Outside, zoomed in slightly\r\n*10 Outside big sky\r\n*11 looking up at sky\r\n"
        L"*13 Outside slightly lower\r\n*14 Outside zoomed to behind Characters\r\n*15 Outside Zoomed out\r\n"
        L"*18 Outside Big sky zoomed slighty out\r\n*22 Glamour Shot... front tire\r\n"
        L"*23 Glamour Shot... rear tire\r\n*24 Glamour Shot... front of car\r\n"
        L"*25 Glamour Shot... Side of car\r\n*26 Outside of car, zoomed in close\r\n"
        L"*27 Outside of car, zoomed far away\r\n*28 Outside of car, zoomed far away (lower)");
    EXPECT_EQ(rec.messages[1].title, L"About VR1 Menu Override");
    EXPECT_EQ(rec.messages[1].icon, platform::Icon::None);
    EXPECT_EQ(
        rec.messages[1].text,
        L"Pressing VR1 will activate the F2 key, allowing in-game menus to work as illustrated.  Note that "
        L"you do NOT need this feature if you are using a joystick as only keyboard menu keys are "
        L"hard-coded.\r\n\r\nThe don't use in 2k6 menus was for my own benefit as my VR1 button doubles as "
        L"the up key in menus");
    EXPECT_EQ(vr.check(L"chkMnuOv"), 0);
    EXPECT_EQ(vr.text(L"txtCamera", 1), L"0");
    click(vr, L"cmdCancel");
    EXPECT_FALSE(exists(file));
}

TEST_F(ViewButtons, TheLegendIsOneWindowAndOkHandsTheFocusBack) {
    vr.show();
    click(vr, L"cmdVRhatH");
    click(vr, L"cmdVRhatH");
    ASSERT_TRUE(hat.loaded());
    EXPECT_EQ(windowsCaptioned(L"Hat Switch Legend"), 1);
    EXPECT_EQ(GetActiveWindow(), hat.hwnd());
    click(hat, L"cmdOk");
    EXPECT_FALSE(hat.loaded());
    EXPECT_EQ(GetActiveWindow(), vr.hwnd());

    // The legend outlives the dialog that showed it, and then closes quietly.
    click(vr, L"cmdVRhatH");
    click(vr, L"cmdCancel");
    EXPECT_TRUE(hat.loaded());
    click(hat, L"cmdOk");
    EXPECT_FALSE(hat.loaded());
    EXPECT_EQ(windowsCaptioned(L"Hat Switch Legend"), 0);
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(ViewButtons, TheLegendPictureIsShownWholeAtItsNaturalSize) {
    SIZE size{};
    HBITMAP picture = tk::loadJpegResource(IDR_HAT_LEGEND, &size);
    ASSERT_NE(picture, nullptr);
    DeleteObject(picture);
    EXPECT_EQ(size.cx, 200);
    EXPECT_EQ(size.cy, 194);
    hat.show();
    const UINT dpi = tk::dpiOf(hat.hwnd());
    const RECT box = placeOf(hat, L"picHat");
    EXPECT_GE(box.right - box.left, MulDiv(200, dpi, 96));
    EXPECT_GE(box.bottom - box.top, MulDiv(194, dpi, 96));
}
