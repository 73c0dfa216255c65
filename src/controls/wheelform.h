#pragma once
// The steering wheel dialog: the wheel's joystick, its dead zone and the menu binding.
#include "settingsui/dialog.h"

namespace controls {

class frmWheel : public settings::SettingsDialog {
public:
    frmWheel();
};

frmWheel& wheelForm();

} // namespace controls
