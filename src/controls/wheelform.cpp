#include "controls/wheelform.h"

#include "settings/binding.h"

namespace controls {
namespace {

using settings::Binding;
using settings::Encoding;
using tk::Kind;

// The labels end where the control beside them begins, and the dead zone label is one line high,
// so that no label covers a neighbour.
tk::FormSpec wheelSpec() {
    return {
        .name = L"frmWheel",
        .caption = L"Wheel Configuration",
        .width = 4845,
        .height = 1845,
        // clang-format off
        .controls =
            {
                {.name = L"Label12", .kind = Kind::Label, .caption = L"Joystick ID:", .left = 360, .top = 120, .width = 960, .height = 255},
                {.name = L"cmbJID", .kind = Kind::DropList, .left = 1320, .top = 120, .width = 2895, .height = 315,
                 .items = {L"None", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10", L"11", L"12", L"13", L"14", L"15", L"16"}},
                {.name = L"Label1", .kind = Kind::Label, .caption = L"Dead Zone (0 to 10,000):", .left = 360, .top = 600, .width = 1920, .height = 360},
                {.name = L"txtDZ", .kind = Kind::TextBox, .caption = L"2000", .left = 2280, .top = 480, .width = 1935, .height = 375},
                {.name = L"chkMenu", .kind = Kind::CheckBox, .caption = L"Also Bind Menu L/R Movement to Wheel", .left = 360, .top = 960, .width = 3855, .height = 375},
                {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 720, .top = 1440, .width = 1455, .height = 375},
                {.name = L"cmdCancel", .kind = Kind::Button, .caption = L"Cancel", .left = 2520, .top = 1440, .width = 1455, .height = 375},
            },
        // clang-format on
    };
}

const settings::IniFile kWheel{L"wheel.ini", L"Wheel"};
const Binding kWheelRows[] = {
    {L"WMenuOverride", L"chkMenu", Encoding::Check},
    {L"JoystickID", L"cmbJID", Encoding::List}, // position 0 is "None"
    {L"Deadzone", L"txtDZ", Encoding::Text},
};

} // namespace

frmWheel::frmWheel() : SettingsDialog(wheelSpec(), kWheel, kWheelRows) {}

frmWheel& wheelForm() {
    static frmWheel form;
    return form;
}

} // namespace controls
