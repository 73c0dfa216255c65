#pragma once
// The button mapping dialogs: gear shifter bindings, view button bindings and the hat switch
// legend. Each exists once; show it with `form.show(opener)`, and Ok or Cancel hand the focus
// back to the opener if it is still open.
#include "settingsui/dialog.h"

namespace bindings {

// "gearshift.ini": shifter type, key and joystick button for up, down and each of six gears. A
// settings dialog with nothing of its own.
using frmGS = settings::SettingsDialog;

// "vrbuttons.ini": camera, key and joystick button of the four view buttons, and their options.
class frmVR : public settings::SettingsDialog {
public:
    frmVR();
};

// The picture of which hat direction acts as which view button.
class frmHat : public tk::Form {
public:
    frmHat();
};

frmGS& gearShiftForm();
frmVR& viewButtonForm();
frmHat& hatForm();

} // namespace bindings
