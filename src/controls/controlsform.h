#pragma once
// The controller dialog: the five override switches of the modification, force feedback and
// Xinput rumble, and the buttons that open the wheel, pedal, view button and gear shift dialogs.
#include "toolkit/form.h"

#include <string_view>

namespace controls {

class frmControls : public tk::Form {
public:
    frmControls();

    // Each reads its file; a value that does not convert or that its control refuses counts as missing.
    void LoadXinput();
    void LoadFF();
    void LoadSettings();
    // Each writes its file; false (after telling the user) when it could not be written.
    bool SaveXinput();
    bool SaveFF();
    bool SaveSettings();

protected:
    void onLoad() override;

private:
    void ok();
    // Enables or disables a switch's group after its state changed.
    void follow(std::wstring_view box);
    // Opens a settings file in the system's Notepad without waiting for it.
    void advancedSetup(std::wstring_view relative, std::wstring_view fallback);
};

// The one controller dialog.
frmControls& controlsForm();

} // namespace controls
