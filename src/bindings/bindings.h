#pragma once
// The button mapping dialogs: gear shifter bindings, view button bindings and the hat switch
// legend. Each exists once; show it with `form.show(opener)`, and Ok or Cancel hand the focus
// back to the opener if it is still open.
#include "toolkit/form.h"

namespace bindings {

// "gearshift.ini": shifter type, key and joystick button for up, down and each of six gears.
class frmGS : public tk::Form {
public:
    frmGS();
    void LoadSettings();
    // False (after telling the user) when a key could not be written.
    bool SaveSettings();

protected:
    void onLoad() override;
};

// "vrbuttons.ini": camera, key and joystick button of the four view buttons, and their options.
class frmVR : public tk::Form {
public:
    frmVR();
    void LoadSettings();
    bool SaveSettings();

protected:
    void onLoad() override;
};

// The picture of which hat direction acts as which view button.
class frmHat : public tk::Form {
public:
    frmHat();
};

frmGS& gearShiftForm();
frmVR& viewButtonForm();
frmHat& hatForm();

// Resource id of the hat legend picture.
inline constexpr int kHatPicture = 102;

} // namespace bindings
