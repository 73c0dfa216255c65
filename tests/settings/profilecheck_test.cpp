#include "settings/profilecheck.h"

#include <gtest/gtest.h>

TEST(ProfileCheck, AsReadDropsBlanksThenOnePairOfMatchingQuotes) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"  25 \t", L"25"}, {L"\"25\"", L"25"}, {L"'a b'", L"a b"}, {L" \" x \" ", L" x "},
        {L"\"a'", L"\"a'"},  {L"\"", L"\""},     {L"\"\"", L""},     {L"\"\"x\"\"", L"\"x\""},
        {L"", L""},          {L"a\tb", L"a\tb"},
    };
    for (const auto& [written, read] : cases)
        EXPECT_EQ(settings::asRead(written), read) << "[" << std::wstring(written).size() << "]";
}

TEST(ProfileCheck, KeepsOtherLinesAcceptsTheWritersOwnRewritesAndRefusesLosses) {
    const settings::WrittenKey general[] = {{L"General", L"SleepTime"}, {L"General", L"NewKey"}};
    const wchar_t* before = L"; mine\r\n[General] ; main\r\n  sleeptime = 5 \r\n\r\nOther = x\r\n"
                            L"[Net]\r\nSleepTime=1\nPort=2300\r\n";
    // clang-format off
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"; mine\r\n[General]\r\nsleeptime=60\r\nOther=x\r\nNewKey=7\r\n[Net]\r\nSleepTime=1\r\nPort=2300\r\n", true},
        {L"; mine\r\n[General]\r\nOther=x\r\n[Net]\r\nSleepTime=1\r\nPort=2300\r\n", true}, // own key dropped
        {L"; mine\r\n[GENERAL]\r\nOther=x\r\n[net]\r\nSleepTime=1\r\nPort=2300", false}, // header rewritten
        {L"; mine\r\n[General]\r\nsleeptime=60\r\nOther=x\r\n[Net]\r\nSleepTime=1\r\nPo", false}, // cut
        {L"", false},
        {L"; mine\r\n[General]\r\nOther=x\r\n[Net]\r\nSleepTime=60\r\nPort=2300", false}, // another section's
        {L"; mine\r\n[General]\r\nOther=x\r\n[Net]\r\nPort=2300\r\nSleepTime=1\r\n", false}, // swapped
    };
    // clang-format on
    for (const auto& [after, kept] : cases)
        EXPECT_EQ(settings::keepsOtherLines(before, after, general), kept) << after;
    // A new file, or one that held nothing: nothing to lose.
    EXPECT_TRUE(settings::keepsOtherLines(L"", L"[General]\r\nSleepTime=0\r\n", general));
    EXPECT_TRUE(settings::keepsOtherLines(L"\r\n \r\n", L"", general));
}
