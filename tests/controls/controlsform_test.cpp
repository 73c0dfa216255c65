#include "app/mainform.h"
#include "controls/controlsform.h"
#include "controls/pedalform.h"
#include "controls/wheelform.h"
#include "harness/harness.h"

#include <utility>

using namespace harness;

namespace {

std::wstring systemFolder() {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, n);
}

// Every control whose enabled state a switch can change, with its state when the dialog opens.
const std::pair<const wchar_t*, bool> kXinputGroup[] = {{L"lblgp", false},
                                                        {L"lblximulti", true},
                                                        {L"cmbXID", false},
                                                        {L"cmdXIAdv", false},
                                                        {L"txtXIMulti", true}};
const std::pair<const wchar_t*, bool> kFFGroup[] = {{L"lblffmulti", true},
                                                    {L"lblffdev", false},
                                                    {L"cmbFFID", false},
                                                    {L"cmdFFAdv", false},
                                                    {L"txtFFMulti", false}};
const std::pair<const wchar_t*, bool> kJSGroup[] = {{L"cmbJSO", false}};

// Controls that no switch touches: always enabled, except Label1.
const wchar_t* kAlwaysEnabled[] = {
    L"chkXinput",     L"chkFF",    L"chkJSOver", L"chkEnableWheel", L"chkEnablePedals", L"chkEnableVR",
    L"chkEnableGear", L"Command1", L"cmdWHH",    L"cmdGH",          L"cmdVRH",          L"cmdGSH",
    L"Command2",      L"cmdPedal", L"cmdVRCFG",  L"cmdGSCFG",       L"cmdOk",           L"cmdCancel"};

} // namespace

class ControlsDialog : public WindowTest {
protected:
    GameFolder game;
    controls::frmControls& form = controls::controlsForm();
    std::wstring settingsIni = game.settings(L"settings.ini");
    std::wstring ffIni = game.settings(L"ff.ini");
    std::wstring xinputIni = game.settings(L"xinput.ini");

    template <size_t N>
    void expectGroup(const std::pair<const wchar_t*, bool> (&group)[N], int how, const char* when) {
        // how: -1 the opening states, 0 all disabled, 1 all enabled
        for (const auto& [name, opening] : group)
            EXPECT_EQ(form.enabled(name), how < 0 ? opening : how == 1)
                << when << ": " << std::string(name, name + wcslen(name));
    }
    void expectFixedStates() {
        EXPECT_FALSE(form.enabled(L"Label1"));
        for (const wchar_t* name : kAlwaysEnabled)
            EXPECT_TRUE(form.enabled(name)) << std::string(name, name + wcslen(name));
    }
};

TEST_F(ControlsDialog, OkAppendsTheMissingKeysInOrderAndKeepsEverythingElse) {
    const std::string before = "; Zelq settings\r\n[General]\r\nSleepTime=10\r\nUseOverlay=1\r\n"
                               "LanCar=3\r\n[Other]\r\nShifterOverride=9\r\n";
    write(settingsIni, before);
    form.show();
    EXPECT_EQ(form.check(L"chkEnableGear"), 0);
    EXPECT_EQ(form.selected(L"cmbJSO"), 0);
    EXPECT_EQ(form.selected(L"cmbXID"), -1);
    EXPECT_EQ(form.selected(L"cmbFFID"), 0);
    EXPECT_EQ(form.text(L"txtXIMulti"), L"0");
    EXPECT_EQ(form.text(L"txtFFMulti"), L"0");
    click(form, L"cmdOk");
    EXPECT_FALSE(form.loaded());
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_EQ(read(settingsIni),
              "; Zelq settings\r\n[General]\r\nSleepTime=10\r\nUseOverlay=1\r\nLanCar=3\r\n"
              "ShifterOverride=0\r\nVROverride=0\r\nWheelOverride=0\r\nPedalOverride=0\r\n"
              "JSOverride=0\r\nOVERID=0\r\n[Other]\r\nShifterOverride=9\r\n");
    EXPECT_EQ(read(xinputIni), "[General]\r\nEnable=0\r\nGamepad=0\r\nGlobalMultiplier=0\r\n");
    EXPECT_EQ(read(ffIni), "[General]\r\nEnable=0\r\nJoystickID=0\r\nGlobalMultiplier=0\r\n");
}

