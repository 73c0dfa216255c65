#pragma once
// Every window that saves, as the suites across windows drive them: how a player opens it, the
// files its Ok writes, and their exact bytes after a first Ok with no files and after edit().
#include "app/mainform.h"
#include "harness/harness.h"

#include <map>
#include <stdexcept>

namespace faults {

struct SavingWindow {
    const char* name;
    const wchar_t* form;                    // its table's name
    const char* opener;                     // the saving window whose button opens it
    const wchar_t* button;                  // that button
    std::vector<std::wstring> files;        // relative to the game folder, in the order Ok writes them
    std::vector<std::string> first, edited; // each file after a first Ok, and after edit() and Ok
    std::vector<std::tuple<const wchar_t*, const wchar_t*, size_t>> help = {}; // button, title, text's length
};

// clang-format off
inline const std::vector<SavingWindow>& savingWindows() {
    static const std::vector<SavingWindow> all = {
        {"main", L"Form1", nullptr, nullptr, {L"\\morvex2006.ini", L"\\zelqcfg\\settings.ini"},
         {"DX/ADAPTER = 0\r\nDX/RES/WIDTH = 640\r\nDX/RES/HEIGHT = 480\r\nDX/ANTIALIASING = 0\r\nDX/FOG = 1\r\n"
          "LANGUAGE = 0\r\nDX/WINDOWED = 0\r\n", "[General]\r\nSleepTime=0\r\n"},
         {"DX/ADAPTER = 2\r\nDX/RES/WIDTH = txtXres\r\nDX/RES/HEIGHT = txtYRes\r\nDX/ANTIALIASING = 1\r\nDX/FOG = 1\r\n"
          "LANGUAGE = 4\r\nDX/WINDOWED = 2\r\n", "[General]\r\nSleepTime=txtThrottle\r\n"}},
        {"controls", L"frmControls", "main", L"cmdControls",
         {L"\\zelqcfg\\xinput.ini", L"\\zelqcfg\\ff.ini", L"\\zelqcfg\\settings.ini"},
         {"[General]\r\nEnable=0\r\nGamepad=0\r\nGlobalMultiplier=0\r\n",
          "[General]\r\nEnable=0\r\nJoystickID=0\r\nGlobalMultiplier=0\r\n",
          "[General]\r\nShifterOverride=0\r\nVROverride=0\r\nWheelOverride=0\r\nPedalOverride=0\r\nJSOverride=0\r\n"
          "OVERID=0\r\n"},
         {"[General]\r\nEnable=1\r\nGamepad=4\r\nGlobalMultiplier=txtXIMulti\r\n",
          "[General]\r\nEnable=2\r\nJoystickID=16\r\nGlobalMultiplier=txtFFMulti\r\n",
          "[General]\r\nShifterOverride=1\r\nVROverride=0\r\nWheelOverride=1\r\nPedalOverride=2\r\nJSOverride=0\r\n"
          "OVERID=15\r\n"},
         {{L"Command1", L"Joystick Override", 183}, {L"cmdWHH", L"Wheel Override", 88},
          {L"cmdGH", L"Pedal Override", 168}, {L"cmdVRH", L"VR Override", 83}, {L"cmdGSH", L"Gearshift Override", 80}}},
        {"wheel", L"frmWheel", "controls", L"Command2", {L"\\zelqcfg\\wheel.ini"},
         {"[Wheel]\r\nWMenuOverride=0\r\nJoystickID=0\r\nDeadzone=0\r\n"},
         {"[Wheel]\r\nWMenuOverride=1\r\nJoystickID=16\r\nDeadzone=txtDZ\r\n"}},
        {"pedal", L"frmPedal", "controls", L"cmdPedal", {L"\\zelqcfg\\pedals.ini"},
         {"[Pedals]\r\nJoystickID=0\r\nDeadzone=0\r\nGasAxis=0\r\nGasType=0\r\nBrakeAxis=0\r\nBrakeType=0\r\n"},
         {"[Pedals]\r\nJoystickID=16\r\nDeadzone=txtDZ\r\nGasAxis=5\r\nGasType=2\r\nBrakeAxis=4\r\nBrakeType=1\r\n"}},
        {"gearshift", L"frmGS", "controls", L"cmdGSCFG", {L"\\zelqcfg\\gearshift.ini"},
         {"[GearShift]\r\nType=0\r\nDontBlock=0\r\nUpKey=0\r\nDownKey=0\r\n1Key=0\r\n2Key=0\r\n3Key=0\r\n4Key=0\r\n"
          "5Key=0\r\n6Key=0\r\nJoystickID=0\r\nUpButton=-1\r\nDownButton=-1\r\n1Button=-1\r\n2Button=-1\r\n"
          "3Button=-1\r\n4Button=-1\r\n5Button=-1\r\n6Button=-1\r\n"},
         {"[GearShift]\r\nType=-1\r\nDontBlock=1\r\nUpKey=txtUp\r\nDownKey=txtDown\r\n1Key=txtGear1\r\n2Key=txtGear2\r\n"
          "3Key=txtGear3\r\n4Key=txtGear4\r\n5Key=txtGear5\r\n6Key=txtGear6\r\nJoystickID=16\r\nUpButton=txtUpB\r\n"
          "DownButton=txtDownB\r\n1Button=txtGearB1\r\n2Button=txtGearB2\r\n3Button=txtGearB3\r\n4Button=txtGearB4\r\n"
          "5Button=txtGearB5\r\n6Button=txtGearB6\r\n"}},
        {"viewbuttons", L"frmVR", "controls", L"cmdVRCFG", {L"\\zelqcfg\\vrbuttons.ini"},
         {"[VR]\r\nType=0\r\nVRMenuOverride=0\r\nVRNO2k6=0\r\n1Key=0\r\n2Key=0\r\n3Key=0\r\n4Key=0\r\nCamera1=0\r\n"
          "Camera2=0\r\nCamera3=0\r\nCamera4=0\r\nJoystickID=0\r\n1Button=-1\r\n2Button=-1\r\n3Button=-1\r\n"
          "4Button=-1\r\nUseHat=0\r\n"},
         {"[VR]\r\nType=-1\r\nVRMenuOverride=1\r\nVRNO2k6=2\r\n1Key=txtVR1\r\n2Key=txtVR2\r\n3Key=txtVR3\r\n4Key=txtVR4\r\n"
          "Camera1=txtCamera1\r\nCamera2=txtCamera2\r\nCamera3=txtCamera3\r\nCamera4=txtCamera4\r\nJoystickID=16\r\n"
          "1Button=txtVRb1\r\n2Button=txtVRb2\r\n3Button=txtVRb3\r\n4Button=txtVRb4\r\nUseHat=0\r\n"},
         {{L"cmdCAHelp", L"Information on the Camera System", 728}, {L"cmdMnuOvHelp", L"About VR1 Menu Override", 297}}},
        {"enhancements", L"frmEnhancement", "main", L"Command1", {L"\\zelqcfg\\settings.ini"},
         {"[General]\r\nBroadcastOutputs=0\r\nUseOverlay=0\r\nForceMenusto43=0\r\nArcadeMode=0\r\nEnableBonusCars=0\r\n"
          "EnableBonusSongs=0\r\nUseHUD=0\r\nSlaveorMaster=0\r\nLanCar=0\r\nLanCarMode=0\r\nLanTrans=0\r\n"
          "LanCarColor=0\r\nLanSong=0\r\nLanLobbyName=\r\nLanMaxPlayers=0\r\nLanCourseType=0\r\nLanCarType=0\r\n"
          "LanCourse=0\r\nLanCarClass=0\r\nLanNoCatchUp=0\r\nLanNoCollisions=0\r\n"},
         {"[General]\r\nBroadcastOutputs=1\r\nUseOverlay=1\r\nForceMenusto43=0\r\nArcadeMode=2\r\nEnableBonusCars=2\r\n"
          "EnableBonusSongs=0\r\nUseHUD=2\r\nSlaveorMaster=1\r\nLanCar=14\r\nLanCarMode=1\r\nLanTrans=1\r\n"
          "LanCarColor=7\r\nLanSong=0\r\nLanLobbyName=txtLobbyName\r\nLanMaxPlayers=4\r\nLanCourseType=2\r\n"
          "LanCarType=1\r\nLanCourse=3\r\nLanCarClass=1\r\nLanNoCatchUp=0\r\nLanNoCollisions=1\r\n"}},
    };
    return all;
}
// clang-format on

inline const SavingWindow& windowNamed(std::string_view name) {
    for (const auto& w : savingWindows())
        if (w.name == name)
            return w;
    throw std::invalid_argument("no such window");
}

// Opens the window as a player does: its opener first, then the opener's button.
inline tk::Form& open(const SavingWindow& w) {
    if (w.opener)
        harness::click(open(windowNamed(w.opener)), w.button);
    else
        app::form1().show();
    if (tk::Form* form = tk::Form::loadedNamed(w.form))
        return *form;
    throw std::runtime_error("the button opened no window");
}

// Plays a player who changes every control, so that each key saved shows where it came from: a
// text field gets its own name (after a double click, which clears a key or button field to -1 and
// no other), a list that takes typing a text that is no entry, the lists of one length each a
// different entry, and the check boxes in turn ticked, greyed and clear (all ticked first, so that
// the controls they switch can be edited).
inline void edit(tk::Form& form) {
    using tk::Kind;
    for (const tk::Control& c : form.spec().controls)
        if (c.kind == Kind::CheckBox && form.check(c.name, c.index) != 1)
            harness::click(form, c.name, c.index);
    std::map<int, int> lists;
    for (const tk::Control& c : form.spec().controls) {
        const int n = c.kind == Kind::DropList ? form.count(c.name, c.index) : 0;
        if (!form.enabled(c.name, c.index))
            continue;
        if (c.kind == Kind::TextBox || c.kind == Kind::KeyField || c.kind == Kind::ButtonField) {
            harness::doubleClick(form, c.name, c.index);
            EXPECT_EQ(form.text(c.name, c.index) == L"-1", c.kind != Kind::TextBox) << std::wstring(c.name);
            harness::type(form, c.name, std::wstring(c.name) + (c.index ? std::to_wstring(c.index) : L""),
                          c.index);
        } else if (c.kind == Kind::DropCombo)
            harness::typeChars(form, c.name, L"typed", c.index); // a text that is no item: none selected
        else if (n > 1)
            harness::pick(form, c.name, n - 1 - lists[n]++ % (n - 1), c.index);
    }
    int boxes = 0;
    for (const tk::Control& c : form.spec().controls)
        if (c.kind == Kind::CheckBox)
            form.setCheck(c.name, ++boxes % 3, c.index);
}

// What saves left behind: files in the game folder and the settings folder that are none of the
// program's, and the program's own under the system's temporary folder.
inline std::vector<std::wstring> leftovers(const std::wstring& gameFolder) {
    std::vector<std::wstring> out;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (const std::wstring& name : harness::names(temp))
        if (name.rfind(L"zelq-", 0) == 0)
            out.push_back(temp + name);
    for (const std::wstring folder : {L"", L"\\zelqcfg"})
        for (const std::wstring& name : harness::names(gameFolder + folder))
            if (folder.empty() ? name != L"morvex2006.ini" && name != L"zelqcfg" : !name.ends_with(L".ini"))
                out.push_back(folder + L"\\" + name);
    return out;
}

inline std::string narrow(const std::wstring& s) {
    return std::string(s.begin(), s.end());
}

} // namespace faults
