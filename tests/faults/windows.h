#pragma once
// Every window that saves, as the fault and odd-file suites drive them: how to open it as a
// player would, one text control to edit, and the files its Ok writes, in order.
#include "app/mainform.h"
#include "bindings/bindings.h"
#include "controls/controlsform.h"
#include "controls/pedalform.h"
#include "controls/wheelform.h"
#include "enhancements/enhancement.h"

#include <functional>
#include <string>
#include <vector>

namespace faults {

struct SavingWindow {
    const char* name;
    std::function<tk::Form&()> open;
    const wchar_t* editable; // a text control whose edit must survive a failed save
    int editIndex;
    std::vector<std::wstring> files; // relative to the game folder, in the order Ok writes them
};

inline tk::Form& openMain() {
    app::form1().show();
    return app::form1();
}
inline tk::Form& openControls() {
    controls::controlsForm().show(&openMain());
    return controls::controlsForm();
}
template <class F> std::function<tk::Form&()> from(std::function<tk::Form&()> opener, F& (*get)()) {
    return [opener, get]() -> tk::Form& {
        get().show(&opener());
        return get();
    };
}

// clang-format off
inline const std::vector<SavingWindow>& savingWindows() {
    static const std::vector<SavingWindow> all = {
        {"main", openMain, L"txtThrottle", 0, {L"\\morvex2006.ini", L"\\zelqcfg\\settings.ini"}},
        {"controls", openControls, L"txtXIMulti", 0,
         {L"\\zelqcfg\\xinput.ini", L"\\zelqcfg\\ff.ini", L"\\zelqcfg\\settings.ini"}},
        {"wheel", from(openControls, controls::wheelForm), L"txtDZ", 0, {L"\\zelqcfg\\wheel.ini"}},
        {"pedal", from(openControls, controls::pedalForm), L"txtDZ", 0, {L"\\zelqcfg\\pedals.ini"}},
        {"gearshift", from(openControls, bindings::gearShiftForm), L"txtUpB", 0, {L"\\zelqcfg\\gearshift.ini"}},
        {"viewbuttons", from(openControls, bindings::viewButtonForm), L"txtCamera", 1, {L"\\zelqcfg\\vrbuttons.ini"}},
        {"enhancements", from(openMain, enhancements::frmEnhancement), L"txtLobbyName", 0,
         {L"\\zelqcfg\\settings.ini"}},
    };
    return all;
}

// Every file any window reads or writes.
inline const std::vector<std::wstring>& allFiles() {
    static const std::vector<std::wstring> files = {
        L"\\morvex2006.ini",        L"\\zelqcfg\\settings.ini", L"\\zelqcfg\\ff.ini",
        L"\\zelqcfg\\xinput.ini",   L"\\zelqcfg\\wheel.ini",    L"\\zelqcfg\\pedals.ini",
        L"\\zelqcfg\\gearshift.ini", L"\\zelqcfg\\vrbuttons.ini"};
    return files;
}

// clang-format on

} // namespace faults