TEST_F(ControlsDialog, EditsAreWrittenInPlaceAndOtherKeysSurvive) {
    write(settingsIni, "[General]\r\nOVERID=16\r\nJSOverride=1\r\nPedalOverride=1\r\nExtra=x\r\n");
    write(
        ffIni,
        "; hand edited\r\n[General]\r\nEnable=1\r\nJoystickID=16\r\nGlobalMultiplier= 0.5 \r\nSpring=30\r\n");
    write(xinputIni, "[General]\r\nEnable=1\r\nGamepad=4\r\nGlobalMultiplier=1\r\nLeftMotor=2\r\n");
    form.show();
    EXPECT_EQ(form.selected(L"cmbJSO"), 16);
    EXPECT_EQ(form.selected(L"cmbFFID"), 16);
    EXPECT_EQ(form.selected(L"cmbXID"), 3); // the item "4"
    EXPECT_EQ(form.text(L"txtFFMulti"), L"0.5");
    EXPECT_EQ(form.check(L"chkEnablePedals"), 1);

    pick(form, L"cmbJSO", 7);
    pick(form, L"cmbFFID", 3);
    pick(form, L"cmbXID", 2);
    type(form, L"txtFFMulti", L"0.75");
    type(form, L"txtXIMulti", L"");
    click(form, L"chkEnableGear");
    click(form, L"chkEnablePedals");
    click(form, L"cmdOk");
    EXPECT_EQ(read(settingsIni), "[General]\r\nOVERID=7\r\nJSOverride=1\r\nPedalOverride=0\r\nExtra=x\r\n"
                                 "ShifterOverride=1\r\nVROverride=0\r\nWheelOverride=0\r\n");
    EXPECT_EQ(read(ffIni),
              "; hand edited\r\n[General]\r\nEnable=1\r\nJoystickID=3\r\nGlobalMultiplier=0.75\r\n"
              "Spring=30\r\n");
    EXPECT_EQ(read(xinputIni), "[General]\r\nEnable=1\r\nGamepad=3\r\nGlobalMultiplier=\r\nLeftMotor=2\r\n");

    // The emptied strength reads back as "0"; "None" and no gamepad are stored as 0.
    form.show();
    EXPECT_EQ(form.text(L"txtXIMulti"), L"0");
    pick(form, L"cmbFFID", 0);
    pick(form, L"cmbXID", -1);
    click(form, L"cmdOk");
    EXPECT_NE(read(ffIni).find("JoystickID=0\r\n"), std::string::npos);
    EXPECT_NE(read(xinputIni).find("Gamepad=0\r\n"), std::string::npos);
}

