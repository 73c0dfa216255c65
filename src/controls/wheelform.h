#pragma once
// The steering wheel dialog: the wheel's joystick, its dead zone and the menu binding. A settings
// dialog with nothing of its own.
#include "settingsui/dialog.h"

namespace controls {

using frmWheel = settings::SettingsDialog;

frmWheel& wheelForm();

} // namespace controls
