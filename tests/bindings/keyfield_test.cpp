// Key capture as a player meets it: every key message goes through the program's own message
// dispatch (dialog keys, translation to characters), not straight to the field.
#include "bindings/bindings.h"
#include "harness/harness.h"

using namespace harness;

namespace {

constexpr LPARAM kAlt = 1 << 29, kRepeat = 1 << 30;
constexpr UINT kDown = WM_KEYDOWN, kUp = WM_KEYUP, kSysDown = WM_SYSKEYDOWN, kSysUp = WM_SYSKEYUP;

// Posts a press or release to the focused field, as the system would, and lets the program's
// message loop dispatch it.
void key(HWND field, UINT msg, WORD vk, LPARAM extra = 0) {
    const bool up = msg == WM_KEYUP || msg == WM_SYSKEYUP;
    PostMessageW(field, msg, vk, 1 | MapVirtualKeyW(vk, 0) << 16 | (up ? 3u << 30 : 0) | extra);
    pump();
}

} // namespace

class KeyFields : public WindowTest {
protected:
    GameFolder game;
    bindings::frmGS& gs = bindings::gearShiftForm();
};

// Each message in turn, and what the field shows after it; the field keeps the focus throughout.
TEST_F(KeyFields, AKeyIsRecordedAtTheReleaseOfAPressSeenInTheField) {
    // clang-format off
    const std::tuple<UINT, WORD, LPARAM, const wchar_t*> steps[] = {
        // Letters give their upper case code; editing and dialog keys are keys too and close nothing.
        {kDown, 'A', 0, L"0"}, {kUp, 'A', 0, L"65"}, {kDown, VK_RETURN, 0, L"65"}, {kUp, VK_RETURN, 0, L"13"},
        {kDown, VK_ESCAPE, 0, L"13"}, {kUp, VK_ESCAPE, 0, L"27"}, {kDown, VK_BACK, 0, L"27"},
        {kUp, VK_BACK, 0, L"8"}, {kDown, VK_DELETE, 0, L"8"}, {kUp, VK_DELETE, 0, L"46"}, {kDown, VK_UP, 0, L"46"},
        {kUp, VK_UP, 0, L"38"}, {kDown, VK_F1, 0, L"38"}, {kUp, VK_F1, 0, L"112"}, {kDown, VK_SPACE, 0, L"112"},
        {kUp, VK_SPACE, 0, L"32"}, {kDown, '7', 0, L"32"}, {kUp, '7', 0, L"55"},
        // Shift held with D, D held long: nothing is typed, D counts at its release, Shift at its own.
        {kDown, VK_SHIFT, 0, L"55"}, {kDown, 'D', 0, L"55"}, {kDown, 'D', kRepeat, L"55"},
        {kDown, 'D', kRepeat, L"55"}, {kUp, 'D', 0, L"68"}, {kUp, VK_SHIFT, 0, L"16"},
        // A release whose press the field never saw changes nothing, but for Print Screen, whose press
        // the system takes.
        {kUp, 'K', 0, L"16"}, {kUp, VK_SNAPSHOT, 0, L"44"}, {kDown, 'A', 0, L"44"}, {kUp, 'A', 0, L"65"},
        {kSysUp, VK_SNAPSHOT, kAlt, L"44"}, {kUp, VK_SCROLL, 0, L"44"},
        // Alt combinations and F10 are keys too, and open no menu.
        {kSysDown, VK_MENU, kAlt, L"44"}, {kSysDown, 'X', kAlt, L"44"}, {kSysUp, 'X', kAlt, L"88"},
        {kUp, VK_MENU, 0, L"18"}, {kSysDown, VK_F10, 0, L"18"}, {kSysUp, VK_F10, 0, L"121"},
        {kDown, 'W', 0, L"121"}, {kUp, 'W', 0, L"87"},
    };
    // clang-format on
    gs.show();
    HWND f = gs.item(L"txtGear", 1);
    SetFocus(f);
    for (const auto& [msg, vk, extra, shows] : steps) {
        key(f, msg, vk, extra);
        EXPECT_EQ(gs.text(L"txtGear", 1), shows) << "message " << msg << " key " << vk;
        EXPECT_EQ(GetFocus(), f) << "message " << msg << " key " << vk;
    }
    // Tab leaves the field, and neither it nor the next field, where Tab is released, records it.
    key(f, kDown, VK_TAB);
    ASSERT_EQ(GetFocus(), gs.item(L"txtGear", 2));
    key(GetFocus(), kUp, VK_TAB);
    EXPECT_EQ(gs.text(L"txtGear", 1) + gs.text(L"txtGear", 2) + gs.text(L"txtGear", 3), L"8700");
    EXPECT_TRUE(rec.messages.empty());
}
