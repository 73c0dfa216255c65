#include "bindings/bindings.h"
#include "controls/controlsform.h"
#include "harness/harness.h"

using namespace harness;

// The controller dialog opens the two button mapping dialogs, each once, and they hand the
// focus back to it.
TEST_F(WindowTest, ControllerDialogOpensTheButtonMappingDialogsOnce) {
    GameFolder game;
    auto& controls = controls::controlsForm();
    controls.show();
    click(controls, L"cmdGSCFG");
    click(controls, L"cmdVRCFG");
    auto& gs = bindings::gearShiftForm();
    auto& vr = bindings::viewButtonForm();
    ASSERT_TRUE(gs.loaded());
    ASSERT_TRUE(vr.loaded());
    EXPECT_EQ(gs.opener(), &controls);
    EXPECT_EQ(vr.opener(), &controls);
    type(gs, L"txtUp", L"38");
    const HWND before = gs.hwnd();
    click(controls, L"cmdGSCFG");
    EXPECT_EQ(gs.hwnd(), before);        // brought forward, not loaded again
    EXPECT_EQ(gs.text(L"txtUp"), L"38"); // edits in progress stay
    click(gs, L"cmdCancel");
    click(vr, L"cmdOk");
    EXPECT_FALSE(gs.loaded());
    EXPECT_FALSE(vr.loaded());
    EXPECT_TRUE(controls.loaded());
    EXPECT_FALSE(exists(game.settings(L"gearshift.ini")));
    EXPECT_TRUE(exists(game.settings(L"vrbuttons.ini")));
}
