#include "texmods/plan.h"

#include <gtest/gtest.h>

using namespace texmods;

namespace {

ModFile named(std::wstring name) {
    return {std::move(name), false, std::nullopt};
}
ModFile listed(std::wstring name, std::optional<std::wstring> line) {
    return {std::move(name), true, std::move(line)};
}

std::vector<std::pair<std::wstring, std::wstring>> targetsAndBackups(const Plan& plan) {
    std::vector<std::pair<std::wstring, std::wstring>> out;
    for (const Step& s : plan.steps)
        out.emplace_back(s.target, s.backup);
    return out;
}

} // namespace

TEST(TexModPlan, NamesAndTargetListsGiveTheStepsInOrder) {
    const Plan plan = makePlan({
        named(L"a.sz"),
        listed(L"b.sz", L"cars^red^body.sz|cars^blue^body.sz|hud.sz"),
        named(L"tracks^t1^sky.sz"),
    });
    ASSERT_FALSE(plan.refusal);
    using P = std::pair<std::wstring, std::wstring>;
    EXPECT_EQ(targetsAndBackups(plan), (std::vector<P>{{L"a.sz", L"a.sz"},
                                                       {L"cars\\red\\body.sz", L"cars^red^body.sz"},
                                                       {L"cars\\blue\\body.sz", L"cars^blue^body.sz"},
                                                       {L"hud.sz", L"hud.sz"},
                                                       {L"tracks\\t1\\sky.sz", L"tracks^t1^sky.sz"}}));
    std::vector<size_t> mods;
    for (const Step& s : plan.steps)
        mods.push_back(s.mod);
    EXPECT_EQ(mods, (std::vector<size_t>{0, 1, 1, 1, 2}));
}

TEST(TexModPlan, EmptyEntriesAndEmptyLinesNameNoFile) {
    // A listed file is never copied to its own name-derived target, even when its list names nothing.
    EXPECT_TRUE(makePlan({listed(L"a.sz", L"")}).steps.empty());
    EXPECT_FALSE(makePlan({listed(L"a.sz", L"")}).refusal);
    const Plan plan = makePlan({listed(L"a.sz", L"|x.sz||y.sz|")});
    ASSERT_FALSE(plan.refusal);
    EXPECT_EQ(targetsAndBackups(plan).size(), 2u);
    EXPECT_EQ(plan.steps[0].target, L"x.sz");
    EXPECT_EQ(plan.steps[1].target, L"y.sz");
    // Entries are used as written: a leading blank is part of the name.
    EXPECT_EQ(makePlan({listed(L"a.sz", L" x.sz")}).steps.at(0).target, L" x.sz");
}

TEST(TexModPlan, AListFileWithoutAnyLineRefusesTheRun) {
    const Plan plan = makePlan({named(L"a.sz"), listed(L"b.sz", std::nullopt)});
    ASSERT_TRUE(plan.refusal);
    EXPECT_EQ(plan.refusal->modFile, L"b.sz");
    EXPECT_TRUE(plan.steps.empty()) << "nothing may be copied, not even the files before it";
}

TEST(TexModPlan, EveryTargetOutsideTheGameFolderOrOnTheBackupsIsRefused) {
    for (const wchar_t* entry : {
             L"^x.sz",
             L"^^server^share^x.sz",
             L"C:^x.sz",
             L"c:x.sz",
             L"..^x.sz",
             L"a^..^..^x.sz",
             L"a^.^x.sz",
             L"..",
             L"a\\x.sz",
             L"a/../../x.sz",
             L"x.sz:stream",
             L"x.sz::$DATA",
             L"a^^b.sz",
             L"a^",
             L"x.sz.",
             L"x.sz ",
             L"dir ^x.sz",
             L"dir.^x.sz",
             L"CON",
             L"con.sz",
             L"NUL.tar.gz",
             L"aux .sz",
             L"COM1.sz",
             L"lpt9",
             L"COM\u00b9.sz",
             L"a^PRN^x.sz",
             L"CONOUT$",
             L"a*b.sz",
             L"a?.sz",
             L"a<b.sz",
             L"a\"b.sz",
             L"a\tb.sz",
             L"zelqcfg^texpacks^original^x.sz",
             L"ZELQCFG^TexPacks^texmods^m^a.sz",
             L"zelqcfg^texpacks",
             L"ZELQCF~1^texpacks^original^x.sz",
             L"zelqcfg^TEXPAC~1^original^x.sz",
         }) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(entry)));
        EXPECT_TRUE(targetProblem(entry));
        // Refused in the middle of a list of a later mod file: the whole run is refused, naming both.
        const Plan plan =
            makePlan({named(L"ok.sz"), listed(L"m.sz", std::wstring(L"fine.sz|") + entry + L"|fine2.sz")});
        ASSERT_TRUE(plan.refusal);
        EXPECT_EQ(plan.refusal->modFile, L"m.sz");
        EXPECT_EQ(plan.refusal->entry, entry);
        EXPECT_FALSE(plan.refusal->reason.empty());
        EXPECT_TRUE(plan.steps.empty());
    }
    // A mod file's own name is checked the same way.
    const Plan byName = makePlan({named(L"..^..^evil.sz")});
    ASSERT_TRUE(byName.refusal);
    EXPECT_EQ(byName.refusal->entry, L"..^..^evil.sz");
}

