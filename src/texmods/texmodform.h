#pragma once
// The texture mod manager: lists the mods under the mod root, shows the selected one's
// description, and installs or uninstalls it.
#include "texmods/statusline.h"
#include "texmods/texmods.h"
#include "toolkit/form.h"

#include <string>
#include <vector>

namespace texmods {

class frmTexMod : public tk::Form {
public:
    frmTexMod();

    // The folder listing taken at load (full paths): position p of cmbMods names folders()[p].
    const std::vector<std::wstring>& folders() const { return folders_; }
    // The mod files of the selected mod, taken again on each selection, install and uninstall.
    const std::vector<std::wstring>& modFiles() const { return modFiles_; }
    HWND progressBar() const { return progress_; }

protected:
    void onLoad() override;

private:
    std::wstring modFolder() const;
    void relistModFiles();
    void showDescription();
    void runOperation(Operation op);

    std::vector<std::wstring> folders_;
    std::vector<std::wstring> modFiles_;
    HWND progress_ = nullptr;
    StatusLine status_; // last: its checks end before the rest of the form goes
};

frmTexMod& texModForm();

} // namespace texmods
