// What only the controller dialog does; what every saving window does is in tests/faults.
#include "controls/controlsform.h"
#include "harness/harness.h"

using namespace harness;

class ControlsDialog : public WindowTest {
protected:
    GameFolder game;
    controls::frmControls& form = controls::controlsForm();
};

// Each switch enables its group when loaded ticked and when clicked; loaded clear, the click
// handling does not run, and greyed counts as clear. Label1 and the Configure buttons stay as they are.
TEST_F(ControlsDialog, SwitchesSetTheirGroups) {
    auto states = [&] {
        std::string s;
        for (const wchar_t* name :
             {L"lblgp", L"lblximulti", L"cmbXID", L"cmdXIAdv", L"txtXIMulti", L"", L"lblffmulti", L"lblffdev",
              L"cmbFFID", L"cmdFFAdv", L"txtFFMulti", L"", L"cmbJSO", L"", L"Label1", L"Command2",
              L"cmdPedal", L"cmdVRCFG", L"cmdGSCFG"})
            s += *name ? (form.enabled(name) ? '1' : '0') : ' ';
        return s;
    };
    const std::string on = "11111 11111 1 01111", off = "00000 00000 0 01111";
    for (const std::string state : {"0", "1", "2"}) {
        for (const wchar_t* file : {L"xinput.ini", L"ff.ini"})
            write(game.settings(file), "[General]\r\nEnable=" + state + "\r\n");
        write(game.settings(L"settings.ini"), // the other overrides switch nothing
              "[General]\r\nShifterOverride=1\r\nVROverride=1\r\nWheelOverride=1\r\nPedalOverride=1\r\n"
              "JSOverride=" +
                  state + "\r\n");
        form.show();
        EXPECT_EQ(states(), state == "0" ? "01001 10000 0 01111" : state == "1" ? on : off) << state;
        form.unload();
    }
    form.show(); // greyed boxes: a user's click ticks them
    for (const std::string& expected : {on, off}) {
        for (const wchar_t* box : {L"chkXinput", L"chkFF", L"chkJSOver"})
            click(form, box);
        EXPECT_EQ(states(), expected);
    }
}

TEST_F(ControlsDialog, AdvancedSetupStartsTheSystemsNotepadByItsFullPath) {
    for (const wchar_t* file : {L"xinput.ini", L"ff.ini"})
        write(game.settings(file), "[General]\r\nEnable=1\r\n");
    write(game.file(L"\\notepad.exe"), "MZ planted"); // must never be the one started
    wchar_t folder[MAX_PATH];
    const std::wstring notepad =
        std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH)) + L"\\notepad.exe";
    form.show();
    for (const DWORD error : {DWORD{0}, DWORD{ERROR_FILE_NOT_FOUND}}) {
        rec.startError = error;
        click(form, L"cmdFFAdv");
        click(form, L"cmdXIAdv");
    }
    ASSERT_EQ(rec.started.size(), 4u);
    ASSERT_EQ(rec.messages.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const std::wstring name = i ? L"Xinput.ini" : L"FF.ini";
        EXPECT_EQ(rec.started[i].application, notepad);
        EXPECT_EQ(rec.started[i].commandLine,
                  L"\"" + notepad + L"\" \"" + game.path() + L"\\zelqcfg\\" + name + L"\"");
        EXPECT_EQ(rec.started[i].show, SW_SHOWNORMAL);
        EXPECT_EQ(rec.messages[i].title, L"Can't Find Notepad");
        EXPECT_EQ(rec.messages[i].icon, platform::Icon::Information);
        EXPECT_EQ(rec.messages[i].text, L"For advanced Settings, open your " + (i ? L"Zelq" + name : name) +
                                            L" in the text editor of your choice.");
    }
}
