#include "app/mainform.h"
#include "controls/controlsform.h"
#include "controls/pedalform.h"
#include "controls/wheelform.h"
#include "harness/harness.h"

using namespace harness;

class ControlsDialog : public WindowTest {
protected:
    GameFolder game;
    controls::frmControls& form = controls::controlsForm();
    std::wstring settingsIni = game.settings(L"settings.ini");
    std::wstring ffIni = game.settings(L"ff.ini");
    std::wstring xinputIni = game.settings(L"xinput.ini");

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

TEST_F(ControlsDialog, OkAppendsMissingKeysInOrderAndKeepsEverythingElse) {
    write(settingsIni,
          "; Zelq settings\r\n[General]\r\nSleepTime=10\r\nUseOverlay=1\r\n[Other]\r\nOVERID=9\r\n");
    form.show();
    click(form, L"cmdOk");
    EXPECT_FALSE(form.loaded());
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_EQ(read(settingsIni), "; Zelq settings\r\n[General]\r\nSleepTime=10\r\nUseOverlay=1\r\n"
                                 "ShifterOverride=0\r\nVROverride=0\r\nWheelOverride=0\r\nPedalOverride=0\r\n"
                                 "JSOverride=0\r\nOVERID=0\r\n[Other]\r\nOVERID=9\r\n");
    EXPECT_EQ(read(xinputIni), "[General]\r\nEnable=0\r\nGamepad=0\r\nGlobalMultiplier=0\r\n");
    EXPECT_EQ(read(ffIni), "[General]\r\nEnable=0\r\nJoystickID=0\r\nGlobalMultiplier=0\r\n");
}

TEST_F(ControlsDialog, DeviceNumbersAreStoredEachByItsOwnRule) {
    // Gamepad is the pad number (position plus one); JoystickID and OVERID are positions.
    write(xinputIni, "[General]\r\nEnable=1\r\nGamepad=4\r\nGlobalMultiplier=1\r\nLeftMotor=2\r\n");
    write(ffIni,
          "; by hand\r\n[General]\r\nEnable=1\r\nJoystickID=10\r\nGlobalMultiplier= 0.5 \r\nSpring=3\r\n");
    write(settingsIni, "[General]\r\nOVERID=-1\r\nJSOverride=1\r\n");
    form.show();
    EXPECT_EQ(form.itemText(L"cmbXID", form.selected(L"cmbXID")), L"4");
    EXPECT_EQ(form.itemText(L"cmbFFID", form.selected(L"cmbFFID")), L"10 ");
    EXPECT_EQ(form.selected(L"cmbJSO"), -1);
    EXPECT_EQ(form.text(L"txtFFMulti"), L"0.5");
    pick(form, L"cmbXID", 0);
    pick(form, L"cmbFFID", 3);
    type(form, L"txtXIMulti", L"");
    click(form, L"cmdOk");
    EXPECT_EQ(read(xinputIni), "[General]\r\nEnable=1\r\nGamepad=1\r\nGlobalMultiplier=\r\nLeftMotor=2\r\n");
    EXPECT_EQ(read(ffIni),
              "; by hand\r\n[General]\r\nEnable=1\r\nJoystickID=3\r\nGlobalMultiplier=0.5\r\nSpring=3\r\n");
    EXPECT_NE(read(settingsIni).find("[General]\r\nOVERID=-1\r\nJSOverride=1\r\n"), std::string::npos);

    form.show();
    EXPECT_EQ(form.text(L"txtXIMulti"), L"0"); // an empty value reads as missing
    EXPECT_EQ(form.itemText(L"cmbJSO", 0), L" 0");
    pick(form, L"cmbXID", -1);
    pick(form, L"cmbFFID", 0);
    pick(form, L"cmbJSO", 16);
    click(form, L"cmdOk");
    EXPECT_NE(read(xinputIni).find("Gamepad=0\r\n"), std::string::npos);
    EXPECT_NE(read(ffIni).find("JoystickID=0\r\n"), std::string::npos);
    EXPECT_NE(read(settingsIni).find("OVERID=16\r\n"), std::string::npos);

    // Values that do not convert or that the control refuses count as missing; loading goes on.
    write(xinputIni, "[General]\r\nEnable=3\r\nGamepad=5\r\nGlobalMultiplier=0.3\r\n");
    write(ffIni, "[General]\r\nEnable=one\r\nJoystickID=17\r\n");
    write(settingsIni, "[General]\r\nVROverride=1\r\nJSOverride=99999\r\nOVERID=-2\r\n");
    form.show();
    EXPECT_EQ(form.check(L"chkXinput"), 0);
    EXPECT_EQ(form.selected(L"cmbXID"), -1);
    EXPECT_EQ(form.text(L"txtXIMulti"), L"0.3");
    EXPECT_EQ(form.check(L"chkFF"), 0);
    EXPECT_EQ(form.selected(L"cmbFFID"), 0);
    EXPECT_EQ(form.check(L"chkEnableVR"), 1);
    EXPECT_EQ(form.check(L"chkJSOver"), 0);
    EXPECT_EQ(form.selected(L"cmbJSO"), 0);
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(ControlsDialog, SwitchesSetTheirGroupsWhenLoadedTickedAndWhenClicked) {
    const std::string opening = "01001 10000 0 01111", on = "11111 11111 1 01111",
                      off = "00000 00000 0 01111";
    for (const char* state : {"0", "1", "2"}) {
        write(xinputIni, std::string("[General]\r\nEnable=") + state + "\r\n");
        write(ffIni, std::string("[General]\r\nEnable=") + state + "\r\n");
        // The other overrides switch nothing.
        write(settingsIni, std::string("[General]\r\nShifterOverride=1\r\nVROverride=1\r\nWheelOverride=1\r\n"
                                       "PedalOverride=1\r\nJSOverride=") +
                               state + "\r\n");
        form.show();
        // Loaded clear, the click handling does not run; greyed counts as not ticked.
        EXPECT_EQ(states(), *state == '0' ? opening : *state == '1' ? on : off) << state;
        form.unload();
    }
    form.show(); // greyed boxes: a user's click ticks them
    for (const wchar_t* box : {L"chkXinput", L"chkFF", L"chkJSOver"})
        click(form, box);
    EXPECT_EQ(states(), on);
    for (const wchar_t* box : {L"chkXinput", L"chkFF", L"chkJSOver"})
        click(form, box);
    EXPECT_EQ(states(), off);
}

TEST_F(ControlsDialog, AdvancedSetupStartsTheSystemsNotepadByItsFullPath) {
    write(ffIni, "[General]\r\nEnable=1\r\n");
    write(xinputIni, "[General]\r\nEnable=1\r\n");
    write(game.file(L"\\notepad.exe"), "MZ planted"); // must never be the one started
    form.show();
    wchar_t folder[MAX_PATH];
    const std::wstring notepad =
        std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH)) + L"\\notepad.exe";
    click(form, L"cmdFFAdv");
    click(form, L"cmdXIAdv");
    ASSERT_EQ(rec.started.size(), 2u);
    EXPECT_EQ(rec.started[0].application, notepad);
    EXPECT_EQ(rec.started[0].commandLine, L"\"" + notepad + L"\" \"" + game.path() + L"\\zelqcfg\\FF.ini\"");
    EXPECT_EQ(rec.started[0].show, SW_SHOWNORMAL);
    EXPECT_EQ(rec.started[1].application, notepad);
    EXPECT_EQ(rec.started[1].commandLine,
              L"\"" + notepad + L"\" \"" + game.path() + L"\\zelqcfg\\Xinput.ini\"");
    EXPECT_TRUE(rec.messages.empty());

