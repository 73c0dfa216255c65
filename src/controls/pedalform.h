#pragma once
// The pedal dialog: the pedals' joystick, dead zone, and the axis and axis type of each pedal.
#include "settingsui/dialog.h"

namespace controls {

class frmPedal : public settings::SettingsDialog {
public:
    frmPedal();
};

frmPedal& pedalForm();

} // namespace controls
