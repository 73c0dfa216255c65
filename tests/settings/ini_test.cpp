#include "harness/harness.h"
#include "settings/ini.h"

using namespace harness;
using settings::ReadIni;
using settings::WriteIni;

class Ini : public WindowTest {
protected:
    GameFolder game;
    std::wstring file = game.settings(L"settings.ini");
};

TEST_F(Ini, WritesKeepEveryOtherLineInTheAnsiCodePage) {
    write(file, "; comment\r\n[General]\r\nSleepTime=5\r\nUnknown=x\r\n[Other]\r\nKey=1\r\n");
    ASSERT_EQ(WriteIni(file, L"General", L"SleepTime", L"60"), 0u);
    ASSERT_EQ(WriteIni(file, L"General", L"NewKey", L"Caf\u00e9"), 0u);
    EXPECT_EQ(
        read(file),
        "; comment\r\n[General]\r\nSleepTime=60\r\nUnknown=x\r\nNewKey=Caf\xe9\r\n[Other]\r\nKey=1\r\n");
}

// Hand-edited files read as the profile reader defines them (blanks and quotes dropped, the first of
// duplicate keys, keys outside their section unseen, long values whole, bytes above 127 in the ANSI
// code page), and a save over them keeps every other line.
TEST_F(Ini, OddFilesReadAsTheProfileReaderDefines) {
    const std::string key = "[General]\r\nLanLobbyName=";
    const std::pair<std::string, std::wstring> odd[] = {
        {"[General]\r\n  LanLobbyName \t=\t  25  \t\r\n", L"25"},
        {key + "\"25\"\r\n", L"25"},
        {key + "25\r\nLanLobbyName=99\r\n", L"25"},
        {"LanLobbyName=25\r\n[Elsewhere]\r\nLanLobbyName=26\r\n[General]\r\n", L""},
        {"; hand made\r\n" + key + "25", L"25"},
        {key + std::string(255, 'x') + "\r\n", std::wstring(255, L'x')},
        {key + std::string(1023, 'x') + "\r\n", std::wstring(1023, L'x')},
        {key + std::string(10000, 'x') + "\r\n", std::wstring(10000, L'x')},
        {key + "Caf\xe9 \xb5s\r\n", L"Caf\u00e9 \u00b5s"},
        {"[General]\nLanLobbyName=25\n", L"25"},
        {"\x01\x02[[[\r\n=\r\n[General]\r\n=25\r\nLanLobbyName", L""},
    };
    for (const auto& [bytes, shown] : odd) {
        write(file, bytes);
        EXPECT_EQ(ReadIni(file, L"General", L"LanLobbyName", false), shown) << bytes.substr(0, 60);
        EXPECT_EQ(WriteIni(file, L"General", L"LanLobbyName", shown + L"!"), 0u) << bytes.substr(0, 60);
        EXPECT_EQ(ReadIni(file, L"General", L"LanLobbyName", false), shown + L"!");
    }
}
