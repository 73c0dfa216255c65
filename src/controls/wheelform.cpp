#include "controls/wheelform.h"

#include "controls/wheelrows.h"
#include "settingsui/binding.h"

namespace controls {
namespace {

using settings::Binding;
using settings::Encoding;
using tk::Kind;

tk::FormSpec wheelSpec() {
    return {
        .name = L"frmWheel",
        .caption = L"Wheel Configuration",
        .width = 4845,
        .height = 1845,
        // clang-format off
        .controls = withJoystickAndDeadZone({
                {.name = L"chkMenu", .kind = Kind::CheckBox, .caption = L"Also Bind Menu L/R Movement to Wheel", .left = 360, .top = 960, .width = 3855, .height = 375},
                {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 720, .top = 1440, .width = 1455, .height = 375},
                {.name = L"cmdCancel", .kind = Kind::Button, .caption = L"Cancel", .left = 2520, .top = 1440, .width = 1455, .height = 375},
            }),
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

frmWheel::frmWheel() : SettingsDialog(wheelSpec(), {{kWheel, kWheelRows}}) {}

frmWheel& wheelForm() {
    static frmWheel form;
    return form;
}

} // namespace controls
