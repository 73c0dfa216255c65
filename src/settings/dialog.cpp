#include "settings/dialog.h"

namespace settings {

SettingsDialog::SettingsDialog(tk::FormSpec spec, IniFile file, std::span<const Binding> rows)
    : Form(std::move(spec)), file_(file), rows_(rows) {
    onClick(L"cmdOk", [this](int) {
        if (SaveSettings())
            dismiss(); // else the user was told and the edits stay
    });
    onClick(L"cmdCancel", [this](int) { dismiss(); });
}

void SettingsDialog::LoadSettings() {
    settings::load(*this, file_, rows_);
}

bool SettingsDialog::SaveSettings() {
    return settings::saveAll(*this, {{file_, rows_}});
}

} // namespace settings
