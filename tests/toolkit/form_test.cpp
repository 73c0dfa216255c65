// The toolkit through a small form of its own: places in twips, check boxes and lists with the
// states they accept and the click handling that code changes run, tab order, loading.
#include "harness/harness.h"
#include "toolkit/dpi.h"

using namespace harness;
using tk::Kind;

namespace {

// clang-format off
tk::FormSpec sampleSpec() {
    return {.name = L"frmSample", .caption = L"Sample", .width = 6000, .height = 4500, .controls = {
        {.name = L"fraA", .kind = Kind::Frame, .caption = L"Group", .left = 1500, .top = 1500, .width = 3000, .height = 2000},
        {.name = L"chkA", .kind = Kind::CheckBox, .caption = L"Switch", .left = 120, .top = 240, .width = 1500, .height = 255, .tab = 2, .frame = L"fraA"},
        {.name = L"cmbA", .kind = Kind::DropList, .left = 120, .top = 600, .width = 1500, .height = 315, .tab = 3, .enabled = false, .frame = L"fraA", .items = {L"b", L"a", L"c"}},
        {.name = L"txtK", .kind = Kind::KeyField, .caption = L"Text1", .left = 120, .top = 120, .width = 600, .height = 405, .tab = 1, .index = 1},
        {.name = L"txtK", .kind = Kind::KeyField, .caption = L"Text1", .left = 900, .top = 120, .width = 600, .height = 405, .tab = 4, .index = 2},
        {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 120, .top = 3900, .width = 1200, .height = 375, .tab = 0},
    }};
}
// clang-format on

struct Sample : tk::Form {
    Sample() : Form(sampleSpec()) {
        onClick(L"chkA", [this](int) {
            ++clicks;
            enable(L"cmbA", check(L"chkA") == 1);
        });
        onClick(L"cmdOk", [this](int) { ++oks; });
    }
    void onLoad() override { ++loads; }
    int clicks = 0, oks = 0, loads = 0;
};

} // namespace

class Toolkit : public WindowTest {
protected:
    GameFolder game;
    Sample form;
};

TEST_F(Toolkit, PlacesControlsInTwipsTabsInTheGivenOrderAndPaintsFramesInside) {
    form.show();
    RECT client;
    GetClientRect(form.hwnd(), &client);
    const UINT dpi = tk::dpiOf(form.hwnd());
    const RECT chk = placeOf(form, L"chkA");
    EXPECT_EQ((std::vector<LONG>{client.right, client.bottom, chk.left, chk.top, chk.right - chk.left,
                                 placeOf(form, L"txtK", 2).left}),
              (std::vector<LONG>{tk::twips(6000, dpi), tk::twips(4500, dpi), tk::twips(1620, dpi),
                                 tk::twips(1740, dpi), tk::twips(1500, dpi), tk::twips(900, dpi)}));
    // The disabled list is skipped.
    std::vector<HWND> order{form.item(L"cmdOk")};
    for (int i = 0; i < 4; ++i)
        order.push_back(GetNextDlgTabItem(form.hwnd(), order.back(), FALSE));
    EXPECT_EQ(order, (std::vector<HWND>{form.item(L"cmdOk"), form.item(L"txtK", 1), form.item(L"chkA"),
                                        form.item(L"txtK", 2), form.item(L"cmdOk")}));
    // The form clips its children, so a frame that left its inside alone showed whatever was there.
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen); // a new bitmap is black
    HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, 50, 50));
    SendMessageW(form.item(L"fraA"), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(GetPixel(dc, 25, 25), GetSysColor(COLOR_BTNFACE));
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST_F(Toolkit, ChecksAndListsTakeOnlyTheirStatesAndCodeChangesRunTheClickHandling) {
    form.show();
    click(form, L"chkA");
    EXPECT_TRUE(form.enabled(L"cmbA"));
    // No change runs no click; a greyed box is not ticked, and a user's click on it ticks it.
    EXPECT_TRUE(form.setCheck(L"chkA", 1) && form.clicks == 1 && form.setCheck(L"chkA", 2) &&
                form.clicks == 2);
    EXPECT_FALSE(form.enabled(L"cmbA"));
    click(form, L"chkA");
    EXPECT_FALSE(form.setCheck(L"chkA", 3) || form.setCheck(L"chkA", -1));
    EXPECT_EQ(form.check(L"chkA"), 1);

    EXPECT_EQ(form.selected(L"cmbA"), -1);
    EXPECT_EQ(form.itemText(L"cmbA", 1), L"a"); // never sorted
    EXPECT_TRUE(form.select(L"cmbA", 2) && !form.select(L"cmbA", 3) && !form.select(L"cmbA", -2));
    EXPECT_EQ(form.selected(L"cmbA"), 2);
    EXPECT_TRUE(form.select(L"cmbA", -1));
    EXPECT_EQ(form.selected(L"cmbA"), -1);
}

TEST_F(Toolkit, EnterAndEscapeCloseNothingAndShowingLoadsOnce) {
    form.show();
    for (WORD vk : {VK_RETURN, VK_ESCAPE}) {
        MSG m{form.item(L"chkA"), WM_KEYDOWN, vk, 1, 0, {}};
        IsDialogMessageW(form.hwnd(), &m);
    }
    pump();
    const HWND first = form.hwnd();
    form.show();
    EXPECT_TRUE(form.oks == 0 && form.hwnd() == first);
    closeBox(form);
    EXPECT_FALSE(form.loaded());
    Sample opener; // dismissed after its opener closed, a form just closes
    opener.show();
    form.show(&opener);
    EXPECT_EQ(form.loads, 2);
    opener.unload();
    form.dismiss();
    EXPECT_FALSE(form.loaded() || opener.loaded());
    EXPECT_TRUE(rec.messages.empty());
}
