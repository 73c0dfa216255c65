#pragma once
// The pedal dialog: the pedals' joystick, dead zone, and the axis and axis type of each pedal.
#include "toolkit/form.h"

namespace controls {

class frmPedal : public tk::Form {
public:
    frmPedal();

    void LoadSettings();
    // False (after telling the user) when the file could not be written.
    bool SaveSettings();

protected:
    void onLoad() override { LoadSettings(); }
};

// The one pedal dialog.
frmPedal& pedalForm();

} // namespace controls
