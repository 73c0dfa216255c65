#include "controls/controlsform.h"

#include "bindings/bindings.h"
#include "controls/pedalform.h"
#include "controls/wheelform.h"
#include "platform/report.h"
#include "settingsui/binding.h"

#include <vector>

namespace controls {
namespace {

using settings::Binding;
using settings::Encoding;
using tk::Kind;

// A joystick list's items after its first: the numbers as players know them, blanks included.
std::vector<std::wstring_view> joysticks(std::wstring_view first) {
    return {first, L" 1",  L" 2", L" 3", L" 4", L" 5", L" 6", L" 7", L" 8",
            L" 9", L"10 ", L"11", L"12", L"13", L"14", L"15", L"16"};
}

// A few sizes are trimmed so that nothing covers a neighbour: the override boxes end before their
// "?" buttons, the upper boxes before the control below them, and the Advanced Setup buttons above
// their frame's border.
tk::FormSpec controlsSpec() {
    return {
        .name = L"frmControls",
        .caption = L"Control Config",
        .width = 8400,
        .height = 4095,
        .icon = true,
        // clang-format off
        .controls =
            {
                {.name = L"Frame1", .kind = Kind::Frame, .caption = L"Xinput Rumble (Xbox 360 pads)", .left = 120, .top = 120, .width = 2655, .height = 1815},
                {.name = L"chkXinput", .kind = Kind::CheckBox, .caption = L"Enable Xinput Rumble", .left = 240, .top = 360, .width = 1935, .height = 360, .frame = L"Frame1"},
                {.name = L"lblgp", .kind = Kind::Label, .caption = L"Gamepad #:", .left = 240, .top = 840, .width = 885, .height = 195, .enabled = false, .frame = L"Frame1"},
                {.name = L"cmbXID", .kind = Kind::DropList, .left = 1200, .top = 720, .width = 1215, .height = 315, .enabled = false, .frame = L"Frame1",
                 .items = {L"1", L"2", L"3", L"4"}},
                {.name = L"lblximulti", .kind = Kind::Label, .caption = L"Strength:   (0 to 1)", .left = 240, .top = 1080, .width = 1335, .height = 255, .frame = L"Frame1"},
                {.name = L"txtXIMulti", .kind = Kind::TextBox, .left = 1680, .top = 1080, .width = 735, .height = 285, .frame = L"Frame1"},
                {.name = L"cmdXIAdv", .kind = Kind::Button, .caption = L"Advanced Setup", .left = 240, .top = 1440, .width = 2175, .height = 330, .enabled = false, .frame = L"Frame1"},

                {.name = L"fraFF", .kind = Kind::Frame, .caption = L"Force Feedback", .left = 2880, .top = 120, .width = 2655, .height = 1815},
                {.name = L"chkFF", .kind = Kind::CheckBox, .caption = L"Enable Force Feedback", .left = 240, .top = 360, .width = 2175, .height = 195, .frame = L"fraFF"},
                {.name = L"lblffdev", .kind = Kind::Label, .caption = L"Device #:", .left = 120, .top = 840, .width = 705, .height = 195, .enabled = false, .frame = L"fraFF"},
                {.name = L"cmbFFID", .kind = Kind::DropList, .left = 1080, .top = 720, .width = 1215, .height = 315, .enabled = false, .frame = L"fraFF",
                 .items = joysticks(L"None")},
                {.name = L"lblffmulti", .kind = Kind::Label, .caption = L"Strength:   (0 to 1)", .left = 120, .top = 1080, .width = 1335, .height = 255, .frame = L"fraFF"},
                {.name = L"txtFFMulti", .kind = Kind::TextBox, .left = 1560, .top = 1080, .width = 735, .height = 285, .enabled = false, .frame = L"fraFF"},
                {.name = L"cmdFFAdv", .kind = Kind::Button, .caption = L"Advanced Setup", .left = 240, .top = 1440, .width = 2175, .height = 330, .enabled = false, .frame = L"fraFF"},

                {.name = L"fraJSOVER", .kind = Kind::Frame, .caption = L"Joystick Assignment", .left = 5640, .top = 120, .width = 2655, .height = 1095},
                {.name = L"chkJSOver", .kind = Kind::CheckBox, .caption = L"Joystick Override", .left = 120, .top = 240, .width = 1740, .height = 360, .frame = L"fraJSOVER"},
                {.name = L"Command1", .kind = Kind::Button, .caption = L"?", .left = 1920, .top = 240, .width = 495, .height = 315, .frame = L"fraJSOVER"},
                {.name = L"Label1", .kind = Kind::Label, .caption = L"Device #:", .left = 120, .top = 720, .width = 705, .height = 195, .enabled = false, .frame = L"fraJSOVER"},
                {.name = L"cmbJSO", .kind = Kind::DropList, .left = 1080, .top = 600, .width = 1215, .height = 315, .enabled = false, .frame = L"fraJSOVER",
                 .items = joysticks(L" 0")},

                {.name = L"Frame3", .kind = Kind::Frame, .caption = L"Steering", .left = 5640, .top = 1200, .width = 2655, .height = 1095},
                {.name = L"chkEnableWheel", .kind = Kind::CheckBox, .caption = L"Wheel Override", .left = 240, .top = 240, .width = 1620, .height = 360, .frame = L"Frame3"},
                {.name = L"cmdWHH", .kind = Kind::Button, .caption = L"?", .left = 1920, .top = 240, .width = 495, .height = 315, .frame = L"Frame3"},
                {.name = L"Command2", .kind = Kind::Button, .caption = L"Configure Steering Wheel", .left = 240, .top = 600, .width = 2175, .height = 375, .frame = L"Frame3"},

                {.name = L"Frame2", .kind = Kind::Frame, .caption = L"Pedals", .left = 5640, .top = 2280, .width = 2655, .height = 1215},
                {.name = L"chkEnablePedals", .kind = Kind::CheckBox, .caption = L"Pedal Override", .left = 240, .top = 240, .width = 1620, .height = 375, .frame = L"Frame2"},
                {.name = L"cmdGH", .kind = Kind::Button, .caption = L"?", .left = 1920, .top = 240, .width = 615, .height = 315, .frame = L"Frame2"},
                {.name = L"cmdPedal", .kind = Kind::Button, .caption = L"Configure Pedals", .left = 240, .top = 720, .width = 2295, .height = 375, .frame = L"Frame2"},

                {.name = L"fraVR", .kind = Kind::Frame, .caption = L"View Buttons", .left = 120, .top = 2040, .width = 2655, .height = 1455},
                {.name = L"chkEnableVR", .kind = Kind::CheckBox, .caption = L"VR Button Override", .left = 240, .top = 360, .width = 1575, .height = 375, .frame = L"fraVR"},
                {.name = L"cmdVRH", .kind = Kind::Button, .caption = L"?", .left = 1920, .top = 360, .width = 495, .height = 315, .frame = L"fraVR"},
                {.name = L"cmdVRCFG", .kind = Kind::Button, .caption = L"Configure VR Buttons", .left = 240, .top = 840, .width = 2175, .height = 375, .frame = L"fraVR"},

                {.name = L"fraGears", .kind = Kind::Frame, .caption = L"Gear Shift", .left = 2880, .top = 2040, .width = 2655, .height = 1455},
                {.name = L"chkEnableGear", .kind = Kind::CheckBox, .caption = L"Gearshift Override", .left = 240, .top = 360, .width = 1620, .height = 375, .frame = L"fraGears"},
                {.name = L"cmdGSH", .kind = Kind::Button, .caption = L"?", .left = 1920, .top = 360, .width = 495, .height = 315, .frame = L"fraGears"},
                {.name = L"cmdGSCFG", .kind = Kind::Button, .caption = L"Configure Gear Shift", .left = 240, .top = 840, .width = 2175, .height = 375, .frame = L"fraGears"},

                {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 2520, .top = 3600, .width = 1620, .height = 330},
                {.name = L"cmdCancel", .kind = Kind::Button, .caption = L"Cancel", .left = 4320, .top = 3600, .width = 1620, .height = 330},
            },
        // clang-format on
    };
}

const settings::IniFile kXinput{L"xinput.ini", L"General"};
const Binding kXinputRows[] = {
    {L"Enable", L"chkXinput", Encoding::Check},
    {L"Gamepad", L"cmbXID", Encoding::ListPlusOne}, // the pad number 1 to 4, 0 for none
    {L"GlobalMultiplier", L"txtXIMulti", Encoding::Text},
};

const settings::IniFile kFF{L"ff.ini", L"General"};
const Binding kFFRows[] = {
    {L"Enable", L"chkFF", Encoding::Check},
    {L"JoystickID", L"cmbFFID", Encoding::List}, // position 0 is "None"
    {L"GlobalMultiplier", L"txtFFMulti", Encoding::Text},
};

const settings::IniFile kSettings{L"settings.ini", L"General"};
const Binding kSettingsRows[] = {
    {L"ShifterOverride", L"chkEnableGear", Encoding::Check},
    {L"VROverride", L"chkEnableVR", Encoding::Check},
    {L"WheelOverride", L"chkEnableWheel", Encoding::Check},
    {L"PedalOverride", L"chkEnablePedals", Encoding::Check},
    {L"JSOverride", L"chkJSOver", Encoding::Check},
    {L"OVERID", L"cmbJSO", Encoding::List},
};

// The controls that follow each switch. Label1 stays greyed whatever chkJSOver holds.
struct Group {
    std::wstring_view box;
    std::vector<std::wstring_view> members;
};
const Group kGroups[] = {
    {L"chkJSOver", {L"cmbJSO"}},
    {L"chkFF", {L"lblffmulti", L"lblffdev", L"cmbFFID", L"cmdFFAdv", L"txtFFMulti"}},
    {L"chkXinput", {L"lblgp", L"lblximulti", L"cmbXID", L"cmdXIAdv", L"txtXIMulti"}},
};

struct Help {
    std::wstring_view button, title, text;
};
const Help kHelp[] = {
    {L"Command1", L"Joystick Override",
     L"The original game's configuration has trouble saving the correct joystick id when multiple "
     L"controllers are plugged in.  Use this to force the game to use the Joystick ID# you provide."},
    {L"cmdWHH", L"Wheel Override",
     L"Enabling this allows Zelq to control the wheel, which allows you to modify the deadzone."},
    {L"cmdGH", L"Pedal Override",
     L"Enabling this allows you to bind the pedals to the axis of your choice.\r\n\r\nWARNING!  This feature "
     L"isn't fully implemented and you make have trouble drifting if enabled!"},
    {L"cmdVRH", L"VR Override",
     L"Enabling this allows you to change to individual Cameras via the inputs you define."},
    {L"cmdGSH", L"Gearshift Override",
     L"Enabling this allows you to shift to individual gears via the inputs you define."},
};

// Enables or disables a switch's group after its state changed.
void follow(tk::Form& form, const Group& g) {
    const bool on = form.check(g.box) == 1;
    for (std::wstring_view member : g.members)
        form.enable(member, on);
}

// Opens a settings file in the system's Notepad without waiting for it.
void advancedSetup(HWND owner, std::wstring_view relative, std::wstring_view fallback) {
    // Notepad by its full path: a bare name is searched for in the application folder first, where
    // anything could be planted, and players often run this program as administrator.
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    DWORD error = ERROR_FILE_NOT_FOUND;
    if (n > 0 && n < MAX_PATH) {
        const std::wstring notepad = std::wstring(folder, n) + L"\\notepad.exe";
        // Both paths quoted: a Windows folder or a game folder may hold blanks.
        const std::wstring commandLine = L"\"" + notepad + L"\" \"" + settings::appPath(relative) + L"\"";
        error = platform::sys().start(notepad, commandLine, SW_SHOWNORMAL);
    }
    if (error)
        report::info(owner, L"Can't Find Notepad", fallback, platform::Icon::Information);
}

} // namespace

// A switch loaded as ticked (or greyed) runs its click handling through setCheck; one loaded
// clear leaves its group as the table has it.
frmControls::frmControls()
    : SettingsDialog(controlsSpec(), {{kXinput, kXinputRows}, {kFF, kFFRows}, {kSettings, kSettingsRows}}) {
    for (const Group& g : kGroups)
        onClick(g.box, [this, &g](int) { follow(*this, g); });
    for (const Help& h : kHelp)
        onClick(h.button, [this, h](int) { report::info(hwnd(), h.title, h.text); });
    onClick(L"Command2", [this](int) { wheelForm().show(this); });
    onClick(L"cmdPedal", [this](int) { pedalForm().show(this); });
    onClick(L"cmdVRCFG", [this](int) { bindings::viewButtonForm().show(this); });
    onClick(L"cmdGSCFG", [this](int) { bindings::gearShiftForm().show(this); });
    onClick(L"cmdFFAdv", [this](int) {
        advancedSetup(hwnd(), L"\\zelqcfg\\FF.ini",
                      L"For advanced Settings, open your FF.ini in the text editor of your choice.");
    });
    onClick(L"cmdXIAdv", [this](int) {
        advancedSetup(hwnd(), L"\\zelqcfg\\Xinput.ini",
                      L"For advanced Settings, open your ZelqXinput.ini in the text editor of your choice.");
    });
}

frmControls& controlsForm() {
    static frmControls form;
    return form;
}

} // namespace controls
