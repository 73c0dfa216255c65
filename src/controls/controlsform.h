#pragma once
// The controller dialog: the five override switches of the modification, force feedback and
// Xinput rumble, and the buttons that open the wheel, pedal, view button and gear shift dialogs.
#include "settingsui/dialog.h"

#include <string_view>

namespace controls {

// Loads and saves "xinput.ini", "ff.ini" and its keys of "settings.ini", in that order, as one
// save: a value that does not convert or that its control refuses counts as missing.
class frmControls : public settings::SettingsDialog {
public:
    frmControls();

private:
    // Enables or disables a switch's group after its state changed.
    void follow(std::wstring_view box);
    // Opens a settings file in the system's Notepad without waiting for it.
    void advancedSetup(std::wstring_view relative, std::wstring_view fallback);
};

frmControls& controlsForm();

} // namespace controls
