// Key capture as a player meets it: every key message goes through the program's own message
// dispatch (dialog keys, translation to characters), not straight to the field.
#include "bindings/bindings.h"
#include "harness/harness.h"

using namespace harness;

namespace {

constexpr LPARAM kAlt = 1 << 29;
constexpr LPARAM kRepeat = 1 << 30;
constexpr LPARAM kUp = static_cast<LPARAM>(3u << 30); // previous state down, transition up
constexpr LPARAM kExtended = 1 << 24;

LPARAM scan(UINT code) {
    return 1 | static_cast<LPARAM>(code << 16);
}

void post(HWND target, UINT msg, WPARAM vk, LPARAM lp) {
    PostMessageW(target, msg, vk, lp);
    pump();
}

// Presses (system keys as the system sends them with Alt or F10) and releases while `target` has the focus.
void down(HWND target, WORD vk, LPARAM extra = 0, bool system = false) {
    post(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, scan(MapVirtualKeyW(vk, 0)) | extra);
}
void up(HWND target, WORD vk, LPARAM extra = 0, bool system = false) {
    post(target, system ? WM_SYSKEYUP : WM_KEYUP, vk, scan(MapVirtualKeyW(vk, 0)) | kUp | extra);
}
void stroke(HWND target, WORD vk) {
    down(target, vk);
    up(target, vk);
}

void setShift(bool held) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

} // namespace

class KeyFields : public WindowTest {
protected:
    GameFolder game;
    bindings::frmVR& vr = bindings::viewButtonForm();
    bindings::frmGS& gs = bindings::gearShiftForm();

    HWND focusOn(tk::Form& form, std::wstring_view name, int index = 0) {
        HWND h = form.item(name, index);
        SetFocus(h);
        return h;
    }
};

TEST_F(KeyFields, LettersGiveTheirUpperCaseCodeAndShiftsReleaseItsOwn) {
    vr.show();
    HWND f = focusOn(vr, L"txtVR", 1);
    stroke(f, 'A');
    EXPECT_EQ(vr.text(L"txtVR", 1), L"65");

    // Shift held with A: A's release gives 65, Shift's own release then 16.
    HWND g = focusOn(vr, L"txtVR", 2);
    setShift(true);
    down(g, VK_SHIFT);
    down(g, 'A');
    up(g, 'A');
    EXPECT_EQ(vr.text(L"txtVR", 2), L"65");
    setShift(false);
    up(g, VK_SHIFT);
    EXPECT_EQ(vr.text(L"txtVR", 2), L"16");

    // Right Shift and right Ctrl give the same codes as the left ones.
    HWND h = focusOn(vr, L"txtVR", 3);
    post(h, WM_KEYDOWN, VK_SHIFT, scan(0x36));
    post(h, WM_KEYUP, VK_SHIFT, scan(0x36) | kUp);
    EXPECT_EQ(vr.text(L"txtVR", 3), L"16");
    post(h, WM_KEYDOWN, VK_CONTROL, scan(0x1D) | kExtended);
    post(h, WM_KEYUP, VK_CONTROL, scan(0x1D) | kExtended | kUp);
    EXPECT_EQ(vr.text(L"txtVR", 3), L"17");
    // Nothing else changed.
    EXPECT_EQ(vr.text(L"txtVR", 4), L"0");
}

