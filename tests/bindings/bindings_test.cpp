// Key capture through the program's own message dispatch.
#include "bindings/bindings.h"
#include "harness/harness.h"

using namespace harness;

// Each message posted as the system would, and what the field shows then (-1: as before; kPress: down, up).
TEST_F(WindowTest, AKeyIsRecordedAtTheReleaseOfAPressSeenInTheField) {
    constexpr UINT kPress = 0, kDown = WM_KEYDOWN, kUp = WM_KEYUP, kSysDown = WM_SYSKEYDOWN,
                   kSysUp = WM_SYSKEYUP, kAlt = 1 << 29, kRepeat = 1 << 30;
    // clang-format off
    const std::tuple<UINT, WORD, int, UINT> steps[] = {
        // Letters give their upper case code; editing and dialog keys are keys too and close nothing.
        {kPress, 'A', 65, 0}, {kPress, VK_RETURN, 13, 0}, {kPress, VK_ESCAPE, 27, 0}, {kPress, VK_BACK, 8, 0},
        {kPress, VK_DELETE, 46, 0}, {kPress, VK_UP, 38, 0}, {kPress, VK_F1, 112, 0}, {kPress, VK_SPACE, 32, 0},
        {kPress, '7', 55, 0},
        // Shift held with D, D held long: nothing is typed, D counts at its release, Shift at its own.
        {kDown, VK_SHIFT, -1, 0}, {kDown, 'D', -1, 0}, {kDown, 'D', -1, kRepeat}, {kDown, 'D', -1, kRepeat},
        {kUp, 'D', 68, 0}, {kUp, VK_SHIFT, 16, 0},
        // A release whose press the field never saw changes nothing, but Print Screen's (the system's).
        {kUp, 'K', -1, 0}, {kUp, VK_SNAPSHOT, 44, 0}, {kPress, 'A', 65, 0}, {kSysUp, VK_SNAPSHOT, 44, kAlt},
        {kUp, VK_SCROLL, -1, 0},
        // Alt combinations and F10 are keys too, and open no menu.
        {kSysDown, VK_MENU, -1, kAlt}, {kSysDown, 'X', -1, kAlt}, {kSysUp, 'X', 88, kAlt}, {kUp, VK_MENU, 18, 0},
        {kSysDown, VK_F10, -1, 0}, {kSysUp, VK_F10, 121, 0}, {kPress, 'W', 87, 0},
    };
    // clang-format on
    GameFolder game;
    bindings::frmGS& gs = bindings::gearShiftForm();
    gs.show();
    SetFocus(gs.item(L"txtGear", 1));
    const auto post = [&](UINT msg, WORD vk, LPARAM extra, int shows) {
        const std::wstring before = gs.text(L"txtGear", 1);
        const bool up = msg == WM_KEYUP || msg == WM_SYSKEYUP;
        PostMessageW(GetFocus(), msg, vk, 1 | MapVirtualKeyW(vk, 0) << 16 | (up ? 3u << 30 : 0) | extra);
        pump();
        EXPECT_EQ(gs.text(L"txtGear", 1), shows < 0 ? before : std::to_wstring(shows)) << msg << ':' << vk;
    };
    for (const auto& [msg, vk, shows, extra] : steps) {
        if (msg == kPress)
            post(kDown, vk, 0, -1);
        post(msg ? msg : kUp, vk, extra, shows);
        EXPECT_EQ(GetFocus(), gs.item(L"txtGear", 1)) << "key " << vk;
    }
    // Tab leaves the field, and neither it nor the next field, where Tab is released, records it.
    post(kDown, VK_TAB, 0, -1);
    ASSERT_EQ(GetFocus(), gs.item(L"txtGear", 2));
    post(kUp, VK_TAB, 0, -1);
    EXPECT_EQ(gs.text(L"txtGear", 1) + gs.text(L"txtGear", 2) + gs.text(L"txtGear", 3), L"8700");
    EXPECT_TRUE(rec.messages.empty());
}