    rec.startError = ERROR_FILE_NOT_FOUND;
    click(form, L"cmdFFAdv");
    click(form, L"cmdXIAdv");
    ASSERT_EQ(rec.messages.size(), 2u);
    for (const Message& m : rec.messages) {
        EXPECT_EQ(m.title, L"Can't Find Notepad");
        EXPECT_EQ(m.icon, platform::Icon::Information);
    }
    EXPECT_EQ(rec.messages[0].text,
              L"For advanced Settings, open your FF.ini in the text editor of your choice.");
    EXPECT_EQ(rec.messages[1].text,
              L"For advanced Settings, open your ZelqXinput.ini in the text editor of your choice.");

    rec.messages.clear(); // the pedal help keeps its empty line
    click(form, L"cmdGH");
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_NE(rec.messages[0].text.find(L"choice.\r\n\r\nWARNING!  This"), std::wstring::npos);
    EXPECT_TRUE(form.loaded());
}

TEST_F(ControlsDialog, CancelAndCloseBoxWriteNothingAndFailedWritesKeepTheEdits) {
    const std::string s = "[General]\r\nJSOverride=1\r\n", f = "[General]\r\nEnable=0\r\n";
    write(settingsIni, s);
    write(ffIni, f);
    for (bool viaCancel : {true, false}) {
        form.show();
        click(form, L"chkJSOver");
        click(form, L"chkEnableWheel");
        viaCancel ? click(form, L"cmdCancel") : closeBox(form);
        EXPECT_FALSE(form.loaded());
        EXPECT_EQ(read(settingsIni), s);
        EXPECT_EQ(read(ffIni), f);
        EXPECT_FALSE(exists(xinputIni));
    }

    form.show();
    click(form, L"chkFF");
    type(form, L"txtFFMulti", L"0.6");
    {
        Lock lock(ffIni);
        click(form, L"cmdOk");
    }
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
    EXPECT_NE(rec.messages[0].text.find(ffIni), std::wstring::npos);
    EXPECT_TRUE(form.loaded());
    EXPECT_EQ(form.text(L"txtFFMulti"), L"0.6");
    EXPECT_EQ(read(settingsIni), s); // nothing after the file that failed
    click(form, L"cmdOk");           // the problem is gone: everything is saved
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(read(ffIni), "[General]\r\nEnable=1\r\nJoystickID=0\r\nGlobalMultiplier=0.6\r\n");

    GameFolder bare(false);
    form.show();
    click(form, L"cmdOk");
    ASSERT_EQ(rec.messages.size(), 2u);
    EXPECT_NE(rec.messages[1].text.find(bare.settings(L"xinput.ini")), std::wstring::npos);
    EXPECT_TRUE(form.loaded());
    EXPECT_FALSE(exists(bare.file(L"\\zelqcfg")));
}