TEST(TexModPlan, NamesThatOnlyLookDangerousAreAllowed) {
    for (const wchar_t* entry :
         {L"console.sz", L"COM10.sz", L"null.sz", L"lpt.sz", L"a..b.sz", L"tex~a.sz", L"zelqcfg^a.sz",
          L"zelqcfg^texpacksX^a.sz", L"texpacks^original^a.sz", L"cars^co n^x.sz", L".sz", L"a~b1.sz"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(entry)));
        EXPECT_FALSE(targetProblem(entry));
    }
}

TEST(TexModText, FirstLineOfATargetList) {
    EXPECT_FALSE(firstLine(""));
    EXPECT_EQ(firstLine("\r\n"), "");
    EXPECT_EQ(firstLine("a|b\r\nc|d\r\n"), "a|b");
    EXPECT_EQ(firstLine("a|b\nc"), "a|b");
    EXPECT_EQ(firstLine("a|b\rc"), "a|b");
    EXPECT_EQ(firstLine("a|b"), "a|b");
}

TEST(TexModText, DescriptionJoinsLinesWithTwoBlanks) {
    EXPECT_EQ(describe(""), "");
    EXPECT_EQ(describe("One line"), "One line  ");
    EXPECT_EQ(describe("First\r\nSecond"), "First  Second  ");
    EXPECT_EQ(describe("First\r\nSecond\r\n"), "First  Second  ");
    EXPECT_EQ(describe("a\r\n\r\nb"), "a    b  ");
    EXPECT_EQ(describe("\r\n"), "  ");
    EXPECT_EQ(describe("a\nb\rc\r\n"), "a  b  c  ");
}

TEST(TexModText, ModFileNamesAndTheirOrder) {
    EXPECT_TRUE(isModFileName(L"x.sz"));
    EXPECT_TRUE(isModFileName(L"a^b.SZ"));
    EXPECT_FALSE(isModFileName(L"x.szz"));
    EXPECT_FALSE(isModFileName(L"x.sz.txt"));
    EXPECT_FALSE(isModFileName(L"readme.txt"));
    EXPECT_FALSE(isModFileName(L"sz"));
    std::vector<std::wstring> names{L"b.sz", L"C.sz", L"a^z.sz", L"A.sz", L"a.sz", L"ab.sz"};
    sortNames(names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"A.sz", L"a.sz", L"a^z.sz", L"ab.sz", L"b.sz", L"C.sz"}));
}

TEST(TexModSpace, AStepWritesBeforeItLetsGoOfWhatItReplaces) {
    const uint64_t k = 4096;
    auto step = [](uint64_t writes, std::wstring target, uint64_t targetBytes, bool backedUp) {
        return SpaceStep{writes, std::move(target), targetBytes, backedUp};
    };
    // The game's files are moved into the backup folder and keep their space: every copy counts.
    EXPECT_EQ(
        spaceNeeded({step(k, L"A", 9 * k, false), step(2 * k, L"B", 9 * k, false), step(1, L"", 0, false)},
                    true, k),
        4 * k);
    // Over files that are saved already, each copy reuses the space of the one before it.
    EXPECT_EQ(spaceNeeded({step(3 * k, L"A", 3 * k, true), step(3 * k, L"B", 3 * k, true)}, true, k), 3 * k);
    // Uninstall deletes the mod's file after each restore: small backups over large mod files.
    EXPECT_EQ(
        spaceNeeded({step(k, L"A", 5 * k, true), step(2 * k, L"B", 5 * k, true), step(k, L"C", 5 * k, true)},
                    false, k),
        k);
    // One file named twice: first saved, then the first copy is what the second replaces.
    EXPECT_EQ(spaceNeeded({step(3 * k, L"A", k, false), step(k, L"A", k, false), step(2 * k, L"B", 0, true)},
                          true, k),
              4 * k);
    // A file that was not there before the run never counts as freed.
    EXPECT_EQ(spaceNeeded({step(k, L"", 0, false), step(k, L"", 0, false)}, true, k), 2 * k);
    EXPECT_EQ(spaceNeeded({}, true, k), 0u);
}

TEST(TexModSpace, SizesAreShownRoundedAndExactly) {
    EXPECT_EQ(sizeText(1536), L"1.5 KB (1,536 bytes)");
    EXPECT_EQ(sizeText(2048000), L"2.0 MB (2,048,000 bytes)");
    EXPECT_EQ(sizeText(3ull << 30), L"3.0 GB (3,221,225,472 bytes)");
}
