#pragma once
// A dialog whose controls hold the keys of one settings file: opening it loads them, Ok saves them
// and hands the focus back to the opener, Cancel hands it back without saving. A failed write is
// reported and the dialog stays open with its edits.
#include "settings/binding.h"

#include <span>

namespace settings {

class SettingsDialog : public tk::Form {
public:
    SettingsDialog(tk::FormSpec spec, IniFile file, std::span<const Binding> rows);

    virtual void LoadSettings();
    // False (after telling the user) when a key could not be written.
    bool SaveSettings();

protected:
    void onLoad() override { LoadSettings(); }

private:
    IniFile file_;
    std::span<const Binding> rows_;
};

} // namespace settings