TEST_F(KeyFields, EditingAndDialogKeysAreCapturedAndCloseNothing) {
    gs.show();
    HWND f = focusOn(gs, L"txtGear", 3);
    const std::pair<WORD, const wchar_t*> keys[] = {
        {VK_RETURN, L"13"}, {VK_ESCAPE, L"27"}, {VK_BACK, L"8"}, {VK_DELETE, L"46"},
        {VK_UP, L"38"},     {VK_F1, L"112"},    {'7', L"55"},    {VK_SPACE, L"32"},
    };
    for (const auto& [vk, code] : keys) {
        stroke(f, vk);
        EXPECT_EQ(gs.text(L"txtGear", 3), code) << "key " << vk;
        EXPECT_EQ(GetFocus(), f) << "key " << vk;
    }
    EXPECT_TRUE(gs.loaded());
    EXPECT_FALSE(exists(game.settings(L"gearshift.ini")));
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(KeyFields, AltCombinationsAndF10AreCapturedWithoutAMenu) {
    vr.show();
    HWND f = focusOn(vr, L"txtVR", 1);
    down(f, VK_MENU, kAlt, true);
    down(f, 'X', kAlt, true);
    up(f, 'X', kAlt, true);
    EXPECT_EQ(vr.text(L"txtVR", 1), L"88");
    up(f, VK_MENU); // after another key, Alt comes up as a plain key release
    EXPECT_EQ(vr.text(L"txtVR", 1), L"18");

    down(f, VK_MENU, kAlt, true);
    up(f, VK_MENU, 0, true);
    EXPECT_EQ(vr.text(L"txtVR", 1), L"18");
    stroke(f, 'Q');
    down(f, VK_F10, 0, true);
    up(f, VK_F10, 0, true);
    EXPECT_EQ(vr.text(L"txtVR", 1), L"121");
    // No menu mode took the keyboard: the next key still reaches the field.
    stroke(f, 'W');
    EXPECT_EQ(vr.text(L"txtVR", 1), L"87");
    EXPECT_EQ(GetFocus(), f);
    EXPECT_TRUE(vr.loaded());
}

TEST_F(KeyFields, AHeldKeyIsRecordedOnceAtItsRelease) {
    vr.show();
    HWND f = focusOn(vr, L"txtVR", 4);
    stroke(f, 'Z');
    down(f, 'D');
    for (int i = 0; i < 5; ++i)
        down(f, 'D', kRepeat);
    // Nothing typed while held: the field still shows the last key.
    EXPECT_EQ(vr.text(L"txtVR", 4), L"90");
    up(f, 'D');
    EXPECT_EQ(vr.text(L"txtVR", 4), L"68");
    // A release whose press the field never saw changes nothing.
    up(f, 'K');
    EXPECT_EQ(vr.text(L"txtVR", 4), L"68");
}

TEST_F(KeyFields, PrintScreenIsRecordedFromItsReleaseAlone) {
    // The system takes the press of Print Screen: only its release reaches the window.
    vr.show();
    HWND f = focusOn(vr, L"txtVR", 2);
    up(f, VK_SNAPSHOT);
    EXPECT_EQ(vr.text(L"txtVR", 2), L"44");
    stroke(f, 'A');
    up(f, VK_SNAPSHOT, kAlt, true); // Alt+Print Screen
    EXPECT_EQ(vr.text(L"txtVR", 2), L"44");
    up(f, VK_SCROLL);
    EXPECT_EQ(vr.text(L"txtVR", 2), L"44") << "any other key needs its press seen";
}

TEST_F(KeyFields, TabAndShiftTabLeaveTheFieldWithoutRecordingTab) {
    gs.show();
    HWND first = focusOn(gs, L"txtGear", 1);
    down(first, VK_TAB);
    HWND second = gs.item(L"txtGear", 2);
    EXPECT_EQ(GetFocus(), second);
    up(second, VK_TAB); // the Tab that brought the focus is released in the next field
    EXPECT_EQ(gs.text(L"txtGear", 1), L"0");
    EXPECT_EQ(gs.text(L"txtGear", 2), L"0");

    setShift(true);
    down(second, VK_SHIFT);
    down(second, VK_TAB);
    EXPECT_EQ(GetFocus(), first);
    up(first, VK_TAB);
    setShift(false);
    up(first, VK_SHIFT);
    EXPECT_EQ(gs.text(L"txtGear", 1), L"0");
    EXPECT_EQ(gs.text(L"txtGear", 2), L"0");
}

TEST_F(KeyFields, DoubleClickClearsKeyAndButtonFieldsButNotCameraBoxes) {
    write(game.settings(L"gearshift.ini"), "[GearShift]\r\nUpKey=38\r\nUpButton=4\r\n");
    gs.show();
    for (const wchar_t* name : {L"txtUp", L"txtDown", L"txtUpB", L"txtDownB"}) {
        type(gs, name, L"12");
        doubleClick(gs, name);
        EXPECT_EQ(gs.text(name), L"-1") << name;
    }
    for (int n = 1; n <= 6; ++n)
        for (const wchar_t* name : {L"txtGear", L"txtGearB"}) {
            doubleClick(gs, name, n);
            EXPECT_EQ(gs.text(name, n), L"-1") << name << n;
        }

    vr.show();
    for (int n = 1; n <= 4; ++n) {
        type(vr, L"txtCamera", L"513", n);
        for (const wchar_t* name : {L"txtVR", L"txtVRb"}) {
            doubleClick(vr, name, n);
            EXPECT_EQ(vr.text(name, n), L"-1") << name << n;
        }
        doubleClick(vr, L"txtCamera", n);
        EXPECT_EQ(vr.text(L"txtCamera", n), L"513") << n;
    }
}
