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

protected:
    void onLoad() override;

private:
    std::wstring modFolder() const;
    void showDescription();
    void runOperation(Operation op);

    std::vector<std::wstring> folders_; // the listing taken at load: position p of cmbMods names folders_[p]
    HWND progress_ = nullptr;
    StatusLine status_; // last: its checks end before the rest of the form goes
};

frmTexMod& texModForm();

} // namespace texmods
