#include "settingsui/dialog.h"

namespace settings {

SettingsDialog::SettingsDialog(tk::FormSpec spec, std::vector<Table> tables)
    : Form(std::move(spec)), tables_(std::move(tables)) {
    onClick(L"cmdOk", [this](int) {
        if (SaveSettings())
            dismiss(); // else the user was told and the edits stay
    });
    onClick(L"cmdCancel", [this](int) { dismiss(); });
}

void SettingsDialog::LoadSettings() {
    for (const Table& t : tables_)
        settings::load(*this, t.file, t.rows);
}

bool SettingsDialog::SaveSettings() {
    return saveFiles(hwnd(), changesOf(*this, tables_));
}

} // namespace settings
