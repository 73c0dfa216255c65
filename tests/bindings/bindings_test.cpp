// What only the button mapping dialogs do; what every saving window does is in tests/faults.
#include "bindings/bindings.h"
#include "harness/harness.h"
#include "toolkit/dpi.h"
#include "toolkit/picture.h"

#include "resource.h"

using namespace harness;

class Bindings : public WindowTest {
protected:
    GameFolder game;
    bindings::frmVR& vr = bindings::viewButtonForm();
    bindings::frmHat& hat = bindings::hatForm();
};

TEST_F(Bindings, HelpMessagesAreWordForWordAndChangeNothing) {
    vr.show();
    click(vr, L"cmdCAHelp");
    click(vr, L"cmdMnuOvHelp");
    ASSERT_EQ(rec.messages.size(), 2u);
    EXPECT_EQ(rec.messages[0].title, L"Information on the Camera System");
    EXPECT_EQ(
        rec.messages[0].text,
        L"The game stores all Camera angles in a 2 byte array.  Each Camera # corresponds to a view "
        L"button.\r\n"
        L"Most Numbers yield either useless or empty camera slots, but here are some of note:  \r\n\r\n"
        L"*2 Outside\r\n*513 Dash\r\n*256 Inside\r\n*3 Overhead view\r\n*4 Outside, slightly flatter\r\n"
        L"*6 Outside, zoomed in slightly\r\n*10 Outside big sky\r\n*11 looking up at sky\r\n"
        L"*13 Outside slightly lower\r\n*14 Outside zoomed to behind Characters\r\n*15 Outside Zoomed out\r\n"
        L"*18 Outside Big sky zoomed slighty out\r\n*22 Glamour Shot... front tire\r\n*23 Glamour Shot... "
        L"rear tire\r\n*24 Glamour Shot... front of car\r\n*25 Glamour Shot... Side of car\r\n*26 Outside of "
        L"car, zoomed in close\r\n*27 Outside of car, zoomed far away\r\n*28 Outside of car, zoomed far away "
        L"(lower)");
    EXPECT_EQ(rec.messages[1].title, L"About VR1 Menu Override");
    EXPECT_EQ(
        rec.messages[1].text,
        L"Pressing VR1 will activate the F2 key, allowing in-game menus to work as illustrated.  Note that "
        L"you do NOT need this feature if you are using a joystick as only keyboard menu keys are "
        L"hard-coded.\r\n\r\nThe don't use in 2k6 menus was for my own benefit as my VR1 button doubles as "
        L"the up key in menus");
    for (const Message& m : rec.messages)
        EXPECT_EQ(m.icon, platform::Icon::None);
    EXPECT_EQ(vr.check(L"chkMnuOv"), 0);
    EXPECT_EQ(vr.text(L"txtCamera", 1), L"0");
}

// One legend window, its picture whole at its natural size; its Ok hands the focus back, and it
// outlives the dialog that showed it.
TEST_F(Bindings, TheLegendIsOneWindowThatOutlivesItsDialog) {
    vr.show();
    click(vr, L"cmdVRhatH");
    click(vr, L"cmdVRhatH");
    ASSERT_TRUE(hat.loaded());
    EXPECT_EQ(FindWindowExW(nullptr, nullptr, nullptr, L"Hat Switch Legend"), hat.hwnd());
    EXPECT_EQ(FindWindowExW(nullptr, hat.hwnd(), nullptr, L"Hat Switch Legend"), nullptr);
    SIZE size{};
    DeleteObject(tk::loadJpegResource(IDR_HAT_LEGEND, &size));
    EXPECT_EQ(size.cx, 200);
    EXPECT_EQ(size.cy, 194);
    const RECT box = placeOf(hat, L"picHat");
    EXPECT_GE(box.right - box.left, MulDiv(size.cx, tk::dpiOf(hat.hwnd()), 96));
    EXPECT_GE(box.bottom - box.top, MulDiv(size.cy, tk::dpiOf(hat.hwnd()), 96));
    click(hat, L"cmdOk");
    EXPECT_EQ(GetActiveWindow(), vr.hwnd());
    click(vr, L"cmdVRhatH");
    click(vr, L"cmdCancel");
    click(hat, L"cmdOk");
    EXPECT_FALSE(hat.loaded());
    EXPECT_TRUE(rec.messages.empty());
}
