#pragma once
// Every window that saves, as the fault and odd-file suites drive them: how to open it as a
// player would, one text control to edit, and the files its Ok writes, in order.
#include "bench/windows.h"

#include <functional>
#include <stdexcept>
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

// Opens the window of that form name the way the program's buttons do.
inline std::function<tk::Form&()> opening(std::wstring_view formName) {
    for (const bench::Window& w : bench::windows())
        if (w.form().spec().name == formName)
            return w.open;
    throw std::invalid_argument("no such window");
}

// clang-format off
inline const std::vector<SavingWindow>& savingWindows() {
    static const std::vector<SavingWindow> all = {
        {"main", opening(L"Form1"), L"txtThrottle", 0, {L"\\morvex2006.ini", L"\\zelqcfg\\settings.ini"}},
        {"controls", opening(L"frmControls"), L"txtXIMulti", 0,
         {L"\\zelqcfg\\xinput.ini", L"\\zelqcfg\\ff.ini", L"\\zelqcfg\\settings.ini"}},
        {"wheel", opening(L"frmWheel"), L"txtDZ", 0, {L"\\zelqcfg\\wheel.ini"}},
        {"pedal", opening(L"frmPedal"), L"txtDZ", 0, {L"\\zelqcfg\\pedals.ini"}},
        {"gearshift", opening(L"frmGS"), L"txtUpB", 0, {L"\\zelqcfg\\gearshift.ini"}},
        {"viewbuttons", opening(L"frmVR"), L"txtCamera", 1, {L"\\zelqcfg\\vrbuttons.ini"}},
        {"enhancements", opening(L"frmEnhancement"), L"txtLobbyName", 0,
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
