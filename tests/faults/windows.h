#pragma once
// Every window that saves, as the fault and odd-file suites drive them: how to open it as a
// player would, one text control to edit, and the files its Ok writes, in order.
#include "bench/windows.h"
#include "harness/harness.h"

#include <algorithm>

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
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

// One text setting of each window: where it is stored and the control that shows it.
struct Probe {
    const char* window;
    const wchar_t* file;
    const char* section;
    const char* key;
    const wchar_t* control;
    int index;
    const wchar_t* missing; // what the control shows when the key is missing
};

inline const std::vector<Probe>& probes() {
    static const std::vector<Probe> all = {
        {"main", L"settings.ini", "General", "SleepTime", L"txtThrottle", 0, L"0"},
        {"controls", L"ff.ini", "General", "GlobalMultiplier", L"txtFFMulti", 0, L"0"},
        {"wheel", L"wheel.ini", "Wheel", "Deadzone", L"txtDZ", 0, L"0"},
        {"pedal", L"pedals.ini", "Pedals", "Deadzone", L"txtDZ", 0, L"0"},
        {"gearshift", L"gearshift.ini", "GearShift", "UpKey", L"txtUp", 0, L"0"},
        {"viewbuttons", L"vrbuttons.ini", "VR", "Camera1", L"txtCamera", 1, L"0"},
        {"enhancements", L"settings.ini", "General", "LanLobbyName", L"txtLobbyName", 0, L""},
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

inline const SavingWindow& windowNamed(std::string_view name) {
    for (const auto& w : savingWindows())
        if (w.name == name)
            return w;
    throw std::invalid_argument("no such window");
}

// What a file holds before a test: the game's file in its usual form, a settings file a section
// of someone else's.
inline std::string seed(const std::wstring& relative) {
    if (relative == L"\\morvex2006.ini")
        return "DX/ADAPTER = 1\r\nDX/RES/WIDTH = 800\r\nDX/RES/HEIGHT = 600\r\nDX/ANTIALIASING = 0\r\n"
               "DX/FOG = 1\r\nLANGUAGE = 2\r\nDX/WINDOWED = 0\r\n";
    return "; kept by hand\r\n[Unrelated]\r\nKey=Value\r\n";
}

// Files in the game folder and the settings folder that no window reads or writes: what a save
// left behind.
inline std::vector<std::wstring> strayFiles(const std::wstring& gameFolder) {
    std::vector<std::wstring> out;
    for (const std::wstring folder : {L"", L"\\zelqcfg"})
        for (const std::wstring& name : harness::names(gameFolder + folder)) {
            const std::wstring relative = folder + L"\\" + name;
            if (relative != L"\\zelqcfg" &&
                std::find(allFiles().begin(), allFiles().end(), relative) == allFiles().end())
                out.push_back(relative);
        }
    return out;
}

// Files of the program's own under the system's temporary folder.
inline size_t tempLeftovers() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    size_t n = 0;
    for (const std::wstring& name : harness::names(temp))
        n += name.rfind(L"zelq-", 0) == 0;
    return n;
}

inline std::wstring wide(const char* ascii) {
    return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

} // namespace faults
