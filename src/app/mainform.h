#pragma once
// The main window: the game's display settings, the throttle, and the buttons that open the dialogs.
#include "toolkit/form.h"

namespace app {

class Form1 : public tk::Form {
public:
    Form1();

    // The game's file: fills the seven controls, or sets their defaults when the file is absent.
    void Loadini();
    // Rewrites the game's file whole; false (after telling the user) when it could not be written.
    bool saveIni();
    // The overlay flag and the throttle from the settings file.
    void LoadSettings();
    bool SaveSettings();

protected:
    void onLoad() override;
    void onCloseRequest() override;

private:
    void ok();
    void desktop();
};

// The program's one main window.
Form1& form1();

// True when the common-controls initialisation raised no error.
bool InitComCtl();

} // namespace app
