#include "app/mainform.h"

#include "app/installer.h"
#include "controls/controlsform.h"
#include "core/number.h"
#include "enhancements/enhancement.h"
#include "gameconfig/gamefile.h"
#include "platform/files.h"
#include "platform/system.h"
#include "settingsui/binding.h"
#include "texmods/texmodform.h"

#include "resource.h"

#include <commctrl.h>

namespace app {
namespace {

using tk::Kind;

// clang-format off
tk::FormSpec mainSpec() {
    return {
        .name = L"Form1",
        .caption = L"Morvex 2 Zelq: Configuration.",
        .width = 7980,
        .height = 4965,
        .icon = true,
        .background = IDR_BACKGROUND,
        .backColor = RGB(240, 240, 240),
        .controls =
            {
                {.name = L"Label5", .kind = Kind::Label, .caption = L"Language:", .left = 4440, .top = 360, .width = 765, .height = 195, .tab = 13},
                {.name = L"cmbLang", .kind = Kind::DropList, .left = 5520, .top = 240, .width = 2175, .height = 315, .tab = 12,
                 .items = {L"English", L"French", L"German", L"Italian", L"Spanish"}},
                {.name = L"Label1", .kind = Kind::Label, .caption = L"Monitor:", .left = 4680, .top = 840, .width = 570, .height = 195, .tab = 3},
                {.name = L"cmbVideo", .kind = Kind::DropList, .left = 5520, .top = 720, .width = 2175, .height = 315, .tab = 2,
                 .items = {L"Primary", L"Secondary", L"Terciary"}},
                {.name = L"Label2", .kind = Kind::Label, .caption = L"Resolution:", .left = 4560, .top = 1200, .width = 795, .height = 195, .tab = 4},
                {.name = L"txtXres", .kind = Kind::TextBox, .caption = L"Text1", .left = 5520, .top = 1080, .width = 615, .height = 285, .tab = 5},
                {.name = L"Label3", .kind = Kind::Label, .caption = L"x", .left = 6120, .top = 1080, .width = 75, .height = 195, .tab = 6},
                {.name = L"txtYRes", .kind = Kind::TextBox, .caption = L"Text1", .left = 6240, .top = 1080, .width = 615, .height = 285, .tab = 7},
                {.name = L"cmdDesktop", .kind = Kind::Button, .caption = L"Desktop", .left = 6960, .top = 1080, .width = 735, .height = 255, .tab = 15},
                {.name = L"Label4", .kind = Kind::Label, .caption = L"Anti-Aliasing:", .left = 4440, .top = 1560, .width = 900, .height = 195, .tab = 8},
                {.name = L"cmbAA", .kind = Kind::DropList, .left = 5520, .top = 1440, .width = 2175, .height = 315, .tab = 9,
                 .items = {L"None", L"Quality Level 1", L"Quality Level 2"}},
                {.name = L"chkFog", .kind = Kind::CheckBox, .caption = L"Enable Fog", .left = 5520, .top = 1920, .width = 1935, .height = 195, .tab = 10},
                {.name = L"chkWindow", .kind = Kind::CheckBox, .caption = L"Windowed Mode", .left = 5520, .top = 2160, .width = 1935, .height = 195, .tab = 11},
                {.name = L"Label6", .kind = Kind::Label, .caption = L"Throttle: (0 to 100)", .left = 5520, .top = 2520, .width = 1335, .height = 255, .tab = 17},
                {.name = L"txtThrottle", .kind = Kind::TextBox, .caption = L"Text1", .left = 6960, .top = 2520, .width = 735, .height = 225, .tab = 18},
                {.name = L"Command1", .kind = Kind::Button, .caption = L"Configure Enhancements", .left = 5520, .top = 3240, .width = 2175, .height = 375, .tab = 19},
                {.name = L"cmdTexMod", .kind = Kind::Button, .caption = L"Manage Texture Mods", .left = 5520, .top = 3600, .width = 2175, .height = 375, .tab = 16},
                {.name = L"cmdControls", .kind = Kind::Button, .caption = L"Configure Controls", .left = 5520, .top = 3960, .width = 2175, .height = 375, .tab = 14},
                {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 4320, .top = 4440, .width = 1620, .height = 450, .tab = 0},
                {.name = L"cmdCancel", .kind = Kind::Button, .caption = L"Cancel", .left = 6000, .top = 4440, .width = 1620, .height = 450, .tab = 1},
            },
    };
}
// clang-format on

const settings::IniFile kSettings{L"settings.ini", L"General"};
const settings::Binding kThrottle[] = {{L"SleepTime", L"txtThrottle", settings::Encoding::Text}};

std::wstring gameFile() {
    return settings::appPath(L"\\morvex2006.ini");
}

bool InitComCtl() {
    // Errors are ignored: the program runs with whatever controls the system offers.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_USEREX_CLASSES}; // of 8 bytes
    return InitCommonControlsEx(&icc) != FALSE;
}

} // namespace

Form1::Form1() : Form(mainSpec()) {
    onClick(L"cmdOk", [this](int) { ok(); });
    onClick(L"cmdCancel", [](int) { platform::sys().endProgram(); });
    onClick(L"cmdDesktop", [this](int) { desktop(); });
    onClick(L"Command1", [this](int) { enhancements::frmEnhancement().show(this); });
    onClick(L"cmdControls", [this](int) { controls::controlsForm().show(this); });
    onClick(L"cmdTexMod", [this](int) { texmods::texModForm().show(this); });
}

Form1& form1() {
    static Form1 form;
    return form;
}

void Form1::onLoad() {
    InitComCtl();
    Loadini();
    LoadSettings();
    if (!InstallPrerequisites())
        unload(); // the program was ended: the window must never show
}

void Form1::onCloseRequest() {
    LoadLibraryW(L"comctl32.dll"); // stays loaded until the process ends; errors are ignored
    unload();
}

void Form1::Loadini() {
    const std::wstring path = gameFile();
    std::string bytes;
    if (!platform::isNormalFile(path))
        bytes = gameconfig::format({}, 0); // an absent file gives the defaults a new one is written with
    else if (platform::readFile(path, bytes))
        return; // a file that cannot be opened changes no control
    const gameconfig::Loaded l = gameconfig::parse(bytes);
    if (l.adapter)
        select(L"cmbVideo", *l.adapter);
    if (l.width)
        setText(L"txtXres", platform::fromAnsi(*l.width));
    if (l.height)
        setText(L"txtYRes", platform::fromAnsi(*l.height));
    if (l.antiAliasing)
        select(L"cmbAA", *l.antiAliasing);
    if (l.fog)
        setCheck(L"chkFog", *l.fog);
    if (l.language)
        select(L"cmbLang", *l.language);
    if (l.windowed)
        setCheck(L"chkWindow", *l.windowed);
}

settings::FileChange Form1::saveIni() const {
    gameconfig::Values v;
    v.adapter = selected(L"cmbVideo");
    v.width = platform::toAnsi(text(L"txtXres"));
    v.height = platform::toAnsi(text(L"txtYRes"));
    v.antiAliasing = selected(L"cmbAA");
    v.fog = check(L"chkFog");
    v.language = selected(L"cmbLang");
    v.windowed = check(L"chkWindow");
    return {.path = gameFile(), .text = gameconfig::format(v, settings::gUseOverlay)};
}

void Form1::LoadSettings() {
    const std::wstring path = kSettings.path();
    // A value that does not convert counts as 0.
    settings::gUseOverlay =
        core::toInt16(settings::ReadIni(path, kSettings.section, L"UseOverlay", true)).value_or(int16_t{0});
    settings::load(*this, kSettings, kThrottle);
}

settings::FileChange Form1::SaveSettings() const {
    return settings::changesOf(*this, {{kSettings, kThrottle}}).front();
}

void Form1::ok() {
    if (!settings::saveFiles(hwnd(), {saveIni(), SaveSettings()}))
        return; // the user was told; no file changed and the window stays open with every change
    platform::sys().endProgram();
}

void Form1::desktop() {
    // The primary screen's true resolution: the program is aware of display scaling.
    setText(L"txtXres", std::to_wstring(GetSystemMetrics(SM_CXSCREEN)));
    setText(L"txtYRes", std::to_wstring(GetSystemMetrics(SM_CYSCREEN)));
}

} // namespace app
