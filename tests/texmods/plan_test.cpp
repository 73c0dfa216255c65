// What the fuzzer cannot tell: which entries are refused, and the texts and sizes around a run.
#include "texmods/plan.h"

#include <gtest/gtest.h>

using namespace texmods;
using Lines = std::vector<std::wstring>;

namespace {

// A comparison of names wider than ASCII, as the system's is: here the long s is taken for "s", as
// Unicode's upper case has it.
bool sameName(std::wstring_view a, std::wstring_view b) {
    auto upper = [](wchar_t c) {
        if (c == L'\u017f')
            return L'S';
        return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](wchar_t x, wchar_t y) { return upper(x) == upper(y); });
}

// "<mod file> <entry>" of the refusal, or how many steps the plan has.
std::wstring outcome(const std::vector<ModFile>& files) {
    const Plan p = makePlan(files, sameName);
    if (!p.refusal)
        return std::to_wstring(p.steps.size()) + L" steps";
    return p.refusal->modFile + L" " + p.refusal->entry;
}

} // namespace

TEST(TexModPlan, EveryTargetOutsideTheGameFolderOrOnTheBackupsIsRefused) {
    // clang-format off
    const Lines refused{
        L"^x.sz", L"^^server^share^x.sz", L"C:^x.sz", L"c:x.sz", L"..^x.sz", L"a^.^x.sz", L"..", L"a\\x.sz",
        L"a/../../x.sz", L"x.sz:stream", L"a^^b.sz", L"a^", L"x.sz.", L"dir ^x.sz", L"con.sz", L"NUL.tar.gz",
        L"aux .sz", L"COM1.sz", L"lpt9", L"COM\u00b9.sz", L"a^PRN^x.sz", L"CONOUT$", L"a*b.sz", L"a?.sz",
        L"a<b.sz", L"a\"b.sz", L"a\tb.sz", L"zelqcfg^texpacks^original^x.sz", L"ZELQCFG^TexPacks^texmods^m^a.sz",
        L"zelqcfg^texpacks", L"ZELQCF~1^texpacks^original^x.sz", L"zelqcfg^TEXPAC~1^original^x.sz",
        L"zelqcfg^texpack\u017f^original^x.sz"};
    // clang-format on
    // Refused for its first bad entry, also in the middle of a later file's list, or as a file's own name.
    for (const std::wstring& entry : refused) {
        SCOPED_TRACE(testing::PrintToString(entry));
        EXPECT_EQ(outcome({{L"ok.sz", false, {}}, {L"m.sz", true, L"fine.sz|" + entry + L"|fine2.sz"}}),
                  L"m.sz " + entry);
        EXPECT_EQ(outcome({{entry, false, {}}}), entry + L" " + entry);
    }
}

TEST(TexModPlan, NamesMerelyLikeForbiddenOnesAreTargets) {
    for (const wchar_t* entry :
         {L"console.sz", L"COM10.sz", L"null.sz", L"lpt.sz", L"a..b.sz", L"tex~a.sz", L"zelqcfg^a.sz",
          L"zelqcfg^texpacksX^a.sz", L"texpacks^original^a.sz", L"cars^co n^x.sz", L".sz", L"a~b1.sz"})
        EXPECT_FALSE(targetProblem(entry, sameName)) << testing::PrintToString(std::wstring(entry));
}

TEST(TexModPlan, ListingsOrderNamesAndFindModFilesByTheirAsciiLettersOnly) {
    Lines names{L"zz", L"\u00e9", L"Z_", L"beta", L"\u00c9", L"alpha", L"Alpha"};
    sortNames(names);
    EXPECT_EQ(names, (Lines{L"Alpha", L"alpha", L"beta", L"Z_", L"zz", L"\u00c9", L"\u00e9"}));
    for (const wchar_t* name : {L"a.sz", L"A.SZ", L".Sz"})
        EXPECT_TRUE(isModFileName(name)) << testing::PrintToString(std::wstring(name));
    for (const wchar_t* name : {L"sz", L"a.szz", L"a.sz.txt", L"a.\u017fz"})
        EXPECT_FALSE(isModFileName(name)) << testing::PrintToString(std::wstring(name));
}

TEST(TexModPlan, ADescriptionIsEveryLineFollowedByTwoBlanks) {
    EXPECT_EQ(describe("Line one\r\n\r\nLine two\nthree\r"), "Line one    Line two  three  ");
}

TEST(TexModSpace, AStepWritesBeforeItLetsGoOfWhatItReplaces) {
    const uint64_t k = 4096;
    auto needed = [k](std::vector<SpaceStep> steps, bool install) { return spaceNeeded(steps, install, k); };
    // Game files moved into the backup folder keep their space; each copy is rounded up to clusters.
    EXPECT_EQ(needed({{k, L"A", 9 * k, false}, {2 * k, L"B", 9 * k, false}, {1, L"", 0, false}}, true),
              4 * k);
    // Over files that are saved already, each copy reuses the space of the one before it.
    EXPECT_EQ(needed({{3 * k, L"A", 3 * k, true}, {3 * k, L"B", 3 * k, true}}, true), 3 * k);
    // Uninstall deletes each mod's file after its restore.
    EXPECT_EQ(needed({{k, L"A", 5 * k, true}, {2 * k, L"B", 5 * k, true}, {k, L"C", 5 * k, true}}, false), k);
    // One file named twice: saved first, then the first copy is what the second replaces.
    EXPECT_EQ(needed({{3 * k, L"A", k, false}, {k, L"A", k, false}, {2 * k, L"B", 0, true}}, true), 4 * k);
    // A file that was not there before the run never counts as freed.
    EXPECT_EQ(needed({{k, L"", 0, false}, {k, L"", 0, false}}, true), 2 * k);
    EXPECT_EQ(sizeText(1536), L"1.5 KB (1,536 bytes)");
    EXPECT_EQ(sizeText(3ull << 30), L"3.0 GB (3,221,225,472 bytes)");
}
