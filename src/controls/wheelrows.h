#pragma once
// The upper part of the wheel and pedal dialogs, which is the same in both: the joystick and the
// dead zone. The labels end where the control beside them begins, and the dead zone label is one
// line high, so that no label covers a neighbour.
#include "settings/joystick.h"
#include "toolkit/form.h"

namespace controls {

// The upper part followed by the dialog's own controls.
inline std::vector<tk::Control> withJoystickAndDeadZone(std::vector<tk::Control> rest) {
    using tk::Kind;
    // clang-format off
    std::vector<tk::Control> all = {
        {.name = L"Label12", .kind = Kind::Label, .caption = L"Joystick ID:", .left = 360, .top = 120, .width = 960, .height = 255},
        {.name = L"cmbJID", .kind = Kind::DropList, .left = 1320, .top = 120, .width = 2895, .height = 315, .items = settings::joystickItems()},
        {.name = L"Label1", .kind = Kind::Label, .caption = L"Dead Zone (0 to 10,000):", .left = 360, .top = 600, .width = 1920, .height = 360},
        {.name = L"txtDZ", .kind = Kind::TextBox, .caption = L"2000", .left = 2280, .top = 480, .width = 1935, .height = 375},
    };
    // clang-format on
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

} // namespace controls
