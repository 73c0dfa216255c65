// The words of the status line for each mix of what a mod's targets hold.
#include "texmods/status.h"

#include <gtest/gtest.h>

#include <map>

using namespace texmods;
using Backup = TargetFacts::Backup;

TEST(TexModStatus, ATargetIsWhatTheFirstDecidingFactSays) {
    struct Row {
        TargetFacts facts;
        Holds holds;
    };
    const Row rows[] = {
        {{false, true, Backup::Equal, 0}, Holds::Missing},
        {{true, true, Backup::Equal, 0}, Holds::ThisMod}, // a mod file that equals the game's own
        {{true, false, Backup::Equal, 1}, Holds::Game},
        {{true, false, Backup::Differs, 1}, Holds::OtherMod},
        {{true, false, Backup::None, 1}, Holds::OtherMod},
        {{true, false, Backup::None, {}}, Holds::Game}, // never replaced by any install
        {{true, false, Backup::Differs, {}}, Holds::Changed},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(&r - rows);
        EXPECT_EQ(stateOf(r.facts).holds, r.holds);
    }
}

TEST(TexModStatus, TheLineSumsUpTheTargetsByWhoseTheyAre) {
    // Each target by a letter: m this mod's, a Rain Pack's, b Snow's, g the game's, c changed, x missing.
    const std::map<char, TargetState> byLetter{{'m', {Holds::ThisMod}},     {'a', {Holds::OtherMod, 0}},
                                               {'b', {Holds::OtherMod, 1}}, {'g', {Holds::Game}},
                                               {'c', {Holds::Changed}},     {'x', {Holds::Missing}}};
    auto line = [&](std::string_view targets) {
        ModStatus s;
        for (char t : targets)
            s.targets.push_back(byLetter.at(t));
        return statusLine(s, {L"Rain Pack", L"Snow"});
    };
    const std::pair<const char*, const wchar_t*> rows[] = {
        {"m", L"Installed: its one file is this mod's."},
        {"mmmmmaaagggg",
         L"Partly installed: 5 of 12 files are this mod's, 3 are Rain Pack's, 4 are the game's own."},
        {"xcbaa",
         L"Not installed: 2 of 5 files are Rain Pack's, 1 is Snow's, 1 has been changed, 1 is missing."},
        {"", L"Nothing to install: the folder holds no mod files (*.sz)."},
    };
    for (const auto& [targets, expected] : rows) {
        SCOPED_TRACE(targets);
        EXPECT_EQ(line(targets), expected);
    }
}

TEST(TexModStatus, AModThatCannotBeToldOrInstalledSaysWhy) {
    ModStatus s;
    s.modFiles = 2;
    EXPECT_EQ(statusLine(s, {}), L"Nothing to install: its target lists name no file.");
    s.refusal = Refusal{L"z.sz", L"", L"reason"};
    EXPECT_EQ(statusLine(s, {}), L"Cannot be installed: the target list \"z.sz.txt\" holds no line.");
    s.unread = L"\"z.sz.txt\"";
    EXPECT_EQ(statusLine(s, {}), L"Cannot tell: \"z.sz.txt\" could not be read.");
}
