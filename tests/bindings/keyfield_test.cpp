// Key capture as a player meets it: every key message goes through the program's own message
// dispatch (dialog keys, translation to characters), not straight to the field.
#include "bindings/bindings.h"
#include "harness/harness.h"

using namespace harness;

namespace {

constexpr LPARAM kAlt = 1 << 29;
constexpr LPARAM kUp = static_cast<LPARAM>(3u << 30); // previous state down, transition up

void post(HWND target, UINT msg, WPARAM vk, LPARAM lp) {
    PostMessageW(target, msg, vk, lp);
    pump();
}
// Presses and releases while `target` has the focus; system keys as the system sends them with Alt or F10.
void down(HWND target, WORD vk, LPARAM extra = 0, bool system = false) {
    post(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 1 | MapVirtualKeyW(vk, 0) << 16 | extra);
}
void up(HWND target, WORD vk, LPARAM extra = 0, bool system = false) {
    post(target, system ? WM_SYSKEYUP : WM_KEYUP, vk, 1 | MapVirtualKeyW(vk, 0) << 16 | kUp | extra);
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

    HWND focusOn(tk::Form& form, std::wstring_view name, int index) {
        form.show();
        HWND h = form.item(name, index);
        SetFocus(h);
        return h;
    }
};

TEST_F(KeyFields, LettersGiveTheirUpperCaseCodeAndShiftReleasesItsOwn) {
    HWND f = focusOn(vr, L"txtVR", 1);
    stroke(f, 'A');
    EXPECT_EQ(vr.text(L"txtVR", 1), L"65");
    HWND g = focusOn(vr, L"txtVR", 2);
    setShift(true);
    down(g, VK_SHIFT);
    down(g, 'A');
    up(g, 'A');
    EXPECT_EQ(vr.text(L"txtVR", 2), L"65");
    setShift(false);
    up(g, VK_SHIFT);
    EXPECT_EQ(vr.text(L"txtVR", 2), L"16");
    EXPECT_EQ(vr.text(L"txtVR", 4), L"0") << "nothing else changed";
}

TEST_F(KeyFields, EditingAndDialogKeysAreCapturedAndCloseNothing) {
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
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(KeyFields, AltCombinationsAndF10AreCapturedWithoutAMenu) {
    HWND f = focusOn(vr, L"txtVR", 1);
    down(f, VK_MENU, kAlt, true);
    down(f, 'X', kAlt, true);
    up(f, 'X', kAlt, true);
    EXPECT_EQ(vr.text(L"txtVR", 1), L"88");
    up(f, VK_MENU); // after another key, Alt comes up as a plain key release
    EXPECT_EQ(vr.text(L"txtVR", 1), L"18");
    stroke(f, 'Q');
    down(f, VK_F10, 0, true);
    up(f, VK_F10, 0, true);
    EXPECT_EQ(vr.text(L"txtVR", 1), L"121");
    stroke(f, 'W'); // no menu mode took the keyboard
    EXPECT_EQ(vr.text(L"txtVR", 1), L"87");
    EXPECT_EQ(GetFocus(), f);
}

TEST_F(KeyFields, AHeldKeyIsRecordedOnceAtItsRelease) {
    HWND f = focusOn(vr, L"txtVR", 4);
    stroke(f, 'Z');
    down(f, 'D');
    for (int i = 0; i < 5; ++i)
        down(f, 'D', 1 << 30);
    EXPECT_EQ(vr.text(L"txtVR", 4), L"90") << "nothing is typed while the key is held";
    up(f, 'D');
    EXPECT_EQ(vr.text(L"txtVR", 4), L"68");
    up(f, 'K');
    EXPECT_EQ(vr.text(L"txtVR", 4), L"68") << "a release whose press the field never saw changes nothing";
}

// The system takes the press of Print Screen: only its release reaches the window.
TEST_F(KeyFields, PrintScreenIsRecordedFromItsReleaseAlone) {
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
    HWND first = focusOn(gs, L"txtGear", 1), second = gs.item(L"txtGear", 2);
    down(first, VK_TAB);
    EXPECT_EQ(GetFocus(), second);
    up(second, VK_TAB); // the Tab that brought the focus is released in the next field
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
    struct Field {
        tk::Form& form;
        const wchar_t* name;
        int index;
        const wchar_t* after;
    };
    std::vector<Field> fields = {{gs, L"txtUp", 0, L"-1"},
                                 {gs, L"txtDown", 0, L"-1"},
                                 {gs, L"txtUpB", 0, L"-1"},
                                 {gs, L"txtDownB", 0, L"-1"}};
    for (int n = 1; n <= 6; ++n) {
        fields.push_back({gs, L"txtGear", n, L"-1"});
        fields.push_back({gs, L"txtGearB", n, L"-1"});
    }
    for (int n = 1; n <= 4; ++n)
        for (const wchar_t* name : {L"txtVR", L"txtVRb", L"txtCamera"})
            fields.push_back({vr, name, n, std::wstring(name) == L"txtCamera" ? L"513" : L"-1"});
    for (const Field& f : fields) {
        f.form.show();
        type(f.form, f.name, L"513", f.index);
        doubleClick(f.form, f.name, f.index);
        EXPECT_EQ(f.form.text(f.name, f.index), f.after) << f.name << f.index;
    }
}
