// Every window at 100% and 150% display scaling, under whatever face the system gives the dialog
// font (CTest runs it a second time in a prefix whose dialog face is a wide one): no control covers
// another, none leaves its frame or the window.
#include "bench/windows.h"
#include "harness/harness.h"

using namespace harness;

namespace {

std::string narrow(std::wstring_view s) {
    return std::string(s.begin(), s.end());
}

// The face the font of a control really resolved to (not the name it asked for).
std::string faceOf(HWND window) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    std::vector<char> buffer(GetOutlineTextMetricsA(dc, 0, nullptr) + sizeof(OUTLINETEXTMETRICA));
    auto* metrics = reinterpret_cast<OUTLINETEXTMETRICA*>(buffer.data());
    const bool measured = GetOutlineTextMetricsA(dc, static_cast<UINT>(buffer.size()), metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return measured ? buffer.data() + reinterpret_cast<size_t>(metrics->otmpFaceName) : "";
}

std::string nameOf(const tk::Control& c) {
    return narrow(c.name) + "(" + std::to_string(c.index) + ")";
}

} // namespace

class Layout : public WindowTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(Layout, NoControlCoversAnotherOrLeavesItsFrame) {
    GameFolder game;
    tk::Form& form = bench::windows()[GetParam()].open();
    const auto& controls = form.spec().controls;
    const std::string face = faceOf(form.item(controls.front().name, controls.front().index));
    if (const auto wanted = rec.environment(L"ZELQ_DIALOG_FACE")) {
        ASSERT_EQ(face, narrow(*wanted)) << "the dialog font is not in the face this run is for";
    }
    const int edge = GetSystemMetrics(SM_CXEDGE); // a frame's border
    for (const UINT dpi : {96u, 144u}) {
        RECT window;
        GetWindowRect(form.hwnd(), &window);
        SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&window));
        SCOPED_TRACE(face + " at " + std::to_string(dpi) + " DPI");
        // Some tables let neighbours share their edge pixel (15 twips), which rounds to two at 150%.
        const int shared = (static_cast<int>(dpi) + 95) / 96;
        RECT client;
        GetClientRect(form.hwnd(), &client);
        std::vector<RECT> places;
        for (const tk::Control& c : controls)
            places.push_back(placeOf(form, c.name, c.index));
        for (size_t i = 0; i < controls.size(); ++i) {
            const tk::Control& a = controls[i];
            RECT room = client;
            if (!a.frame.empty()) {
                const RECT frame = placeOf(form, a.frame); // its caption is on the top border
                room = {frame.left + edge, frame.top + 1, frame.right - edge, frame.bottom - edge};
            }
            const RECT& p = places[i];
            EXPECT_TRUE(p.left >= room.left && p.top >= room.top && p.right <= room.right &&
                        p.bottom <= room.bottom)
                << nameOf(a) << " leaves its frame or the window";
            for (size_t j = i + 1; j < controls.size(); ++j) {
                const tk::Control& b = controls[j];
                RECT both;
                if (a.name != b.frame && b.name != a.frame && IntersectRect(&both, &p, &places[j])) {
                    EXPECT_TRUE(both.right - both.left <= shared || both.bottom - both.top <= shared)
                        << nameOf(a) << " and " << nameOf(b) << " cover each other";
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, Layout, ::testing::Range<size_t>(0, bench::windows().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return narrow(bench::windows()[info.param].form().spec().name);
                         });
