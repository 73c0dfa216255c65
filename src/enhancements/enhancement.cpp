#include "enhancements/enhancement.h"

#include "enhancements/lanlists.h"
#include "settingsui/binding.h"

#include <span>

namespace enhancements {
namespace {

using settings::Binding;
using settings::Encoding;
using tk::Kind;

std::vector<std::wstring_view> entries(std::span<const std::wstring_view> list) {
    return {list.begin(), list.end()};
}

void fill(tk::Form& form, std::wstring_view list, std::span<const std::wstring_view> items) {
    if (items.empty())
        return; // no type selected: the list keeps its entries and its selection
    form.clearItems(list);
    for (auto item : items)
        form.addItem(list, item);
    form.select(list, 0);
}

// One control per row, as the layout is read.
// clang-format off
tk::FormSpec enhancementSpec() {
    return {
        .name = L"frmEnhancement",
        .caption = L"Enhancements",
        .width = 8280,
        .height = 5685,
        .controls =
            {
                {.name = L"chkOverlay", .kind = Kind::CheckBox, .caption = L"Enable Overlay (FS Only, Necessary for most enhancements)", .left = 240, .top = 120, .width = 4815, .height = 195, .tab = 0},
                {.name = L"chkArcade", .kind = Kind::CheckBox, .caption = L"Arcade Mode (2 SP Only)", .left = 240, .top = 600, .width = 2295, .height = 195, .tab = 1},
                {.name = L"chk43", .kind = Kind::CheckBox, .caption = L"Force Menus to 4:3", .left = 240, .top = 360, .width = 2295, .height = 195, .tab = 2},
                {.name = L"chkOutputs", .kind = Kind::CheckBox, .caption = L"Enable MHooker Outputs", .left = 240, .top = 1560, .width = 2295, .height = 195, .tab = 3},
                // The rows are 240 twips apart: a taller box would cover the top of the one below.
                {.name = L"chkBonusCars", .kind = Kind::CheckBox, .caption = L"Enable Bonus Cars for Arcade Mode", .left = 240, .top = 840, .width = 4695, .height = 240, .tab = 4},
                {.name = L"chkBonusSongs", .kind = Kind::CheckBox, .caption = L"Enable Bonus Songs for Arcade Mode", .left = 240, .top = 1080, .width = 4695, .height = 240, .tab = 5},
                {.name = L"chkLan", .kind = Kind::CheckBox, .caption = L"Enable Auto LAN Multiplayer (Disables Arcade Mode) **WARNING! HIGHLY EXPERIMENTAL!**", .left = 240, .top = 2040, .width = 7935, .height = 255, .tab = 7},
                {.name = L"chkUseHud", .kind = Kind::CheckBox, .caption = L"Enable HD hud (unfinished)", .left = 240, .top = 1320, .width = 2295, .height = 195, .tab = 33},
                {.name = L"Line1", .kind = Kind::Line, .left = 240, .top = 2400, .width = 8040},
                {.name = L"Label1", .kind = Kind::Label, .caption = L"Network Mode", .left = 240, .top = 2640, .width = 1095, .height = 195},
                {.name = L"cmbMS", .kind = Kind::DropList, .left = 1440, .top = 2520, .width = 1095, .height = 315, .tab = 6,
                 .items = {L"Slave", L"Master"}},
                {.name = L"Label2", .kind = Kind::Label, .caption = L"Car", .left = 240, .top = 3000, .width = 795, .height = 195},
                {.name = L"cmbCar", .kind = Kind::DropList, .left = 1080, .top = 2880, .width = 2175, .height = 315, .tab = 10,
                 .items = {L"F50", L"Dino 246 GTS", L"288 GTO", L"512 BB", L"365 GTS", L"Enzo Ferrari", L"Testarossa",
                           L"360 Spider", L"F40", L"250 GTO", L"F355 Spider", L"328 GTS", L"F430", L"550 Barchetta",
                           L"Superamerica"}},
                {.name = L"Label3", .kind = Kind::Label, .caption = L"Car Mode", .left = 240, .top = 3360, .width = 795, .height = 195},
                {.name = L"cmbCarMode", .kind = Kind::DropList, .left = 1080, .top = 3240, .width = 2175, .height = 315, .tab = 12,
                 .items = {L"Standard", L"Morvex"}},
                {.name = L"Label4", .kind = Kind::Label, .caption = L"Transmission", .left = 240, .top = 3720, .width = 1035, .height = 195},
                {.name = L"cmbTrans", .kind = Kind::DropList, .left = 1320, .top = 3600, .width = 1935, .height = 315, .tab = 16,
                 .items = {L"Automatic", L"Manual"}},
                {.name = L"Label5", .kind = Kind::Label, .caption = L"Car Color", .left = 240, .top = 4080, .width = 795, .height = 195},
                {.name = L"cmbColor", .kind = Kind::DropList, .left = 1080, .top = 3960, .width = 2175, .height = 315, .tab = 13,
                 .items = {L"Red", L"Yellow", L"Black", L"White", L"Silver", L"Green", L"Light Blue", L"Dark Blue"}},
                {.name = L"Label6", .kind = Kind::Label, .caption = L"Song", .left = 480, .top = 4440, .width = 555, .height = 195},
                {.name = L"cmbSong", .kind = Kind::DropList, .left = 1080, .top = 4320, .width = 2175, .height = 315, .tab = 18,
                 .items = {L"Splash Wave"}},
                {.name = L"Label7", .kind = Kind::Label, .caption = L"Lobby Name", .left = 3840, .top = 2520, .width = 1035, .height = 195},
                {.name = L"txtLobbyName", .kind = Kind::TextBox, .left = 4920, .top = 2520, .width = 3135, .height = 285, .tab = 20},
                {.name = L"Label8", .kind = Kind::Label, .caption = L"Max Players", .left = 3840, .top = 3000, .width = 1035, .height = 195},
                {.name = L"cmbMaxP", .kind = Kind::DropList, .left = 4920, .top = 2880, .width = 855, .height = 315, .tab = 22,
                 .items = {L" 2", L" 3", L" 4", L" 5", L" 6"}},
                {.name = L"Label9", .kind = Kind::Label, .caption = L"Course Type", .left = 3840, .top = 3360, .width = 1035, .height = 195},
                {.name = L"cmbCourseType", .kind = Kind::DropList, .left = 4920, .top = 3240, .width = 1455, .height = 315, .tab = 24,
                 .items = entries(courseTypes())},
                {.name = L"Label10", .kind = Kind::Label, .caption = L"Course", .left = 4200, .top = 3720, .width = 675, .height = 195},
                {.name = L"cmbCourse", .kind = Kind::DropList, .left = 4920, .top = 3600, .width = 3135, .height = 315, .tab = 26},
                {.name = L"Label11", .kind = Kind::Label, .caption = L"Car Type", .left = 4080, .top = 4080, .width = 795, .height = 195},
                {.name = L"cmbCarType", .kind = Kind::DropList, .left = 4920, .top = 3960, .width = 3135, .height = 315, .tab = 28,
                 .items = entries(carTypes())},
                {.name = L"Label12", .kind = Kind::Label, .caption = L"Car Class", .left = 4080, .top = 4440, .width = 795, .height = 195},
                {.name = L"cmbCarClass", .kind = Kind::DropList, .left = 4920, .top = 4320, .width = 3135, .height = 315, .tab = 30},
                {.name = L"chkNoCatchup", .kind = Kind::CheckBox, .caption = L"No Catch Up", .left = 4080, .top = 4800, .width = 1335, .height = 255, .tab = 31},
                {.name = L"chkNoCollisions", .kind = Kind::CheckBox, .caption = L"No Collisions", .left = 5520, .top = 4800, .width = 1335, .height = 255, .tab = 32},
                {.name = L"cmdOk", .kind = Kind::Button, .caption = L"Ok", .left = 2520, .top = 5160, .width = 1455, .height = 375, .tab = 35},
                {.name = L"cmdCancel", .kind = Kind::Button, .caption = L"Cancel", .left = 4320, .top = 5160, .width = 1455, .height = 375, .tab = 34},
            },
    };
}
// clang-format on

const settings::IniFile kSettings{L"settings.ini", L"General"};

// The keys in the order in which they are written, in two tables: loading reads the first, fills
// the course and class lists of the stored types, and only then reads the second, whose stored
// positions index those lists.
const Binding kBeforeLists[] = {
    {L"BroadcastOutputs", L"chkOutputs", Encoding::Check},
    {L"UseOverlay", L"chkOverlay", Encoding::Check},
    {L"ForceMenusto43", L"chk43", Encoding::Check},
    {L"ArcadeMode", L"chkArcade", Encoding::Check},
    {L"EnableBonusCars", L"chkBonusCars", Encoding::Check},
    {L"EnableBonusSongs", L"chkBonusSongs", Encoding::Check},
    {L"UseHUD", L"chkUseHud", Encoding::Check},
    {L"SlaveorMaster", L"cmbMS", Encoding::List},
    {L"LanCar", L"cmbCar", Encoding::List},
    {L"LanCarMode", L"cmbCarMode", Encoding::List},
    {L"LanTrans", L"cmbTrans", Encoding::List},
    {L"LanCarColor", L"cmbColor", Encoding::List},
    {L"LanSong", L"cmbSong", Encoding::List},
    {L"LanLobbyName", L"txtLobbyName", Encoding::Text, 0, false},
    {L"LanMaxPlayers", L"cmbMaxP", Encoding::List},
    {L"LanCourseType", L"cmbCourseType", Encoding::List},
    {L"LanCarType", L"cmbCarType", Encoding::List},
};
const Binding kAfterLists[] = {
    {L"LanCourse", L"cmbCourse", Encoding::List},
    {L"LanCarClass", L"cmbCarClass", Encoding::List},
    {L"LanNoCatchUp", L"chkNoCatchup", Encoding::Check},
    {L"LanNoCollisions", L"chkNoCollisions", Encoding::Check},
};

} // namespace

FrmEnhancement::FrmEnhancement()
    : SettingsDialog(enhancementSpec(), {{kSettings, kBeforeLists}, {kSettings, kAfterLists}}) {
    onClick(L"cmbCourseType",
            [this](int) { typeClick(L"cmbCourseType", PrevCourseType, &FrmEnhancement::SetCourseBox); });
    onClick(L"cmbCarType",
            [this](int) { typeClick(L"cmbCarType", PrevCarType, &FrmEnhancement::SetCarBox); });
    // chkLan has no key and no effect yet: nothing reads it.
}

FrmEnhancement& frmEnhancement() {
    static FrmEnhancement form;
    return form;
}

void FrmEnhancement::LoadSettings() {
    PrevCourseType.reset();
    PrevCarType.reset();
    // A value that does not convert, or that its list refuses (a course beyond the list of the
    // stored type), loads like a missing key.
    settings::load(*this, kSettings, kBeforeLists);
    SetCarBox();
    SetCourseBox();
    settings::load(*this, kSettings, kAfterLists);
    PrevCourseType = selected(L"cmbCourseType");
    PrevCarType = selected(L"cmbCarType");
}

bool FrmEnhancement::SaveSettings() {
    if (!SettingsDialog::SaveSettings())
        return false;
    // Only a stored value reaches the game's file, so the flag follows the file.
    settings::gUseOverlay = static_cast<int16_t>(check(L"chkOverlay"));
    return true;
}

void FrmEnhancement::SetCourseBox() {
    fill(*this, L"cmbCourse", coursesFor(selected(L"cmbCourseType")));
}

void FrmEnhancement::SetCarBox() {
    fill(*this, L"cmbCarClass", classesFor(selected(L"cmbCarType")));
}

void FrmEnhancement::typeClick(std::wstring_view list, std::optional<int>& previous,
                               void (FrmEnhancement::*refill)()) {
    const int t = selected(list);
    if (t == previous.value_or(0))
        return; // the same type again keeps the chosen course or class
    (this->*refill)();
    previous = t;
}

} // namespace enhancements
