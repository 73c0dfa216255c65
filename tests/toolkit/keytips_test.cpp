// The tooltips of key and button fields: what the code means, following the field's text at once.
#include "bindings/bindings.h"
#include "harness/harness.h"

using namespace harness;

namespace {

enum class Act { Press, DoubleClick, Type, Load };

struct TipCase {
    const char* what;
    bool viewButtons; // frmVR, else frmGS
    const wchar_t* field;
    int index; // the entry of a control array, 0 for a single field
    Act act;
    WORD key;             // Press: the key pressed and released in the field
    const wchar_t* typed; // Type: the text typed
    const wchar_t* shows; // the field's text afterwards, the binding itself
    const wchar_t* tip;   // its tooltip
};

// clang-format off
const TipCase kCases[] = {
    {"a letter", false, L"txtGear", 1, Act::Press, 'A', nullptr, L"65", L"A (65)"},
    {"Enter", false, L"txtUp", 0, Act::Press, VK_RETURN, nullptr, L"13", L"Enter (13)"},
    {"Ctrl", false, L"txtDown", 0, Act::Press, VK_CONTROL, nullptr, L"17", L"Ctrl (17)"},
    {"Delete, not the number pad's", false, L"txtGear", 1, Act::Press, VK_DELETE, nullptr, L"46", L"Delete (46)"},
    {"an arrow, not the number pad's", true, L"txtVR", 2, Act::Press, VK_UP, nullptr, L"38", L"Up (38)"},
    {"Print Screen, not Sys Req", true, L"txtVR", 2, Act::Press, VK_SNAPSHOT, nullptr, L"44", L"Prnt Scrn (44)"},
    {"a key field cleared", false, L"txtGear", 1, Act::DoubleClick, 0, nullptr, L"-1", L"No key (-1)"},
    {"a key field with nothing stored", true, L"txtVR", 2, Act::Load, 0, nullptr, L"0", L"No key stored (0)"},
    {"a button number typed", false, L"txtGearB", 3, Act::Type, 0, L"3", L"3", L"Joystick button 3"},
    {"a button field's other text", false, L"txtUpB", 0, Act::Type, 0, L"abc", L"abc", L""},
    {"a button field cleared", true, L"txtVRb", 4, Act::DoubleClick, 0, nullptr, L"-1", L""},
};
// clang-format on

// A press and a release in the field, posted as the system would.
void press(HWND field, WORD key) {
    SetFocus(field);
    const LPARAM scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16;
    PostMessageW(field, WM_KEYDOWN, key, 1 | scan);
    PostMessageW(field, WM_KEYUP, key, 1 | scan | 3u << 30);
    pump();
}

} // namespace

TEST_F(WindowTest, KeyAndButtonFieldsNameTheirCodeInTheirTooltip) {
    GameFolder game;
    for (const TipCase& c : kCases) {
        SCOPED_TRACE(c.what);
        tk::Form& form = c.viewButtons ? static_cast<tk::Form&>(bindings::viewButtonForm())
                                       : static_cast<tk::Form&>(bindings::gearShiftForm());
        form.show();
        const int index = c.index;
        if (c.act == Act::Press)
            press(form.item(c.field, index), c.key);
        else if (c.act == Act::DoubleClick)
            doubleClick(form, c.field, index);
        else if (c.act == Act::Type)
            type(form, c.field, c.typed, index);
        EXPECT_EQ(form.text(c.field, index), c.shows);
        EXPECT_EQ(form.tip(c.field, index), c.tip);
        tk::Form::unloadAll();
    }
}
