// What only the controller dialog does; what every saving window does is in tests/faults.
#include "app/mainform.h"
#include "controls/controlsform.h"
#include "harness/harness.h"

using namespace harness;

class ControlsDialog : public WindowTest {
protected:
    GameFolder game;
    controls::frmControls& form = controls::controlsForm();

    // 1 or 0 for each control whose state can change: the rumble group, the force feedback group,
    // the joystick list, then Label1 and the four Configure buttons, which no switch touches.
    std::string states() {
        std::string s;
        for (const wchar_t* name :
             {L"lblgp", L"lblximulti", L"cmbXID", L"cmdXIAdv", L"txtXIMulti", L"", L"lblffmulti", L"lblffdev",
              L"cmbFFID", L"cmdFFAdv", L"txtFFMulti", L"", L"cmbJSO", L"", L"Label1", L"Command2",
              L"cmdPedal", L"cmdVRCFG", L"cmdGSCFG"})
            s += *name ? (form.enabled(name) ? '1' : '0') : ' ';
        return s;
    }
};

TEST_F(ControlsDialog, SwitchesSetTheirGroupsWhenLoadedTickedAndWhenClicked) {
    const std::string opening = "01001 10000 0 01111", on = "11111 11111 1 01111",
                      off = "00000 00000 0 01111";
    for (const char* state : {"0", "1", "2"}) {
        for (const wchar_t* file : {L"xinput.ini", L"ff.ini"})
            write(game.settings(file), std::string("[General]\r\nEnable=") + state + "\r\n");
        // The other overrides switch nothing.
        write(game.settings(L"settings.ini"),
              std::string("[General]\r\nShifterOverride=1\r\nVROverride=1\r\n"
                          "WheelOverride=1\r\nPedalOverride=1\r\nJSOverride=") +
                  state + "\r\n");
        form.show();
        // Loaded clear, the click handling does not run; greyed counts as not ticked.
        EXPECT_EQ(states(), *state == '0' ? opening : *state == '1' ? on : off) << state;
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
    form.show();
    wchar_t folder[MAX_PATH];
    const std::wstring notepad =
        std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH)) + L"\\notepad.exe";
    click(form, L"cmdFFAdv");
    click(form, L"cmdXIAdv");
    ASSERT_EQ(rec.started.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(rec.started[i].application, notepad);
        EXPECT_EQ(rec.started[i].commandLine, L"\"" + notepad + L"\" \"" + game.path() + L"\\zelqcfg\\" +
                                                  (i ? L"Xinput.ini\"" : L"FF.ini\""));
        EXPECT_EQ(rec.started[i].show, SW_SHOWNORMAL);
    }
    EXPECT_TRUE(rec.messages.empty());

    rec.startError = ERROR_FILE_NOT_FOUND;
    click(form, L"cmdFFAdv");
    click(form, L"cmdXIAdv");
    click(form, L"cmdGH"); // the pedal help keeps its empty line
    ASSERT_EQ(rec.messages.size(), 3u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(rec.messages[i].title, L"Can't Find Notepad");
        EXPECT_EQ(rec.messages[i].icon, platform::Icon::Information);
        EXPECT_EQ(rec.messages[i].text, std::wstring(L"For advanced Settings, open your ") +
                                            (i ? L"ZelqXinput.ini" : L"FF.ini") +
                                            L" in the text editor of your choice.");
    }
    EXPECT_NE(rec.messages[2].text.find(L"choice.\r\n\r\nWARNING!  This"), std::wstring::npos);
    EXPECT_TRUE(form.loaded());
}

// Each dialog exists once: pressed again, its button brings it forward with its edits. The dialogs
// outlive the windows that opened them.
TEST_F(ControlsDialog, EachDialogIsSingleAndOutlivesItsOpener) {
    struct Opens {
        const wchar_t *button, *form, *field;
        tk::Form* dialog = nullptr;
    } opens[] = {{L"Command2", L"frmWheel", L"txtDZ"},
                 {L"cmdPedal", L"frmPedal", L"txtDZ"},
                 {L"cmdGSCFG", L"frmGS", L"txtUp"},
                 {L"cmdVRCFG", L"frmVR", L"cmbType"}};
    app::Form1& main = app::form1();
    main.show();
    click(main, L"cmdControls");
    for (Opens& o : opens) {
        click(form, o.button);
        ASSERT_TRUE((o.dialog = tk::Form::loadedNamed(o.form)));
        EXPECT_EQ(o.dialog->opener(), &form);
        type(*o.dialog, o.field, L"38");
    }
    click(main, L"cmdControls");
    EXPECT_EQ(form.opener(), &main);
    for (Opens& o : opens) {
        const HWND first = o.dialog->hwnd();
        click(form, o.button);
        EXPECT_EQ(o.dialog->hwnd(), first);
        EXPECT_EQ(o.dialog->text(o.field), L"38");
    }
    EXPECT_EQ(tk::Form::openForms(), 6);
    closeBox(main);
    click(form, L"cmdCancel");
    for (Opens& o : opens)
        click(*o.dialog, L"cmdCancel");
    EXPECT_EQ(tk::Form::openForms(), 0);
    EXPECT_TRUE(rec.messages.empty());
}
