#include "harness/harness.h"
#include "settings/ini.h"

using namespace harness;

// A write keeps every other line of the file, in the ANSI code page; a value is read whole however long.
TEST_F(WindowTest, IniWritesKeepEveryOtherLineAndReadsLongValuesWhole) {
    GameFolder game;
    const std::wstring file = game.settings(L"settings.ini"), value(10000, L'\u00e9');
    write(file, "; comment\r\n[General]\r\nSleepTime=5\r\nUnknown=x\r\n[Other]\r\nKey=1\r\n");
    ASSERT_EQ(settings::WriteIni(file, L"General", L"SleepTime", L"60"), 0u);
    ASSERT_EQ(settings::WriteIni(file, L"General", L"New", value), 0u);
    EXPECT_EQ(read(file), "; comment\r\n[General]\r\nSleepTime=60\r\nUnknown=x\r\nNew=" +
                              std::string(10000, '\xe9') + "\r\n[Other]\r\nKey=1\r\n");
    EXPECT_EQ(settings::ReadIni(file, L"General", L"New", false), value);
}
