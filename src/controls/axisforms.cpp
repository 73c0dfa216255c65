// The wheel and pedal dialogs. Their upper part is the same: the joystick and the dead zone. The
// labels end where the control beside them begins, and the dead zone label is one line high, so
// that no label covers a neighbour.
#include "controls/pedalform.h"
#include "controls/wheelform.h"

#include "settings/joystick.h"

namespace controls {
namespace {

using settings::Binding;
using settings::Encoding;
using tk::Kind;

// A dialog's table: its name, caption and client size (twips), the upper part, then its own controls.
tk::FormSpec axisDialog(std::wstring_view name, std::wstring_view caption, int width, int height,
                        std::vector<tk::Control> own) {
    // clang-format off
    std::vector<tk::Control> controls = {
        {.name = L"Label12", .kind = Kind::Label, .caption = L"Joystick ID:", .left = 360, .top = 120, .width = 960, .height = 255},
        {.name = L"cmbJID", .kind = Kind::DropList, .left = 1320, .top = 120, .width = 2895, .height = 315, .items = settings::joystickItems()},
        {.name = L"Label1", .kind = Kind::Label, .caption = L"Dead Zone (0 to 10,000):", .left = 360, .top = 600, .width = 1920, .height = 360},
        {.name = L"txtDZ", .kind = Kind::TextBox, .caption = L"2000", .left = 2280, .top = 480, .width = 1935, .height = 375},
    };
    // clang-format on
    controls.insert(controls.end(), own.begin(), own.end());
    return {
        .name = name, .caption = caption, .width = width, .height = height, .controls = std::move(controls)};
}

tk::FormSpec wheelSpec() {
    // clang-format off
    return axisDialog(L"frmWheel", L"Wheel Configuration", 4845, 1845, {
        {.name = L"chkMenu", .kind = Kind::CheckBox, .caption = L"Also Bind Menu L/R Movement to Wheel", .left = 360, .top = 960, .width = 3855, .height = 375},
        {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 720, .top = 1440, .width = 1455, .height = 375},
        {.name = L"cmdCancel", .kind = Kind::Button, .caption = L"Cancel", .left = 2520, .top = 1440, .width = 1455, .height = 375},
    });
    // clang-format on
}

// The joystick axes a pedal can use and its axis types, for the accelerator and the brake alike.
const std::vector<std::wstring_view> kAxes = {L"X", L"Y", L"Z", L"RX", L"RY", L"RZ"};
const std::vector<std::wstring_view> kAxisTypes = {L"Full", L"Top", L"Bottom"};

// The longest label starts a little further left for its text.
tk::FormSpec pedalSpec() {
    // clang-format off
    return axisDialog(L"frmPedal", L"Pedal Configuration", 4830, 3375, {
        {.name = L"Label2", .kind = Kind::Label, .caption = L"Accelerator Axis:", .left = 960, .top = 1200, .width = 1185, .height = 195},
        {.name = L"cmbGasAxis", .kind = Kind::DropList, .left = 2280, .top = 1080, .width = 1935, .height = 315, .items = kAxes},
        {.name = L"Label3", .kind = Kind::Label, .caption = L"Accelerator Axis Type:", .left = 480, .top = 1560, .width = 1590, .height = 195},
        {.name = L"cmbGasType", .kind = Kind::DropList, .left = 2280, .top = 1440, .width = 1935, .height = 315, .items = kAxisTypes},
        {.name = L"Label4", .kind = Kind::Label, .caption = L"Brake Axis:", .left = 960, .top = 1920, .width = 795, .height = 195},
        {.name = L"cmbBrakeAxis", .kind = Kind::DropList, .left = 2280, .top = 1800, .width = 1935, .height = 315, .items = kAxes},
        {.name = L"Label5", .kind = Kind::Label, .caption = L"Brake Axis Type:", .left = 600, .top = 2280, .width = 1200, .height = 195},
        {.name = L"CmbBrakeType", .kind = Kind::DropList, .left = 2280, .top = 2160, .width = 1935, .height = 315, .items = kAxisTypes},
        {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 720, .top = 2880, .width = 1455, .height = 375},
        {.name = L"cmdCancel", .kind = Kind::Button, .caption = L"Cancel", .left = 2520, .top = 2880, .width = 1455, .height = 375},
    });
    // clang-format on
}

const settings::IniFile kWheel{L"wheel.ini", L"Wheel"};
const Binding kWheelRows[] = {
    {L"WMenuOverride", L"chkMenu", Encoding::Check},
    {L"JoystickID", L"cmbJID", Encoding::List}, // position 0 is "None"
    {L"Deadzone", L"txtDZ", Encoding::Text},
};

const settings::IniFile kPedals{L"pedals.ini", L"Pedals"};
const Binding kPedalRows[] = {
    {L"JoystickID", L"cmbJID", Encoding::List}, // position 0 is "None"
    {L"Deadzone", L"txtDZ", Encoding::Text},         {L"GasAxis", L"cmbGasAxis", Encoding::List},
    {L"GasType", L"cmbGasType", Encoding::List},     {L"BrakeAxis", L"cmbBrakeAxis", Encoding::List},
    {L"BrakeType", L"CmbBrakeType", Encoding::List},
};

} // namespace

frmWheel& wheelForm() {
    static frmWheel form(wheelSpec(), {{kWheel, kWheelRows}});
    return form;
}

frmPedal& pedalForm() {
    static frmPedal form(pedalSpec(), {{kPedals, kPedalRows}});
    return form;
}

} // namespace controls
