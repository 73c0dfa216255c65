#include "harness/harness.h"
#include "toolkit/dpi.h"

using namespace harness;
using tk::Kind;

namespace {

// clang-format off
tk::FormSpec sampleSpec() {
    return {.name = L"frmSample",
            .caption = L"Sample",
            .width = 6000,
            .height = 4500,
            .controls = {
                {.name = L"fraA", .kind = Kind::Frame, .caption = L"Group", .left = 1500, .top = 1500, .width = 3000, .height = 2000},
                {.name = L"chkA", .kind = Kind::CheckBox, .caption = L"Switch", .left = 120, .top = 240, .width = 1500, .height = 255, .tab = 2, .frame = L"fraA"},
                {.name = L"cmbA", .kind = Kind::DropList, .left = 120, .top = 600, .width = 1500, .height = 315, .tab = 3,
                 .enabled = false, .frame = L"fraA", .items = {L" 1", L"10 ", L"x"}},
                {.name = L"txtK", .kind = Kind::KeyField, .caption = L"Text1", .left = 120, .top = 120, .width = 600, .height = 405, .tab = 1, .index = 1},
                {.name = L"txtK", .kind = Kind::KeyField, .caption = L"Text1", .left = 900, .top = 120, .width = 600, .height = 405, .tab = 4, .index = 2},
                {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 120, .top = 3900, .width = 1200, .height = 375, .tab = 0},
                {.name = L"lblA", .kind = Kind::Label, .caption = L"Label", .left = 120, .top = 700, .width = 900, .height = 195},
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

TEST_F(Toolkit, PlacesControlsInTwipsRelativeToTheirFrame) {
    form.show();
    RECT client;
    GetClientRect(form.hwnd(), &client);
    const UINT dpi = tk::dpiOf(form.hwnd());
    EXPECT_EQ(client.right, MulDiv(6000, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(4500, dpi, 1440));
    const RECT chk = placeOf(form, L"chkA");
    EXPECT_EQ(chk.left, MulDiv(1620, dpi, 1440));
    EXPECT_EQ(chk.top, MulDiv(1740, dpi, 1440));
    EXPECT_EQ(chk.right - chk.left, MulDiv(1500, dpi, 1440));
    const RECT k2 = placeOf(form, L"txtK", 2);
    EXPECT_EQ(k2.left, MulDiv(900, dpi, 1440));
}

TEST_F(Toolkit, CheckBoxesToggleAndCodeChangesRunTheClickHandling) {
    form.show();
    EXPECT_FALSE(form.enabled(L"cmbA"));
    click(form, L"chkA");
    EXPECT_EQ(form.check(L"chkA"), 1);
    EXPECT_TRUE(form.enabled(L"cmbA"));
    click(form, L"chkA");
    EXPECT_EQ(form.check(L"chkA"), 0);
    EXPECT_EQ(form.clicks, 2);

    EXPECT_TRUE(form.setCheck(L"chkA", 0)); // no change: no click
    EXPECT_EQ(form.clicks, 2);
    EXPECT_TRUE(form.setCheck(L"chkA", 2));
    EXPECT_EQ(form.clicks, 3);
    EXPECT_FALSE(form.enabled(L"cmbA")); // greyed is not ticked
    click(form, L"chkA");                // a user's click on a greyed box ticks it
    EXPECT_EQ(form.check(L"chkA"), 1);
    EXPECT_FALSE(form.setCheck(L"chkA", 3));
    EXPECT_FALSE(form.setCheck(L"chkA", -1));
    EXPECT_EQ(form.check(L"chkA"), 1);
}

TEST_F(Toolkit, ListsKeepTheirItemsAndRefuseOutOfRangePositions) {
    form.show();
    EXPECT_EQ(form.selected(L"cmbA"), -1);
    EXPECT_EQ(form.count(L"cmbA"), 3);
    EXPECT_EQ(form.itemText(L"cmbA", 0), L" 1");
    EXPECT_EQ(form.itemText(L"cmbA", 1), L"10 ");
    EXPECT_EQ(form.itemText(L"cmbA", 2), L"x"); // never sorted
    EXPECT_TRUE(form.select(L"cmbA", 2));
    EXPECT_FALSE(form.select(L"cmbA", 3));
    EXPECT_FALSE(form.select(L"cmbA", -2));
    EXPECT_EQ(form.selected(L"cmbA"), 2);
    EXPECT_TRUE(form.select(L"cmbA", -1));
    EXPECT_EQ(form.selected(L"cmbA"), -1);
}

TEST_F(Toolkit, TabFollowsTheGivenOrder) {
    form.show();
    HWND h = form.item(L"cmdOk");
    std::vector<HWND> order;
    for (int i = 0; i < 5; ++i) {
        order.push_back(h);
        h = GetNextDlgTabItem(form.hwnd(), h, FALSE);
    }
    // The disabled list is skipped.
    const std::vector<HWND> expected = {form.item(L"cmdOk"), form.item(L"txtK", 1), form.item(L"chkA"),
                                        form.item(L"txtK", 2), form.item(L"cmdOk")};
    EXPECT_EQ(order, expected);
}

TEST_F(Toolkit, EnterAndEscapeCloseNothing) {
    form.show();
    SetFocus(form.item(L"chkA"));
    for (WORD vk : {VK_RETURN, VK_ESCAPE}) {
        MSG m{form.item(L"chkA"), WM_KEYDOWN, vk, 1, 0, {}};
        IsDialogMessageW(form.hwnd(), &m);
        pump();
    }
    EXPECT_TRUE(form.loaded());
    EXPECT_EQ(form.oks, 0);
}

TEST_F(Toolkit, ShowingLoadsOnceAndAfterUnloadAfresh) {
    form.show();
    HWND first = form.hwnd();
    form.show();
    EXPECT_EQ(form.hwnd(), first);
    EXPECT_EQ(form.loads, 1);
    closeBox(form);
    EXPECT_FALSE(form.loaded());
    form.show();
    EXPECT_EQ(form.loads, 2);
}

TEST_F(Toolkit, DismissAfterTheOpenerClosedJustCloses) {
    Sample opener;
    opener.show();
    form.show(&opener);
    opener.unload();
    form.dismiss();
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(opener.loaded());
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(Toolkit, KeyFieldsShowTheReleasedKeysCode) {
    form.show();
    keyStroke(form, L"txtK", 'A', 1);
    EXPECT_EQ(form.text(L"txtK", 1), L"65");
    EXPECT_EQ(form.text(L"txtK", 2), L"Text1");
    // Shift held with A, then released: A gives 65, Shift's release 16.
    pressKey(form, L"txtK", VK_SHIFT, 2);
    pressKey(form, L"txtK", 'A', 2);
    releaseKey(form, L"txtK", 'A', 2);
    EXPECT_EQ(form.text(L"txtK", 2), L"65");
    releaseKey(form, L"txtK", VK_SHIFT, 2);
    EXPECT_EQ(form.text(L"txtK", 2), L"16");
    doubleClick(form, L"txtK", 1);
    EXPECT_EQ(form.text(L"txtK", 1), L"-1");
}

TEST_F(Toolkit, AFramesInsideIsPaintedInTheFormsColour) {
    // The form clips its children, so a frame that left its inside alone showed whatever was there.
    form.show();
    HWND frame = form.item(L"fraA");
    HDC screen = GetDC(frame);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 50, 50);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, 50, 50};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SendMessageW(frame, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const COLORREF inside = GetPixel(dc, 25, 25);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(frame, screen);
    EXPECT_EQ(inside, GetSysColor(COLOR_BTNFACE));
}
