#pragma once
// The enhancements dialog: the modification's optional features and the settings of its
// automatic LAN multiplayer, all kept in the section "General" of "settings.ini".
#include "toolkit/form.h"

#include <optional>

namespace enhancements {

class FrmEnhancement : public tk::Form {
public:
    FrmEnhancement();

    void LoadSettings();
    // Writes every key; false (after telling the user) when the file could not be written.
    bool SaveSettings();
    // Refill the dependent list for the type now selected; with no type selected they change nothing.
    void SetCourseBox();
    void SetCarBox();

protected:
    void onLoad() override { LoadSettings(); }

private:
    void ok();
    void courseTypeClick();
    void carTypeClick();

    // The type each dependent list was last filled for; unset compares as the first type.
    std::optional<int> PrevCourseType, PrevCarType;
};

// The one enhancements dialog.
FrmEnhancement& frmEnhancement();

} // namespace enhancements
