// What only the controller dialog does; what every saving window does is in tests/faults.
#include "controls/controlsform.h"
#include "harness/harness.h"

using namespace harness;

// Advanced setup opens the file in the system's Notepad, named by its full path, or says where the file is.
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
