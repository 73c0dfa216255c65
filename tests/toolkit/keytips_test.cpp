// The tooltips of key and button fields: what the code means, following the field's text at once.
#include "bindings/bindings.h"
#include "harness/harness.h"

using namespace harness;

namespace {

enum class Act { Press, DoubleClick, Type, Load };

struct TipCase {
    const char* what;
    const wchar_t* field; // of the gear shift dialog
    int index;            // the entry of a control array, 0 for a single field
    Act act;
    WORD key;             // Press: the key pressed and released in the field
    const wchar_t* shows; // the field's text afterwards (Type: as typed), the binding itself
    const wchar_t* tip;   // its tooltip
};

// clang-format off
const TipCase kCases[] = {
    {"a letter", L"txtGear", 1, Act::Press, 'A', L"65", L"A (65)"},
    {"Delete, not the number pad's", L"txtGear", 1, Act::Press, VK_DELETE, L"46", L"Delete (46)"},
    {"Print Screen, not Sys Req", L"txtGear", 1, Act::Press, VK_SNAPSHOT, L"44", L"Prnt Scrn (44)"},
    {"a key field cleared", L"txtGear", 1, Act::DoubleClick, 0, L"-1", L"No key (-1)"},
    {"a key field with nothing stored", L"txtGear", 1, Act::Load, 0, L"0", L"No key stored (0)"},
    {"a button number typed", L"txtGearB", 3, Act::Type, 0, L"3", L"Joystick button 3"},
    {"a button field's other text", L"txtUpB", 0, Act::Type, 0, L"abc", L""},
};
// clang-format on

} // namespace

TEST_F(WindowTest, KeyAndButtonFieldsNameTheirCodeInTheirTooltip) {
    GameFolder game;
    for (const TipCase& c : kCases) {
        SCOPED_TRACE(c.what);
        bindings::frmGS& form = bindings::gearShiftForm();
        form.show();
        if (c.act == Act::Press) {
            // A press and a release, posted as the system would.
            SetFocus(form.item(c.field, c.index));
            const LPARAM scan = MapVirtualKeyW(c.key, MAPVK_VK_TO_VSC) << 16;
            PostMessageW(form.item(c.field, c.index), WM_KEYDOWN, c.key, 1 | scan);
            PostMessageW(form.item(c.field, c.index), WM_KEYUP, c.key, 1 | scan | 3u << 30);
            pump();
        } else if (c.act == Act::DoubleClick) {
            doubleClick(form, c.field, c.index);
        } else if (c.act == Act::Type) {
            type(form, c.field, c.shows, c.index);
        }
        EXPECT_EQ(form.text(c.field, c.index), c.shows);
        EXPECT_EQ(form.tip(c.field, c.index), c.tip);
        tk::Form::unloadAll();
    }
}
