#pragma once
// The enhancements dialog: the modification's optional features and the settings of its
// automatic LAN multiplayer, all kept in the section "General" of "settings.ini".
#include "settingsui/dialog.h"

#include <optional>

namespace enhancements {

class FrmEnhancement : public settings::SettingsDialog {
public:
    FrmEnhancement();

    void LoadSettings() override;
    // Writes every key; false (after telling the user) when the file could not be written.
    bool SaveSettings() override;
    // Refill the dependent list for the type now selected; with no type selected they change nothing.
    void SetCourseBox();
    void SetCarBox();

private:
    // A type list's pick: a new type refills the dependent list with `refill`.
    void typeClick(std::wstring_view list, std::optional<int>& previous, void (FrmEnhancement::*refill)());

    // The type each dependent list was last filled for; unset compares as the first type.
    std::optional<int> PrevCourseType, PrevCarType;
};

FrmEnhancement& frmEnhancement();

} // namespace enhancements
