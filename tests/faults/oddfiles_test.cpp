// Hand-edited settings files, read by every window: no crash, no message, and each value comes
// out as the profile reader defines it (blanks and quotes dropped, the first of duplicate keys,
// keys outside their section unseen, long values whole, bytes above 127 in the ANSI code page).
#include "faults/windows.h"
#include "harness/harness.h"
#include "settings/ini.h"

using namespace harness;

namespace {

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

const Probe kProbes[] = {
    {"main", L"settings.ini", "General", "SleepTime", L"txtThrottle", 0, L"0"},
    {"controls", L"ff.ini", "General", "GlobalMultiplier", L"txtFFMulti", 0, L"0"},
    {"wheel", L"wheel.ini", "Wheel", "Deadzone", L"txtDZ", 0, L"0"},
    {"pedal", L"pedals.ini", "Pedals", "Deadzone", L"txtDZ", 0, L"0"},
    {"gearshift", L"gearshift.ini", "GearShift", "UpKey", L"txtUp", 0, L"0"},
    {"viewbuttons", L"vrbuttons.ini", "VR", "Camera1", L"txtCamera", 1, L"0"},
    {"enhancements", L"settings.ini", "General", "LanLobbyName", L"txtLobbyName", 0, L""},
};

struct Odd {
    const char* name;
    std::string (*file)(const Probe&);
    std::wstring expected; // empty: the key counts as missing
};

std::string head(const Probe& p) {
    return std::string("[") + p.section + "]";
}
std::string longValue() {
    return std::string(10000, 'x');
}

const Odd kOdd[] = {
    {"Blanks", [](const Probe& p) { return head(p) + "\r\n  " + p.key + " \t=\t  25  \t\r\n"; }, L"25"},
    {"Quotes", [](const Probe& p) { return head(p) + "\r\n" + p.key + "=\"25\"\r\n"; }, L"25"},
    {"Duplicates", [](const Probe& p) { return head(p) + "\r\n" + p.key + "=25\r\n" + p.key + "=99\r\n"; },
     L"25"},
    {"OutsideSection",
     [](const Probe& p) {
         return std::string(p.key) + "=25\r\n[Elsewhere]\r\n" + p.key + "=26\r\n" + head(p) + "\r\n";
     },
     L""},
    {"NoFinalLineBreak", [](const Probe& p) { return "; hand made\r\n" + head(p) + "\r\n" + p.key + "=25"; },
     L"25"},
    {"LongValue", [](const Probe& p) { return head(p) + "\r\n" + p.key + "=" + longValue() + "\r\n"; },
     std::wstring(10000, L'x')},
    {"HighBytes", [](const Probe& p) { return head(p) + "\r\n" + p.key + "=Caf\xe9 \xb5s\r\n"; },
     L"Caf\u00e9 \u00b5s"},
    {"UnixLineEnds", [](const Probe& p) { return head(p) + "\n" + p.key + "=25\n"; }, L"25"},
    {"Garbage", [](const Probe& p) { return "\x01\x02[[[\r\n=\r\n" + head(p) + "\r\n=25\r\n" + p.key; }, L""},
};

struct Case {
    const Probe* probe;
    const Odd* odd;
};

std::vector<Case> cases() {
    std::vector<Case> out;
    for (const Probe& p : kProbes)
        for (const Odd& o : kOdd)
            out.push_back({&p, &o});
    return out;
}

const faults::SavingWindow& windowNamed(const char* name) {
    for (const auto& w : faults::savingWindows())
        if (std::string(w.name) == name)
            return w;
    throw std::runtime_error("no such window");
}

} // namespace

class OddFile : public WindowTest, public ::testing::WithParamInterface<Case> {};

TEST_P(OddFile, ReadsAsTheProfileReaderDefines) {
    const Probe& p = *GetParam().probe;
    const Odd& o = *GetParam().odd;
    GameFolder game;
    const std::string bytes = o.file(p);
    // Every file the windows read gets the same odd shape, so every window meets it.
    for (const wchar_t* name : {L"settings.ini", L"ff.ini", L"xinput.ini", L"wheel.ini", L"pedals.ini",
                                L"gearshift.ini", L"vrbuttons.ini"})
        write(game.settings(name), bytes);

    tk::Form& form = windowNamed(p.window).open();
    EXPECT_TRUE(rec.messages.empty());
    ASSERT_TRUE(form.loaded());
    const std::wstring shown = form.text(p.control, p.index);
    EXPECT_EQ(shown, o.expected.empty() ? std::wstring(p.missing) : o.expected);

    click(form, L"cmdOk");
    EXPECT_TRUE(rec.messages.empty());
    // What was shown is what is stored now.
    const std::wstring file = game.settings(p.file);
    const std::wstring stored =
        settings::ReadIni(file, std::wstring(p.section, p.section + strlen(p.section)),
                          std::wstring(p.key, p.key + strlen(p.key)), false);
    EXPECT_EQ(stored, shown == L"" ? L"" : shown);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, OddFile, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& i) {
                             return std::string(i.param.probe->window) + "_" + i.param.odd->name;
                         });
