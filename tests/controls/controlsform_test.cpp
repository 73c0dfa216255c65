// What only the controller dialog does; what every saving window does is in tests/faults.
#include "controls/controlsform.h"
#include "harness/harness.h"

using namespace harness;

// A switch loaded ticked enables its group; loaded clear or greyed, not. Label1 and Configure stay.
TEST_F(WindowTest, ControllerSwitchesSetTheirGroups) {
    GameFolder game;
    controls::frmControls& form = controls::controlsForm();
    const char* expected[] = {"01001 10000 0 01111", "11111 11111 1 01111", "00000 00000 0 01111"};
    for (const std::string state : {"0", "1", "2"}) { // each file holds the keys of all three; the
        for (const wchar_t* file : {L"xinput.ini", L"ff.ini", L"settings.ini"}) // others switch nothing
            write(game.settings(file),
                  "[General]\r\nEnable=" + state + "\r\nJSOverride=" + state +
                      "\r\nShifterOverride=1\r\nVROverride=1\r\nWheelOverride=1\r\nPedalOverride=1\r\n");
        form.show();
        std::string enabled;
        for (const wchar_t* name :
             {L"lblgp", L"lblximulti", L"cmbXID", L"cmdXIAdv", L"txtXIMulti", L"", L"lblffmulti", L"lblffdev",
              L"cmbFFID", L"cmdFFAdv", L"txtFFMulti", L"", L"cmbJSO", L"", L"Label1", L"Command2",
              L"cmdPedal", L"cmdVRCFG", L"cmdGSCFG"})
            enabled += *name ? (form.enabled(name) ? '1' : '0') : ' ';
        EXPECT_EQ(enabled, expected[std::stoi(state)]) << state;
        form.unload();
    }
}

TEST_F(WindowTest, ControllerAdvancedSetupStartsTheSystemsNotepadByItsFullPath) {
    GameFolder game;
    controls::frmControls& form = controls::controlsForm();
    for (const wchar_t* file : {L"xinput.ini", L"ff.ini"})
        write(game.settings(file), "[General]\r\nEnable=1\r\n");
    wchar_t folder[MAX_PATH];
    const std::wstring notepad =
        std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH)) + L"\\notepad.exe";
    form.show();
    for (const DWORD error : {DWORD{0}, DWORD{ERROR_FILE_NOT_FOUND}}) {
        rec.startError = error;
        click(form, L"cmdFFAdv");
        click(form, L"cmdXIAdv");
    }
    ASSERT_TRUE(rec.started.size() == 4 && rec.messages.size() == 2);
    for (size_t i = 0; i < 2; ++i) {
        const std::wstring name = i ? L"Xinput.ini" : L"FF.ini";
        EXPECT_TRUE(rec.started[i].application == notepad && rec.started[i].show == SW_SHOWNORMAL);
        EXPECT_EQ(rec.started[i].commandLine,
                  L"\"" + notepad + L"\" \"" + game.path() + L"\\zelqcfg\\" + name + L"\"");
        EXPECT_TRUE(rec.messages[i].title == L"Can't Find Notepad" &&
                    rec.messages[i].icon == platform::Icon::Information);
        EXPECT_EQ(rec.messages[i].text, L"For advanced Settings, open your " + (i ? L"Zelq" + name : name) +
                                            L" in the text editor of your choice.");
    }
}