TEST_F(ControlsDialog, EachDialogIsSingleAndOutlivesTheWindowThatOpenedIt) {
    app::Form1& main = app::form1();
    controls::frmWheel& wheel = controls::wheelForm();
    controls::frmPedal& pedal = controls::pedalForm();
    main.show();
    click(main, L"cmdControls");
    ASSERT_TRUE(form.loaded());
    click(form, L"Command2");
    click(form, L"cmdPedal");
    ASSERT_TRUE(wheel.loaded() && pedal.loaded());
    EXPECT_EQ(form.opener(), &main);
    EXPECT_EQ(wheel.opener(), &form);
    EXPECT_EQ(pedal.opener(), &form);
    click(form, L"chkJSOver");
    type(wheel, L"txtDZ", L"2500");
    type(pedal, L"txtDZ", L"300");
    // Pressed again: brought forward, not loaded again, edits kept.
    click(main, L"cmdControls");
    click(form, L"Command2");
    click(form, L"cmdPedal");
    EXPECT_EQ(tk::Form::openForms(), 4);
    EXPECT_EQ(form.check(L"chkJSOver"), 1);
    EXPECT_EQ(wheel.text(L"txtDZ"), L"2500");
    EXPECT_EQ(pedal.text(L"txtDZ"), L"300");

    closeBox(main);
    click(form, L"cmdOk");
    click(wheel, L"cmdOk");
    click(pedal, L"cmdCancel");
    EXPECT_EQ(tk::Form::openForms(), 0);
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_NE(read(settingsIni).find("JSOverride=1\r\n"), std::string::npos);
    EXPECT_EQ(read(game.settings(L"wheel.ini")),
              "[Wheel]\r\nWMenuOverride=0\r\nJoystickID=0\r\nDeadzone=2500\r\n");
    EXPECT_FALSE(exists(game.settings(L"pedals.ini")));
}
