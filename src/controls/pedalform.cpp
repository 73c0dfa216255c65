#include "controls/pedalform.h"

#include "controls/wheelrows.h"
#include "settingsui/binding.h"

namespace controls {
namespace {

using settings::Binding;
using settings::Encoding;
using tk::Kind;

// The longest label starts a little further left for its text.
tk::FormSpec pedalSpec() {
    return {
        .name = L"frmPedal",
        .caption = L"Pedal Configuration",
        .width = 4830,
        .height = 3375,
        // clang-format off
        .controls = withJoystickAndDeadZone({
                {.name = L"Label2", .kind = Kind::Label, .caption = L"Accelerator Axis:", .left = 960, .top = 1200, .width = 1185, .height = 195},
                {.name = L"cmbGasAxis", .kind = Kind::DropList, .left = 2280, .top = 1080, .width = 1935, .height = 315,
                 .items = {L"X", L"Y", L"Z", L"RX", L"RY", L"RZ"}},
                {.name = L"Label3", .kind = Kind::Label, .caption = L"Accelerator Axis Type:", .left = 480, .top = 1560, .width = 1590, .height = 195},
                {.name = L"cmbGasType", .kind = Kind::DropList, .left = 2280, .top = 1440, .width = 1935, .height = 315,
                 .items = {L"Full", L"Top", L"Bottom"}},
                {.name = L"Label4", .kind = Kind::Label, .caption = L"Brake Axis:", .left = 960, .top = 1920, .width = 795, .height = 195},
                {.name = L"cmbBrakeAxis", .kind = Kind::DropList, .left = 2280, .top = 1800, .width = 1935, .height = 315,
                 .items = {L"X", L"Y", L"Z", L"RX", L"RY", L"RZ"}},
                {.name = L"Label5", .kind = Kind::Label, .caption = L"Brake Axis Type:", .left = 600, .top = 2280, .width = 1200, .height = 195},
                {.name = L"CmbBrakeType", .kind = Kind::DropList, .left = 2280, .top = 2160, .width = 1935, .height = 315,
                 .items = {L"Full", L"Top", L"Bottom"}},
                {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 720, .top = 2880, .width = 1455, .height = 375},
                {.name = L"cmdCancel", .kind = Kind::Button, .caption = L"Cancel", .left = 2520, .top = 2880, .width = 1455, .height = 375},
            }),
        // clang-format on
    };
}

const settings::IniFile kPedals{L"pedals.ini", L"Pedals"};
const Binding kPedalRows[] = {
    {L"JoystickID", L"cmbJID", Encoding::List}, // position 0 is "None"
    {L"Deadzone", L"txtDZ", Encoding::Text},         {L"GasAxis", L"cmbGasAxis", Encoding::List},
    {L"GasType", L"cmbGasType", Encoding::List},     {L"BrakeAxis", L"cmbBrakeAxis", Encoding::List},
    {L"BrakeType", L"CmbBrakeType", Encoding::List},
};

} // namespace

frmPedal::frmPedal() : SettingsDialog(pedalSpec(), {{kPedals, kPedalRows}}) {}

frmPedal& pedalForm() {
    static frmPedal form;
    return form;
}

} // namespace controls
