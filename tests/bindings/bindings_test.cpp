// What only the button mapping dialogs do; what every saving window does is in tests/faults.
#include "bindings/bindings.h"
#include "harness/harness.h"
#include "toolkit/dpi.h"

using namespace harness;

// One legend window, its picture whole at its natural size (200 by 194 pixels); its Ok hands the
// focus back, and it outlives the dialog that showed it.
TEST_F(WindowTest, TheHatLegendIsOneWindowThatOutlivesItsDialog) {
    GameFolder game;
    bindings::frmVR& vr = bindings::viewButtonForm();
    bindings::frmHat& hat = bindings::hatForm();
    vr.show();
    click(vr, L"cmdVRhatH");
    click(vr, L"cmdVRhatH");
    ASSERT_TRUE(hat.loaded());
    EXPECT_EQ(FindWindowExW(nullptr, hat.hwnd(), nullptr, L"Hat Switch Legend"), nullptr);
    const RECT box = placeOf(hat, L"picHat");
    EXPECT_GE(box.right - box.left, MulDiv(200, tk::dpiOf(hat.hwnd()), 96));
    EXPECT_GE(box.bottom - box.top, MulDiv(194, tk::dpiOf(hat.hwnd()), 96));
    click(hat, L"cmdOk");
    EXPECT_EQ(GetActiveWindow(), vr.hwnd());
    click(vr, L"cmdVRhatH");
    click(vr, L"cmdCancel");
    click(hat, L"cmdOk");
    EXPECT_FALSE(hat.loaded());
    EXPECT_TRUE(rec.messages.empty());
}
