#include "bindings/bindings.h"
#include "bindings/layout.h"

#include "settingsui/binding.h"
#include "settings/joystick.h"

namespace bindings {
namespace {

using namespace layout;
using settings::Encoding;
using tk::Kind;

constexpr int kGearLeft[] = {0, 2040, 3000, 3960, 2040, 3000, 3960}; // by gear, from 1
constexpr int kUpperRow[] = {1320, 3240};                            // keys, buttons
constexpr int kLowerRow[] = {1920, 3840};

int gearTop(int gear, int block) {
    return gear <= 3 ? kUpperRow[block] : kLowerRow[block];
}

// clang-format off
tk::FormSpec gearShiftSpec() {
    tk::FormSpec s{.name = L"frmGS", .caption = L"Gear Shift Configuration", .width = 4830, .height = 4800, .controls = {}};
    auto& c = s.controls;
    c.push_back(label(L"Label1", L"Select Type:", 240, 120, 1000));
    c.push_back({.name = L"cmbType", .kind = Kind::DropCombo, .caption = L"Combo1", .left = 1320, .top = 120, .width = 2895, .height = 315, .items = {L"Up / Down Shifter", L"H Shifter (6 speed)", L"Both"}});
    c.push_back({.name = L"chkGSNoBlock", .kind = Kind::CheckBox, .caption = L"Don't block original Up/Down Inputs", .left = 1320, .top = 480, .width = 3495, .height = 255});
    c.push_back(line(L"Line2", 240, 4560, 840));
    // Two lines that end where the key fields begin.
    c.push_back(label(L"Label2", L"Keys:  (Click Text box and then press key double click to clear)", 240, 900, 4455, 420));

    // Keys: up and gears 1 to 3 above, down and gears 4 to 6 below.
    const wchar_t* keyLabels[] = {nullptr, L"Label5", L"Label7", L"Label8", L"Label6", L"Label9", L"Label10"};
    const wchar_t* buttonLabels[] = {nullptr, L"Label18", L"Label16", L"Label14", L"Label17", L"Label13", L"Label11"};
    const wchar_t* digits[] = {nullptr, L"1", L"2", L"3", L"4", L"5", L"6"};
    auto block = [&](int b, std::wstring_view up, std::wstring_view down, std::wstring_view gear, Kind kind,
                     std::wstring_view upLabel, std::wstring_view downLabel, const wchar_t* const* gearLabels) {
        c.push_back(label(upLabel, L"Up", 105, kUpperRow[b] + 105, 450));
        c.push_back(field(up, kind, L"Text1", 600, kUpperRow[b]));
        for (int n = 1; n <= 3; ++n) {
            c.push_back(number(gearLabels[n], digits[n], kGearLeft[n], gearTop(n, b)));
            c.push_back(field(gear, kind, L"Text1", kGearLeft[n], gearTop(n, b), n));
        }
        c.push_back(label(downLabel, L"Down", 105, kLowerRow[b] + 105, 450));
        c.push_back(field(down, kind, L"Text1", 600, kLowerRow[b]));
        for (int n = 4; n <= 6; ++n) {
            c.push_back(number(gearLabels[n], digits[n], kGearLeft[n], gearTop(n, b)));
            c.push_back(field(gear, kind, L"Text1", kGearLeft[n], gearTop(n, b), n));
        }
    };
    block(0, L"txtUp", L"txtDown", L"txtGear", Kind::KeyField, L"Label3", L"Label4", keyLabels);

    c.push_back(line(L"Line1", 240, 4560, 2400));
    c.push_back(label(L"Label12", L"Joystick ID:", 360, 2520, 900));
    c.push_back({.name = L"cmbJID", .kind = Kind::DropList, .left = 1320, .top = 2520, .width = 2895, .height = 315, .items = settings::joystickItems()});
    c.push_back(label(L"Label15", L"Joystick Buttons:  (Type Button # 0-32 or double click to clear)", 240, 2880, 4410));
    block(1, L"txtUpB", L"txtDownB", L"txtGearB", Kind::ButtonField, L"Label20", L"Label19", buttonLabels);

    c.push_back(button(L"cmdOk", L"Ok", 720, 4320, 1455));
    c.push_back(button(L"cmdCancel", L"Cancel", 2520, 4320, 1455));
    return s;
}
// clang-format on

const settings::IniFile kFile{L"gearshift.ini", L"GearShift"};

// In the order the keys are read and written.
const settings::Binding kRows[] = {
    {L"Type", L"cmbType", Encoding::List},
    {L"DontBlock", L"chkGSNoBlock", Encoding::Check},
    {L"UpKey", L"txtUp", Encoding::Text},
    {L"DownKey", L"txtDown", Encoding::Text},
    {L"1Key", L"txtGear", Encoding::Text, 1},
    {L"2Key", L"txtGear", Encoding::Text, 2},
    {L"3Key", L"txtGear", Encoding::Text, 3},
    {L"4Key", L"txtGear", Encoding::Text, 4},
    {L"5Key", L"txtGear", Encoding::Text, 5},
    {L"6Key", L"txtGear", Encoding::Text, 6},
    {L"JoystickID", L"cmbJID", Encoding::List},
    {L"UpButton", L"txtUpB", Encoding::ButtonText, 0, false},
    {L"DownButton", L"txtDownB", Encoding::ButtonText, 0, false},
    {L"1Button", L"txtGearB", Encoding::ButtonText, 1, false},
    {L"2Button", L"txtGearB", Encoding::ButtonText, 2, false},
    {L"3Button", L"txtGearB", Encoding::ButtonText, 3, false},
    {L"4Button", L"txtGearB", Encoding::ButtonText, 4, false},
    {L"5Button", L"txtGearB", Encoding::ButtonText, 5, false},
    {L"6Button", L"txtGearB", Encoding::ButtonText, 6, false},
};

} // namespace

frmGS& gearShiftForm() {
    static frmGS form(gearShiftSpec(), {{kFile, kRows}});
    return form;
}

} // namespace bindings
