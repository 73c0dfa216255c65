#pragma once
// The steering wheel dialog: the wheel's joystick, its dead zone and the menu binding.
#include "toolkit/form.h"

namespace controls {

class frmWheel : public tk::Form {
public:
    frmWheel();

    void LoadSettings();
    // False (after telling the user) when the file could not be written.
    bool SaveSettings();

protected:
    void onLoad() override { LoadSettings(); }
};

// The one wheel dialog.
frmWheel& wheelForm();

} // namespace controls
