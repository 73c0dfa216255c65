// The toolkit through a small form of its own: places in twips, tab order, check boxes and lists with
// the states they accept and the click handling that code changes run, captions that fit.
#include "harness/harness.h"
#include "toolkit/dpi.h"

using namespace harness;
using tk::Kind;

class Toolkit : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        form.onClick(L"chkA", [this](int) { ++clicks; });
        form.onClick(L"cmbA", [this](int) { ++clicks; });
        form.onClick(L"cmdOk", [this](int) { ++oks; });
        form.show();
        dpi = tk::dpiOf(form.hwnd());
    }
    // clang-format off
    tk::Form form{{.name = L"frmSample", .caption = L"Sample", .width = 6000, .height = 4500, .controls = {
        {.name = L"fraA", .kind = Kind::Frame, .caption = L"Group", .left = 1500, .top = 1500, .width = 3000, .height = 2000},
        {.name = L"chkA", .kind = Kind::CheckBox, .caption = L"Switch", .left = 120, .top = 240, .width = 1500, .height = 255, .tab = 2, .frame = L"fraA"},
        {.name = L"cmbA", .kind = Kind::DropList, .left = 120, .top = 600, .width = 1500, .height = 315, .tab = 3, .enabled = false, .frame = L"fraA", .items = {L"b", L"a", L"c"}},
        {.name = L"lblBoxed", .kind = Kind::Label, .caption = L"A caption far longer than the place its table gives it", .left = 1800, .top = 240, .width = 600, .height = 195, .frame = L"fraA"},
        {.name = L"lblFree", .kind = Kind::Label, .caption = L"Free to grow", .left = 2000, .top = 120, .width = 300, .height = 195},
        {.name = L"txtK", .kind = Kind::KeyField, .caption = L"Text1", .left = 120, .top = 120, .width = 600, .height = 405, .tab = 1, .index = 1},
        {.name = L"txtK", .kind = Kind::KeyField, .caption = L"Text1", .left = 900, .top = 120, .width = 600, .height = 405, .tab = 4, .index = 2},
        {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 120, .top = 3900, .width = 1200, .height = 375, .tab = 0},
    }}};
    // clang-format on
    int clicks = 0, oks = 0;
    UINT dpi = 96;
};

TEST_F(Toolkit, PlacesAreTwipsFromTheFormOrTheControlsFrame) {
    RECT client;
    GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, tk::twips(6000, dpi));
    EXPECT_EQ(placeOf(form, L"chkA").left, tk::twips(1500 + 120, dpi));
    EXPECT_EQ(placeOf(form, L"txtK", 2).left, tk::twips(900, dpi));
}

TEST_F(Toolkit, TabFollowsTheGivenPositionsAndSkipsDisabledControls) {
    std::vector<HWND> order{form.item(L"cmdOk")};
    for (int i = 0; i < 4; ++i)
        order.push_back(GetNextDlgTabItem(form.hwnd(), order.back(), FALSE));
    EXPECT_EQ(order, (std::vector<HWND>{form.item(L"cmdOk"), form.item(L"txtK", 1), form.item(L"chkA"),
                                        form.item(L"txtK", 2), form.item(L"cmdOk")}));
}

// The form clips its children, so a frame that left its inside alone showed whatever was there.
TEST_F(Toolkit, AFramePaintsItsInside) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, 50, 50)); // a new bitmap is black
    SendMessageW(form.item(L"fraA"), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(GetPixel(dc, 25, 25), GetSysColor(COLOR_BTNFACE));
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST_F(Toolkit, AUserClickTicksAGreyedBox) {
    form.setCheck(L"chkA", 2);
    click(form, L"chkA");
    EXPECT_EQ(form.check(L"chkA"), 1);
}

TEST_F(Toolkit, CodeChangesRunTheClickHandlerOnlyWhenTheStateChanges) {
    for (int time = 0; time < 2; ++time) {
        form.setCheck(L"chkA", 1);
        form.select(L"cmbA", 2);
    }
    EXPECT_EQ(clicks, 2);
}

// A refused state changes nothing, so it runs no click handler either.
TEST_F(Toolkit, ChecksAndSelectionsOutsideTheirRangeAreRefused) {
    EXPECT_FALSE(form.setCheck(L"chkA", 3));
    EXPECT_FALSE(form.setCheck(L"chkA", -1));
    EXPECT_FALSE(form.select(L"cmbA", 3));
    EXPECT_FALSE(form.select(L"cmbA", -2));
    EXPECT_EQ(clicks, 0);
}

TEST_F(Toolkit, ListsKeepTheOrderOfTheirTable) {
    EXPECT_EQ(form.itemText(L"cmbA", 1), L"a");
}

TEST_F(Toolkit, EnterAndEscapeRunNoButtonAndCloseNothing) {
    for (WORD vk : {VK_RETURN, VK_ESCAPE}) {
        MSG m{form.item(L"chkA"), WM_KEYDOWN, vk, 1, 0, {}};
        IsDialogMessageW(form.hwnd(), &m);
    }
    pump();
    EXPECT_EQ(oks, 0);
    EXPECT_TRUE(form.loaded());
}

TEST_F(Toolkit, ACaptionGrowsThroughFreeSpace) {
    EXPECT_GT(placeOf(form, L"lblFree").right, tk::twips(2000 + 300, dpi));
}

TEST_F(Toolkit, ACaptionGrowsNoFurtherThanTheInsideOfItsFrame) {
    const int edge = GetSystemMetrics(SM_CXEDGE); // a frame's border
    EXPECT_EQ(placeOf(form, L"lblBoxed").right, placeOf(form, L"fraA").right - edge);
}

TEST_F(Toolkit, AOneLineCaptionThatIsCutEndsInAnEllipsis) {
    EXPECT_TRUE(GetWindowLongPtrW(form.item(L"lblBoxed"), GWL_STYLE) & SS_ENDELLIPSIS);
}
