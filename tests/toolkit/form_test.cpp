// The toolkit through a small form of its own: places in twips, tab order, check boxes and lists with
// the states they accept and the click handling that code changes run, captions that fit, loading.
#include "harness/harness.h"
#include "toolkit/dpi.h"

using namespace harness;
using tk::Kind;

namespace {

constexpr wchar_t kLong[] = L"A caption far longer than the place its table gives it";

// clang-format off
tk::FormSpec sampleSpec() {
    return {.name = L"frmSample", .caption = L"Sample", .width = 6000, .height = 4500, .controls = {
        {.name = L"fraA", .kind = Kind::Frame, .caption = L"Group", .left = 1500, .top = 1500, .width = 3000, .height = 2000},
        {.name = L"chkA", .kind = Kind::CheckBox, .caption = L"Switch", .left = 120, .top = 240, .width = 1500, .height = 255, .tab = 2, .frame = L"fraA"},
        {.name = L"cmbA", .kind = Kind::DropList, .left = 120, .top = 600, .width = 1500, .height = 315, .tab = 3, .enabled = false, .frame = L"fraA", .items = {L"b", L"a", L"c"}},
        {.name = L"lblBoxed", .kind = Kind::Label, .caption = kLong, .left = 1800, .top = 240, .width = 600, .height = 195, .frame = L"fraA"},
        {.name = L"lblFree", .kind = Kind::Label, .caption = L"Free to grow", .left = 2000, .top = 120, .width = 300, .height = 195},
        {.name = L"txtK", .kind = Kind::KeyField, .caption = L"Text1", .left = 120, .top = 120, .width = 600, .height = 405, .tab = 1, .index = 1},
        {.name = L"txtK", .kind = Kind::KeyField, .caption = L"Text1", .left = 900, .top = 120, .width = 600, .height = 405, .tab = 4, .index = 2},
        {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 120, .top = 3900, .width = 1200, .height = 375, .tab = 0},
    }};
}
// clang-format on

struct Sample : tk::Form {
    Sample() : Form(sampleSpec()) {
        onClick(L"chkA", [this](int) { ++clicks; });
        onClick(L"cmbA", [this](int) { ++clicks; });
        onClick(L"cmdOk", [this](int) { ++oks; });
    }
    void onLoad() override { ++loads; }
    int clicks = 0, oks = 0, loads = 0;
};

} // namespace

class Toolkit : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        form.show();
        dpi = tk::dpiOf(form.hwnd());
    }
    GameFolder game;
    Sample form;
    UINT dpi = 96;
};

TEST_F(Toolkit, PlacesTheClientAreaInTwips) {
    RECT client;
    GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, tk::twips(6000, dpi));
    EXPECT_EQ(client.bottom, tk::twips(4500, dpi));
}

TEST_F(Toolkit, PlacesControlsInTwipsFromTheirFrame) {
    const RECT framed = placeOf(form, L"chkA");
    EXPECT_EQ(framed.left, tk::twips(1500 + 120, dpi));
    EXPECT_EQ(framed.top, tk::twips(1500 + 240, dpi));
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
    EXPECT_TRUE(form.setCheck(L"chkA", 1));
    EXPECT_TRUE(form.setCheck(L"chkA", 1));
    EXPECT_TRUE(form.select(L"cmbA", 2));
    EXPECT_TRUE(form.select(L"cmbA", 2));
    EXPECT_EQ(form.clicks, 2);
}

TEST_F(Toolkit, ChecksAndSelectionsOutsideTheirRangeAreRefused) {
    EXPECT_FALSE(form.setCheck(L"chkA", 3));
    EXPECT_FALSE(form.setCheck(L"chkA", -1));
    EXPECT_FALSE(form.select(L"cmbA", 3));
    EXPECT_FALSE(form.select(L"cmbA", -2));
    EXPECT_EQ(form.check(L"chkA"), 0);
    EXPECT_EQ(form.selected(L"cmbA"), -1);
    EXPECT_EQ(form.clicks, 0);
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
    EXPECT_EQ(form.oks, 0);
    EXPECT_TRUE(form.loaded());
}

TEST_F(Toolkit, ShowingALoadedFormDoesNotLoadItAgain) {
    const HWND first = form.hwnd();
    form.show();
    EXPECT_EQ(form.hwnd(), first);
    EXPECT_EQ(form.loads, 1);
}

TEST_F(Toolkit, DismissedAfterItsOpenerClosedAFormJustCloses) {
    closeBox(form);
    Sample opener;
    opener.show();
    form.show(&opener);
    opener.unload();
    form.dismiss();
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(opener.loaded());
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
