#pragma once
// The pedal dialog: the pedals' joystick, dead zone, and the axis and axis type of each pedal. A
// settings dialog with nothing of its own.
#include "settingsui/dialog.h"

namespace controls {

using frmPedal = settings::SettingsDialog;

frmPedal& pedalForm();

} // namespace controls
