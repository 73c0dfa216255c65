#pragma once
// The main window: the game's display settings, the throttle, and the buttons that open the dialogs.
#include "settings/save.h"
#include "toolkit/form.h"

namespace app {

class Form1 : public tk::Form {
public:
    Form1();

    // The game's file: fills the seven controls, or sets their defaults when the file is absent.
    void Loadini();
    // The overlay flag and the throttle from the settings file.
    void LoadSettings();
    // What Ok writes: the game's file whole, and the throttle. Ok writes both as one save, so that
    // the two files change together or not at all.
    settings::FileChange saveIni() const;
    settings::FileChange SaveSettings() const;

protected:
    void onLoad() override;
    void onCloseRequest() override;

private:
    void ok();
    void desktop();
};

Form1& form1();

} // namespace app
