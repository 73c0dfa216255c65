#pragma once
// Every window that saves: how a player opens it, the files its Ok writes and their exact bytes.
#include "app/mainform.h"
#include "harness/harness.h"

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>

namespace faults {

// One line of a file that a window writes.
struct Line {
    const char* key;              // the line up to its value ("SleepTime=", "DX/FOG = "), or all of it
    const char* first = nullptr;  // the value after a first Ok; none for a line without one
    const char* edited = nullptr; // the value after edit() and Ok, when it differs from the first
    // edit() types each text field's own name, and a text field keeps whatever it reads.
    bool typed() const { return edited && std::string_view(edited).starts_with("txt"); }
};

struct SavingWindow {
    const char* name;
    const wchar_t* form;                  // its table's name
    const char* opener;                   // the saving window whose button opens it
    const wchar_t* button;                // that button
    std::vector<std::wstring> files;      // relative to the game folder, in the order Ok writes them
    std::vector<std::vector<Line>> lines; // each file's

    // Each file's bytes, with the value of each line that has one given by `value`.
    std::vector<std::string> bytes(const std::function<std::string(const Line&)>& value) const {
        std::vector<std::string> out;
        for (const std::vector<Line>& file : lines) {
            out.emplace_back();
            for (const Line& l : file)
                out.back() += l.key + (l.first ? value(l) : std::string()) + "\r\n";
        }
        return out;
    }
    std::vector<std::string> first() const {
        return bytes([](const Line& l) { return l.first; });
    }
    std::vector<std::string> edited() const {
        return bytes([](const Line& l) { return l.edited ? l.edited : l.first; });
    }
};

// clang-format off
inline const std::vector<SavingWindow>& savingWindows() {
    static const std::vector<SavingWindow> all = {
        {"main", L"Form1", nullptr, nullptr, {L"\\morvex2006.ini", L"\\zelqcfg\\settings.ini"},
         {{{"DX/ADAPTER = ", "0", "2"}, {"DX/RES/WIDTH = ", "640", "txtXres"}, {"DX/RES/HEIGHT = ", "480", "txtYRes"},
           {"DX/ANTIALIASING = ", "0", "1"}, {"DX/FOG = ", "1"}, {"LANGUAGE = ", "0", "4"}, {"DX/WINDOWED = ", "0", "2"}},
          {{"[General]"}, {"SleepTime=", "0", "txtThrottle"}}}},
        {"controls", L"frmControls", "main", L"cmdControls",
         {L"\\zelqcfg\\xinput.ini", L"\\zelqcfg\\ff.ini", L"\\zelqcfg\\settings.ini"},
         {{{"[General]"}, {"Enable=", "0", "1"}, {"Gamepad=", "0", "4"}, {"GlobalMultiplier=", "0", "txtXIMulti"}},
          {{"[General]"}, {"Enable=", "0", "2"}, {"JoystickID=", "0", "16"}, {"GlobalMultiplier=", "0", "txtFFMulti"}},
          {{"[General]"}, {"ShifterOverride=", "0", "1"}, {"VROverride=", "0"}, {"WheelOverride=", "0", "1"},
           {"PedalOverride=", "0", "2"}, {"JSOverride=", "0"}, {"OVERID=", "0", "15"}}}},
        {"wheel", L"frmWheel", "controls", L"Command2", {L"\\zelqcfg\\wheel.ini"},
         {{{"[Wheel]"}, {"WMenuOverride=", "0", "1"}, {"JoystickID=", "0", "16"}, {"Deadzone=", "0", "txtDZ"}}}},
        {"pedal", L"frmPedal", "controls", L"cmdPedal", {L"\\zelqcfg\\pedals.ini"},
         {{{"[Pedals]"}, {"JoystickID=", "0", "16"}, {"Deadzone=", "0", "txtDZ"}, {"GasAxis=", "0", "5"},
           {"GasType=", "0", "2"}, {"BrakeAxis=", "0", "4"}, {"BrakeType=", "0", "1"}}}},
        {"gearshift", L"frmGS", "controls", L"cmdGSCFG", {L"\\zelqcfg\\gearshift.ini"},
         {{{"[GearShift]"}, {"Type=", "0", "-1"}, {"DontBlock=", "0", "1"}, {"UpKey=", "0", "txtUp"},
           {"DownKey=", "0", "txtDown"}, {"1Key=", "0", "txtGear1"}, {"2Key=", "0", "txtGear2"}, {"3Key=", "0", "txtGear3"},
           {"4Key=", "0", "txtGear4"}, {"5Key=", "0", "txtGear5"}, {"6Key=", "0", "txtGear6"}, {"JoystickID=", "0", "16"},
           {"UpButton=", "-1", "txtUpB"}, {"DownButton=", "-1", "txtDownB"}, {"1Button=", "-1", "txtGearB1"},
           {"2Button=", "-1", "txtGearB2"}, {"3Button=", "-1", "txtGearB3"}, {"4Button=", "-1", "txtGearB4"},
           {"5Button=", "-1", "txtGearB5"}, {"6Button=", "-1", "txtGearB6"}}}},
        {"viewbuttons", L"frmVR", "controls", L"cmdVRCFG", {L"\\zelqcfg\\vrbuttons.ini"},
         {{{"[VR]"}, {"Type=", "0", "-1"}, {"VRMenuOverride=", "0", "1"}, {"VRNO2k6=", "0", "2"}, {"1Key=", "0", "txtVR1"},
           {"2Key=", "0", "txtVR2"}, {"3Key=", "0", "txtVR3"}, {"4Key=", "0", "txtVR4"}, {"Camera1=", "0", "txtCamera1"},
           {"Camera2=", "0", "txtCamera2"}, {"Camera3=", "0", "txtCamera3"}, {"Camera4=", "0", "txtCamera4"},
           {"JoystickID=", "0", "16"}, {"1Button=", "-1", "txtVRb1"}, {"2Button=", "-1", "txtVRb2"},
           {"3Button=", "-1", "txtVRb3"}, {"4Button=", "-1", "txtVRb4"}, {"UseHat=", "0"}}}},
        {"enhancements", L"frmEnhancement", "main", L"Command1", {L"\\zelqcfg\\settings.ini"},
         {{{"[General]"}, {"BroadcastOutputs=", "0", "1"}, {"UseOverlay=", "0", "1"}, {"ForceMenusto43=", "0"},
           {"ArcadeMode=", "0", "2"}, {"EnableBonusCars=", "0", "2"}, {"EnableBonusSongs=", "0"}, {"UseHUD=", "0", "2"},
           {"SlaveorMaster=", "0", "1"}, {"LanCar=", "0", "14"}, {"LanCarMode=", "0", "1"}, {"LanTrans=", "0", "1"},
           {"LanCarColor=", "0", "7"}, {"LanSong=", "0"}, {"LanLobbyName=", "", "txtLobbyName"},
           {"LanMaxPlayers=", "0", "4"}, {"LanCourseType=", "0", "2"}, {"LanCarType=", "0", "1"}, {"LanCourse=", "0", "3"},
           {"LanCarClass=", "0", "1"}, {"LanNoCatchUp=", "0"}, {"LanNoCollisions=", "0", "1"}}}},
    };
    return all;
}
// clang-format on

inline const SavingWindow& windowNamed(std::string_view name) {
    const auto w = std::ranges::find(savingWindows(), name, &SavingWindow::name);
    if (w == savingWindows().end())
        throw std::invalid_argument(std::string(name));
    return *w;
}

// Opens the window as a player does, through the windows that open it.
inline tk::Form& open(const SavingWindow& w) {
    if (w.opener)
        harness::click(open(windowNamed(w.opener)), w.button);
    else
        app::form1().show();
    tk::Form* form = tk::Form::loadedNamed(w.form);
    if (!form)
        throw std::runtime_error("the button opened no window");
    return *form;
}

// Each saved key shows where it came from: text fields their name, boxes ticked, greyed, clear in turn.
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
            harness::doubleClick(form, c.name, c.index); // clears key and button fields to -1
            harness::type(form, c.name, std::wstring(c.name) + (c.index ? std::to_wstring(c.index) : L""),
                          c.index);
        } else if (c.kind == Kind::DropCombo)
            harness::typeChars(form, c.name, L"typed", c.index); // a text that is no item: none selected
        else if (n > 1)
            harness::pick(form, c.name, n - 1 - lists[n]++ % (n - 1), c.index);
    }
    for (int box = 0; const tk::Control& c : form.spec().controls)
        if (c.kind == Kind::CheckBox)
            form.setCheck(c.name, ++box % 3, c.index);
}

// Files that are none of the program's in its folders, and its own under the temporary folder.
inline std::vector<std::wstring> leftovers(const std::wstring& game) {
    std::vector<std::wstring> out;
    wchar_t temp[MAX_PATH];
    const std::wstring cfg = game + L"\\zelqcfg";
    for (const std::wstring& folder : {std::wstring(temp, GetTempPathW(MAX_PATH, temp) - 1), game, cfg})
        for (const std::wstring& name : harness::names(folder))
            if (folder == cfg    ? !name.ends_with(L".ini")
                : folder == game ? name != L"morvex2006.ini" && name != L"zelqcfg"
                                 : name.starts_with(L"zelq-"))
                out.push_back(folder + L"\\" + name);
    return out;
}

} // namespace faults
