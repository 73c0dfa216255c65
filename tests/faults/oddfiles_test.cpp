// Hand-edited settings files, read by every window: no crash, no message, and each value comes
// out as the profile reader defines it (blanks and quotes dropped, the first of duplicate keys,
// keys outside their section unseen, long values whole, bytes above 127 in the ANSI code page).
#include "faults/windows.h"
#include "harness/harness.h"
#include "settings/ini.h"

using namespace harness;

namespace {

using faults::Probe;

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
    for (const Probe& p : faults::probes())
        for (const Odd& o : kOdd)
            out.push_back({&p, &o});
    return out;
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

    tk::Form& form = faults::windowNamed(p.window).open();
    EXPECT_TRUE(rec.messages.empty());
    ASSERT_TRUE(form.loaded());
    const std::wstring shown = form.text(p.control, p.index);
    EXPECT_EQ(shown, o.expected.empty() ? std::wstring(p.missing) : o.expected);

    click(form, L"cmdOk");
    EXPECT_TRUE(rec.messages.empty());
    // What was shown is what is stored now.
    const std::wstring file = game.settings(p.file);
    const std::wstring stored = settings::ReadIni(file, faults::wide(p.section), faults::wide(p.key), false);
    EXPECT_EQ(stored, shown == L"" ? L"" : shown);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, OddFile, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& i) {
                             return std::string(i.param.probe->window) + "_" + i.param.odd->name;
                         });
