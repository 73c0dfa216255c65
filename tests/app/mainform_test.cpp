// What only the main window does; what every saving window does is in tests/faults.
#include "app/mainform.h"
#include "harness/harness.h"

using namespace harness;

// Lines are taken by position, a refused or missing one leaving its control as it was; Ok writes all
// seven. UseOverlay 1 forces windowed mode, no other value does. A hidden game file is absent.
TEST_F(WindowTest, MainWindowReadsTheGamesFileByPositionAndWritesItWhole) {
    GameFolder game;
    app::Form1& form = app::form1();
    const std::wstring gameFile = game.file(L"\\morvex2006.ini");
    for (const std::string overlay : {"yes", "2", "1"}) {
        write(gameFile, "DX/ADAPTER=1\r\nDX/RES/WIDTH = 1280 = junk\r\n");
        write(game.settings(L"settings.ini"), "[General]\r\nUseOverlay=" + overlay + "\r\n");
        form.show();
        click(form, L"cmdOk");
        EXPECT_EQ(read(gameFile), "DX/ADAPTER = -1\r\nDX/RES/WIDTH = 1280\r\nDX/RES/HEIGHT = Text1\r\n"
                                  "DX/ANTIALIASING = -1\r\nDX/FOG = 0\r\nLANGUAGE = -1\r\nDX/WINDOWED = " +
                                      (overlay == "1" ? overlay : "0") + "\r\n");
        form.unload();
    }
    write(gameFile, "DX/ADAPTER = 2\r\n");
    SetFileAttributesW(gameFile.c_str(), FILE_ATTRIBUTE_HIDDEN);
    form.show();
    EXPECT_EQ(form.selected(L"cmbVideo"), 0);
}