TEST_F(ControlsDialog, DeviceNumbersAreDecodedByTheirOwnRule) {
    // Gamepad is the pad number (position plus one); JoystickID and OVERID are positions.
    write(xinputIni, "[General]\r\nGamepad=1\r\n");
    write(ffIni, "[General]\r\nJoystickID=1\r\n");
    write(settingsIni, "[General]\r\nOVERID=-1\r\n");
    form.show();
    EXPECT_EQ(form.itemText(L"cmbXID", form.selected(L"cmbXID")), L"1");
    EXPECT_EQ(form.itemText(L"cmbFFID", form.selected(L"cmbFFID")), L" 1");
    EXPECT_EQ(form.selected(L"cmbJSO"), -1);
    click(form, L"cmdOk");
    EXPECT_NE(read(xinputIni).find("Gamepad=1\r\n"), std::string::npos);
    EXPECT_NE(read(ffIni).find("JoystickID=1\r\n"), std::string::npos);
    EXPECT_NE(read(settingsIni).find("OVERID=-1\r\n"), std::string::npos);

    // Values that do not convert or that the control refuses count as missing; loading goes on.
    write(xinputIni, "[General]\r\nEnable=3\r\nGamepad=5\r\nGlobalMultiplier=0.3\r\n");
    write(ffIni, "[General]\r\nEnable=one\r\nJoystickID=17\r\nGlobalMultiplier=0.4\r\n");
    write(settingsIni,
          "[General]\r\nShifterOverride=-1\r\nVROverride=1\r\nJSOverride=99999\r\nOVERID=-2\r\n");
    form.show();
    EXPECT_EQ(form.check(L"chkXinput"), 0);
    EXPECT_EQ(form.selected(L"cmbXID"), -1);
    EXPECT_EQ(form.text(L"txtXIMulti"), L"0.3");
    EXPECT_EQ(form.check(L"chkFF"), 0);
    EXPECT_EQ(form.selected(L"cmbFFID"), 0);
    EXPECT_EQ(form.text(L"txtFFMulti"), L"0.4");
    EXPECT_EQ(form.check(L"chkEnableGear"), 0);
    EXPECT_EQ(form.check(L"chkEnableVR"), 1);
    EXPECT_EQ(form.check(L"chkJSOver"), 0);
    EXPECT_EQ(form.selected(L"cmbJSO"), 0);
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(ControlsDialog, ListsHoldTheirItemsWithTheirBlanks) {
    form.show();
    const std::wstring padded[] = {L" 1", L" 2",  L" 3", L" 4", L" 5", L" 6", L" 7", L" 8",
                                   L" 9", L"10 ", L"11", L"12", L"13", L"14", L"15", L"16"};
    ASSERT_EQ(form.count(L"cmbJSO"), 17);
    ASSERT_EQ(form.count(L"cmbFFID"), 17);
    EXPECT_EQ(form.itemText(L"cmbJSO", 0), L" 0");
    EXPECT_EQ(form.itemText(L"cmbFFID", 0), L"None");
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(form.itemText(L"cmbJSO", i + 1), padded[i]);
        EXPECT_EQ(form.itemText(L"cmbFFID", i + 1), padded[i]);
    }
    ASSERT_EQ(form.count(L"cmbXID"), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form.itemText(L"cmbXID", i), std::to_wstring(i + 1));
}

TEST_F(ControlsDialog, SwitchesEnableTheirGroupsWhenLoadedAndWhenClicked) {
    // Loaded clear: the click handling does not run and the opening states stay.
    form.show();
    expectGroup(kXinputGroup, -1, "loaded 0");
    expectGroup(kFFGroup, -1, "loaded 0");
    expectGroup(kJSGroup, -1, "loaded 0");
    expectFixedStates();

    click(form, L"chkXinput");
    click(form, L"chkFF");
    click(form, L"chkJSOver");
    expectGroup(kXinputGroup, 1, "ticked");
    expectGroup(kFFGroup, 1, "ticked");
    expectGroup(kJSGroup, 1, "ticked");
    expectFixedStates();

    click(form, L"chkXinput");
    click(form, L"chkFF");
    click(form, L"chkJSOver");
    expectGroup(kXinputGroup, 0, "cleared");
    expectGroup(kFFGroup, 0, "cleared");
    expectGroup(kJSGroup, 0, "cleared");
    expectFixedStates();
    form.unload();

    // The other overrides switch nothing.
    write(settingsIni,
          "[General]\r\nShifterOverride=1\r\nVROverride=1\r\nWheelOverride=1\r\nPedalOverride=1\r\n");
    form.show();
    expectGroup(kXinputGroup, -1, "overrides");
    expectGroup(kFFGroup, -1, "overrides");
    expectGroup(kJSGroup, -1, "overrides");
    expectFixedStates();
    form.unload();

    for (int state : {1, 2}) {
        const std::string v = std::to_string(state);
        write(xinputIni, "[General]\r\nEnable=" + v + "\r\n");
        write(ffIni, "[General]\r\nEnable=" + v + "\r\n");
        write(settingsIni, "[General]\r\nJSOverride=" + v + "\r\n");
        form.show();
        EXPECT_EQ(form.check(L"chkFF"), state);
        // Ticked enables the whole group; greyed counts as not ticked and disables it.
        expectGroup(kXinputGroup, state == 1, v.c_str());
        expectGroup(kFFGroup, state == 1, v.c_str());
        expectGroup(kJSGroup, state == 1, v.c_str());
        expectFixedStates();
        form.unload();
    }
}

