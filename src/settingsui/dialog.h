#pragma once
// A dialog whose controls hold keys of settings files, one table a file: opening it loads them in
// order, Ok saves them all as one save and hands the focus back to the opener, Cancel hands it
// back without saving. A failed save is reported and the dialog stays open with its edits.
#include "settingsui/binding.h"

#include <vector>

namespace settings {

class SettingsDialog : public tk::Form {
public:
    SettingsDialog(tk::FormSpec spec, std::vector<Table> tables);

    virtual void LoadSettings();
    // False (after telling the user) when the files could not be written; then none changed.
    virtual bool SaveSettings();

protected:
    void onLoad() override { LoadSettings(); }

private:
    std::vector<Table> tables_;
};

} // namespace settings
