#include "settings/profilecheck.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace {

// The section and key names of these cases are ASCII: any comparison without case serves.
bool sameAscii(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b,
                              [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

} // namespace

TEST(ProfileCheck, AsReadDropsBlanksThenOnePairOfMatchingQuotes) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"  25 \t", L"25"}, {L"\"25\"", L"25"}, {L"'a b'", L"a b"}, {L" \" x \" ", L" x "},
        {L"\"a'", L"\"a'"},  {L"\"", L"\""},     {L"\"\"", L""},     {L"\"\"x\"\"", L"\"x\""},
        {L"", L""},          {L"a\tb", L"a\tb"},
    };
    for (const auto& [written, read] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(written)));
        EXPECT_EQ(settings::asRead(written), read);
    }
}

// Each case: the file before, after the writer, and whether it kept every line the save does not own.
TEST(ProfileCheck, KeepsOtherLinesAcceptsTheWritersOwnRewritesAndRefusesLosses) {
    const settings::WrittenKey general[] = {{L"General", L"SleepTime"}, {L"General", L"NewKey"}};
    const wchar_t* mine = L"; mine\r\n[General] ; main\r\n  sleeptime = 5 \r\n\r\nOther = x\r\n"
                          L"[Net]\r\nSleepTime=1\nPort=2300\r\n";
    const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
        {mine,
         L"; mine\r\n[General]\r\nsleeptime=60\r\nOther=x\r\nNewKey=7\r\n[Net]\r\nSleepTime=1\r\nPort=2300",
         true},
        {mine, L"; mine\r\n[General]\r\nOther=x\r\n[Net]\r\nSleepTime=1\r\nPort=2300\r\n",
         true}, // own dropped
        {mine, L"; mine\r\n[GENERAL]\r\nOther=x\r\n[net]\r\nSleepTime=1\r\nPort=2300",
         false}, // header rewritten
        {mine, L"; mine\r\n[General]\r\nsleeptime=60\r\nOther=x\r\n[Net]\r\nSleepTime=1\r\nPo", false}, // cut
        {mine, L"", false},
        {mine, L"; mine\r\n[General]\r\nOther=x\r\n[Net]\r\nSleepTime=60\r\nPort=2300",
         false}, // another section's
        {mine, L"; mine\r\n[General]\r\nOther=x\r\n[Net]\r\nPort=2300\r\nSleepTime=1\r\n", false}, // swapped
        {L"", L"[General]\r\nSleepTime=0\r\n", true}, // nothing to lose
        {L"\r\n \r\n", L"", true},
    };
    for (const auto& [before, after, kept] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(after)));
        EXPECT_EQ(settings::keepsOtherLines(before, after, general, sameAscii), kept);
    }
}