TEST_F(ControlsDialog, HelpButtonsExplainEachOverride) {
    form.show();
    const struct {
        const wchar_t *button, *title, *text;
    } help[] = {
        {L"Command1", L"Joystick Override",
         L"The original game's configuration has trouble saving the correct joystick id when multiple "
         L"controllers "
         L"are plugged in.  Use this to force the game to use the Joystick ID# you provide."},
        {L"cmdWHH", L"Wheel Override",
         L"Enabling this allows Zelq to control the wheel, which allows you to modify the deadzone."},
        {L"cmdGH", L"Pedal Override",
         L"Enabling this allows you to bind the pedals to the axis of your choice.\r\n\r\nWARNING!  This "
         L"feature "
         L"isn't fully implemented and you make have trouble drifting if enabled!"},
        {L"cmdVRH", L"VR Override",
         L"Enabling this allows you to change to individual Cameras via the inputs you define."},
        {L"cmdGSH", L"Gearshift Override",
         L"Enabling this allows you to shift to individual gears via the inputs you define."},
    };
    for (const auto& h : help) {
        rec.messages.clear();
        click(form, h.button);
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(rec.messages[0].title, h.title);
        EXPECT_EQ(rec.messages[0].text, h.text);
        EXPECT_EQ(rec.messages[0].icon, platform::Icon::None);
    }
    EXPECT_TRUE(form.loaded());
}

TEST_F(ControlsDialog, AdvancedSetupStartsTheSystemsNotepadOnTheFile) {
    write(ffIni, "[General]\r\nEnable=1\r\n");
    write(xinputIni, "[General]\r\nEnable=1\r\n");
    write(game.file(L"\\notepad.exe"), "MZ planted"); // must never be the one started
    form.show();
    const std::wstring notepad = systemFolder() + L"\\notepad.exe";
    click(form, L"cmdFFAdv");
    click(form, L"cmdXIAdv");
    ASSERT_EQ(rec.started.size(), 2u);
    EXPECT_EQ(rec.started[0].application, notepad);
    EXPECT_EQ(rec.started[0].commandLine, notepad + L" \"" + game.path() + L"\\zelqcfg\\FF.ini\"");
    EXPECT_EQ(rec.started[0].show, SW_SHOWNORMAL);
    EXPECT_EQ(rec.started[1].application, notepad);
    EXPECT_EQ(rec.started[1].commandLine, notepad + L" \"" + game.path() + L"\\zelqcfg\\Xinput.ini\"");
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
    EXPECT_TRUE(form.loaded());
    EXPECT_EQ(read(ffIni), "[General]\r\nEnable=1\r\n");
}

