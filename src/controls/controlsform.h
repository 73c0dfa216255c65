#pragma once
// The controller dialog: the five override switches of the modification, force feedback and
// Xinput rumble, and the buttons that open the wheel, pedal, view button and gear shift dialogs.
#include "settingsui/dialog.h"

namespace controls {

// Loads and saves "xinput.ini", "ff.ini" and its keys of "settings.ini", in that order, as one
// save: a value that does not convert or that its control refuses counts as missing.
class frmControls : public settings::SettingsDialog {
public:
    frmControls();
};

frmControls& controlsForm();

} // namespace controls
