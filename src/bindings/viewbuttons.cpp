#include "bindings/bindings.h"
#include "bindings/layout.h"

#include "platform/report.h"
#include "settingsui/binding.h"
#include "settings/joystick.h"

namespace bindings {
namespace {

using namespace layout;
using settings::Encoding;
using tk::Kind;

constexpr int kColumn[] = {0, 600, 1560, 2520, 3480}; // by view button, from 1
const wchar_t* const kDigits[] = {nullptr, L"1", L"2", L"3", L"4"};

// clang-format off
tk::FormSpec viewButtonSpec() {
    tk::FormSpec s{.name = L"frmVR", .caption = L"View Button Configuration", .width = 4815, .height = 6450, .controls = {}};
    auto& c = s.controls;
    // One row of four boxes with their numbers.
    auto row = [&](std::wstring_view name, Kind kind, std::wstring_view text, int top, const wchar_t* const(&labels)[5]) {
        for (int n = 1; n <= 4; ++n) {
            c.push_back(number(labels[n], kDigits[n], kColumn[n], top));
            c.push_back(field(name, kind, text, kColumn[n], top, n));
        }
    };
    c.push_back(label(L"Label1", L"Select Type:", 120, 240, 1000));
    c.push_back({.name = L"cmbType", .kind = Kind::DropCombo, .caption = L"Combo1", .left = 1200, .top = 240, .width = 2895, .height = 315, .items = {L"4 Button", L"1+3 Button", L"3 Button"}});

    c.push_back(label(L"Label13", L"Camera Angles", 1800, 960, 1200));
    row(L"txtCamera", Kind::TextBox, L"-1", 1200, {nullptr, L"Label10", L"Label9", L"Label6", L"Label11"});
    c.push_back(button(L"cmdCAHelp", L"?", 4020, 1200, 495)); // clear of the fourth box

    c.push_back(line(L"Line2", 240, 4560, 1680));
    // Two lines that end where the heading of the key row begins.
    c.push_back(label(L"Label3", L"Keys:  (Click Text box and then press key double click to clear)", 120, 1920, 4455, 390));
    c.push_back(label(L"Label4", L"View Buttons (Keyboard keys)", 1440, 2310, 2100));
    row(L"txtVR", Kind::KeyField, L"Text1", 2520, {nullptr, L"Label5", L"Label7", L"Label8", L"Label2"});
    // Two-line boxes, narrowed so that neither covers its neighbour.
    c.push_back({.name = L"chkMnuOv", .kind = Kind::CheckBox, .caption = L"Menu Override for VR1", .left = 480, .top = 3000, .width = 2160, .height = 495});
    c.push_back({.name = L"chkNo2k6", .kind = Kind::CheckBox, .caption = L"Don't Override in 2k6 Menus", .left = 2640, .top = 3000, .width = 1560, .height = 495});
    c.push_back(button(L"cmdMnuOvHelp", L"?", 4200, 3120, 495));

    c.push_back(line(L"Line1", 240, 4560, 3600));
    c.push_back(label(L"Label12", L"Joystick ID:", 240, 3960, 900));
    c.push_back({.name = L"cmbJID", .kind = Kind::DropList, .left = 1200, .top = 3840, .width = 2895, .height = 315, .items = settings::joystickItems()});
    c.push_back(label(L"Label15", L"Joystick Buttons:  (Type Button # 0-32 or double click to clear)", 240, 4320, 4410));
    c.push_back(label(L"Label14", L"View Buttons (Joystick)", 1560, 4680, 1800));
    row(L"txtVRb", Kind::ButtonField, L"-1", 4920, {nullptr, L"Label17", L"Label18", L"Label19", L"Label16"});

    // The box ends where its help button begins, so the button's area stays the button's.
    c.push_back({.name = L"chkHat", .kind = Kind::CheckBox, .caption = L"Enable Hat Switch", .left = 840, .top = 5400, .width = 1680, .height = 255});
    c.push_back(button(L"cmdVRhatH", L"?", 2520, 5400, 495));
    c.push_back(button(L"cmdOk", L"Ok", 840, 5880, 1455));
    c.push_back(button(L"cmdCancel", L"Cancel", 2400, 5880, 1455));
    return s;
}
// clang-format on

const settings::IniFile kFile{L"vrbuttons.ini", L"VR"};

// In the order the keys are read and written.
const settings::Binding kRows[] = {
    {L"Type", L"cmbType", Encoding::List},
    {L"VRMenuOverride", L"chkMnuOv", Encoding::Check},
    {L"VRNO2k6", L"chkNo2k6", Encoding::Check},
    {L"1Key", L"txtVR", Encoding::Text, 1},
    {L"2Key", L"txtVR", Encoding::Text, 2},
    {L"3Key", L"txtVR", Encoding::Text, 3},
    {L"4Key", L"txtVR", Encoding::Text, 4},
    {L"Camera1", L"txtCamera", Encoding::Text, 1},
    {L"Camera2", L"txtCamera", Encoding::Text, 2},
    {L"Camera3", L"txtCamera", Encoding::Text, 3},
    {L"Camera4", L"txtCamera", Encoding::Text, 4},
    {L"JoystickID", L"cmbJID", Encoding::List},
    {L"1Button", L"txtVRb", Encoding::ButtonText, 1, false},
    {L"2Button", L"txtVRb", Encoding::ButtonText, 2, false},
    {L"3Button", L"txtVRb", Encoding::ButtonText, 3, false},
    {L"4Button", L"txtVRb", Encoding::ButtonText, 4, false},
    {L"UseHat", L"chkHat", Encoding::Check},
};

constexpr wchar_t kCameraTitle[] = L"Information on the Camera System";
constexpr wchar_t kCameraText[] =
    L"The game stores all Camera angles in a 2 byte array.  Each Camera # corresponds to a view button.\r\n"
    L"Most Numbers yield either useless or empty camera slots, but here are some of note:  \r\n"
    L"\r\n"
    L"*2 Outside\r\n"
    L"*513 Dash\r\n"
    L"*256 Inside\r\n"
    L"*3 Overhead view\r\n"
    L"*4 Outside, slightly flatter\r\n"
    L"*6 Outside, zoomed in slightly\r\n"
    L"*10 Outside big sky\r\n"
    L"*11 looking up at sky\r\n"
    L"*13 Outside slightly lower\r\n"
    L"*14 Outside zoomed to behind Characters\r\n"
    L"*15 Outside Zoomed out\r\n"
    L"*18 Outside Big sky zoomed slighty out\r\n"
    L"*22 Glamour Shot... front tire\r\n"
    L"*23 Glamour Shot... rear tire\r\n"
    L"*24 Glamour Shot... front of car\r\n"
    L"*25 Glamour Shot... Side of car\r\n"
    L"*26 Outside of car, zoomed in close\r\n"
    L"*27 Outside of car, zoomed far away\r\n"
    L"*28 Outside of car, zoomed far away (lower)";

constexpr wchar_t kMenuTitle[] = L"About VR1 Menu Override";
constexpr wchar_t kMenuText[] =
    L"Pressing VR1 will activate the F2 key, allowing in-game menus to work as illustrated.  Note that you "
    L"do NOT need this feature if you are using a joystick as only keyboard menu keys are hard-coded.\r\n"
    L"\r\n"
    L"The don't use in 2k6 menus was for my own benefit as my VR1 button doubles as the up key in menus";

} // namespace

frmVR::frmVR() : SettingsDialog(viewButtonSpec(), {{kFile, kRows}}) {
    onClick(L"cmdCAHelp", [this](int) { report::info(hwnd(), kCameraTitle, kCameraText); });
    onClick(L"cmdMnuOvHelp", [this](int) { report::info(hwnd(), kMenuTitle, kMenuText); });
    onClick(L"cmdVRhatH", [this](int) { hatForm().show(this); });
}

frmVR& viewButtonForm() {
    static frmVR form;
    return form;
}

} // namespace bindings