TEST_F(ControlsDialog, CancelAndTheCloseBoxWriteNothing) {
    const std::string s = "[General]\r\nJSOverride=1\r\n", f = "[General]\r\nEnable=1\r\n",
                      x = "[General]\r\n";
    write(settingsIni, s);
    write(ffIni, f);
    write(xinputIni, x);
    for (bool viaCancel : {true, false}) {
        form.show();
        click(form, L"chkJSOver");
        click(form, L"chkEnableWheel");
        type(form, L"txtFFMulti", L"0.9");
        if (viaCancel)
            click(form, L"cmdCancel");
        else
            closeBox(form);
        EXPECT_FALSE(form.loaded());
        EXPECT_EQ(read(settingsIni), s);
        EXPECT_EQ(read(ffIni), f);
        EXPECT_EQ(read(xinputIni), x);
    }
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(ControlsDialog, AFailedWriteIsReportedAndTheEditsStay) {
    write(xinputIni, "[General]\r\n");
    write(ffIni, "[General]\r\nEnable=0\r\n");
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
    EXPECT_EQ(read(ffIni), "[General]\r\nEnable=0\r\n");
    EXPECT_FALSE(exists(settingsIni)); // nothing after the failed file
    click(form, L"cmdOk");             // the problem is gone: everything is saved
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(read(ffIni), "[General]\r\nEnable=1\r\nJoystickID=0\r\nGlobalMultiplier=0.6\r\n");
    EXPECT_TRUE(exists(settingsIni));
}

TEST_F(ControlsDialog, WithoutASettingsFolderOkTellsAndCreatesNothing) {
    GameFolder bare(false);
    form.show();
    click(form, L"cmdOk");
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_NE(rec.messages[0].text.find(bare.settings(L"xinput.ini")), std::wstring::npos);
    EXPECT_TRUE(form.loaded());
    EXPECT_FALSE(exists(bare.file(L"\\zelqcfg")));
}

TEST_F(ControlsDialog, OpensOnceFromTheMainWindowAndSurvivesItsClosing) {
    app::Form1& main = app::form1();
    main.show();
    click(main, L"cmdControls");
    ASSERT_TRUE(form.loaded());
    EXPECT_EQ(form.opener(), &main);
    HWND first = form.hwnd();
    click(form, L"chkJSOver");
    click(main, L"cmdControls"); // brought forward, not loaded again
    EXPECT_EQ(form.hwnd(), first);
    EXPECT_EQ(form.check(L"chkJSOver"), 1);

    closeBox(main);
    EXPECT_TRUE(form.loaded());
    click(form, L"cmdOk");
    EXPECT_FALSE(form.loaded());
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_NE(read(settingsIni).find("JSOverride=1\r\n"), std::string::npos);
}

TEST_F(ControlsDialog, WheelAndPedalDialogsAreSingleAndOutliveTheController) {
    form.show();
    click(form, L"Command2");
    click(form, L"cmdPedal");
    controls::frmWheel& wheel = controls::wheelForm();
    controls::frmPedal& pedal = controls::pedalForm();
    ASSERT_TRUE(wheel.loaded());
    ASSERT_TRUE(pedal.loaded());
    EXPECT_EQ(wheel.opener(), &form);
    EXPECT_EQ(pedal.opener(), &form);
    type(wheel, L"txtDZ", L"2500");
    type(pedal, L"txtDZ", L"300");
    HWND w = wheel.hwnd(), p = pedal.hwnd();
    click(form, L"Command2");
    click(form, L"cmdPedal");
    EXPECT_EQ(wheel.hwnd(), w);
    EXPECT_EQ(pedal.hwnd(), p);
    EXPECT_EQ(wheel.text(L"txtDZ"), L"2500");
    EXPECT_EQ(pedal.text(L"txtDZ"), L"300");
    EXPECT_EQ(tk::Form::openForms(), 3);

    click(form, L"cmdCancel");
    EXPECT_TRUE(wheel.loaded());
    EXPECT_TRUE(pedal.loaded());
    click(wheel, L"cmdOk");
    click(pedal, L"cmdCancel");
    EXPECT_EQ(tk::Form::openForms(), 0);
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_EQ(read(game.settings(L"wheel.ini")),
              "[Wheel]\r\nWMenuOverride=0\r\nJoystickID=0\r\nDeadzone=2500\r\n");
    EXPECT_FALSE(exists(game.settings(L"pedals.ini")));
}

TEST_F(ControlsDialog, NoControlCoversAnotherOrLeavesItsFrame) {
    for (tk::Form* f :
         std::initializer_list<tk::Form*>{&form, &controls::wheelForm(), &controls::pedalForm()}) {
        f->show();
        const auto& rows = f->spec().controls;
        for (size_t i = 0; i < rows.size(); ++i) {
            const tk::Control& a = rows[i];
            const RECT ra = placeOf(*f, a.name);
            const std::string name(a.name.begin(), a.name.end());
            if (!a.frame.empty()) {
                const RECT rf = placeOf(*f, a.frame);
                EXPECT_TRUE(ra.left > rf.left && ra.right < rf.right && ra.top > rf.top &&
                            ra.bottom < rf.bottom)
                    << name;
            }
            RECT client;
            GetClientRect(f->hwnd(), &client);
            EXPECT_TRUE(ra.right <= client.right && ra.bottom <= client.bottom) << name;
            for (size_t j = i + 1; j < rows.size(); ++j) {
                const tk::Control& b = rows[j];
                if (a.kind == tk::Kind::Frame || b.kind == tk::Kind::Frame || a.frame != b.frame)
                    continue;
                const RECT rb = placeOf(*f, b.name);
                RECT both;
                EXPECT_FALSE(IntersectRect(&both, &ra, &rb))
                    << name << " / " << std::string(b.name.begin(), b.name.end());
            }
        }
    }
}
