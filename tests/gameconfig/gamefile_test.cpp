#include "gameconfig/gamefile.h"

#include <gtest/gtest.h>

using namespace gameconfig;

namespace {
const char* kSample =
    "DX/ADAPTER = 1\r\nDX/RES/WIDTH = 1024\r\nDX/RES/HEIGHT = 768\r\nDX/ANTIALIASING = 2\r\n"
    "DX/FOG = 0\r\nLANGUAGE = 3\r\nDX/WINDOWED = 1\r\n";
}

TEST(GameFile, ReadsEachLineByPosition) {
    const Loaded l = parse(kSample);
    EXPECT_EQ(l.adapter, 1);
    EXPECT_EQ(l.width, "1024");
    EXPECT_EQ(l.height, "768");
    EXPECT_EQ(l.antiAliasing, 2);
    EXPECT_EQ(l.fog, 0);
    EXPECT_EQ(l.language, 3);
    EXPECT_EQ(l.windowed, 1);
}

TEST(GameFile, NamesAreNotLookedAtOnlyPositions) {
    const Loaded l = parse("A = 2\rB = 800\rC = 600\rD = 1\rE = 2\rF = 4\rG = 0");
    EXPECT_EQ(l.adapter, 2);
    EXPECT_EQ(l.width, "800");
    EXPECT_EQ(l.height, "600");
    EXPECT_EQ(l.fog, 2);
    EXPECT_EQ(l.language, 4);
    EXPECT_EQ(l.windowed, 0);
}

TEST(GameFile, TakesThePieceBetweenTheFirstTwoSeparators) {
    const auto p = pieces("X = 0\r\nDX/RES/WIDTH = 1024 = more text\r\nDX/RES/HEIGHT =  768 \r\n");
    EXPECT_EQ(p[Width], "1024");
    EXPECT_EQ(p[Height], " 768 ");                       // text boxes take the piece with its spaces
    EXPECT_EQ(parse("DX/ADAPTER =  2 \r\n").adapter, 2); // numbers may carry blanks
}

TEST(GameFile, RefusedLinesLeaveTheirControlAlone) {
    const Loaded l =
        parse("DX/ADAPTER=1\r\nDX/RES/WIDTH 1024\r\nH = x\r\nDX/ANTIALIASING = 7\r\nDX/FOG = 3\r\n"
              "LANGUAGE = -2\r\nDX/WINDOWED = abc\r\n");
    EXPECT_FALSE(l.adapter);      // no " = "
    EXPECT_FALSE(l.width);        // no separator
    EXPECT_EQ(l.height, "x");     // text is taken as it is
    EXPECT_FALSE(l.antiAliasing); // three items only
    EXPECT_FALSE(l.fog);          // boxes hold 0 to 2
    EXPECT_FALSE(l.language);
    EXPECT_FALSE(l.windowed);
    EXPECT_EQ(parse("DX/ADAPTER = -1\r\n").adapter, -1);
    EXPECT_EQ(parse("DX/ADAPTER = 1.5\r\n").adapter, 2);
}

TEST(GameFile, ShortEmptyAndLongFiles) {
    const Loaded empty = parse("");
    EXPECT_FALSE(empty.adapter || empty.width || empty.height || empty.antiAliasing || empty.fog ||
                 empty.language || empty.windowed);
    // A file that ends early leaves the remaining controls untouched.
    const Loaded two = parse("DX/ADAPTER = 2\r\nDX/RES/WIDTH = 800");
    EXPECT_EQ(two.adapter, 2);
    EXPECT_EQ(two.width, "800");
    EXPECT_FALSE(two.height || two.antiAliasing || two.fog || two.language || two.windowed);
    // Lines after the seventh are ignored.
    const Loaded extra = parse(std::string(kSample) + "DX/EXTRA = 5\r\n");
    EXPECT_EQ(extra.windowed, 1);
}

TEST(GameFile, AcceptsEveryLineEnding) {
    for (const char* eol : {"\r\n", "\r", "\n"}) {
        std::string text;
        for (int i = 0; i < LineCount; ++i)
            text += std::string(kPrefixes[i]) + (i == Width ? "1280" : "1") + eol;
        const Loaded l = parse(text);
        EXPECT_EQ(l.width, "1280");
        EXPECT_EQ(l.windowed, 1) << "line ending " << int(eol[0]);
    }
}

TEST(GameFile, WritesTheSevenLinesExactly) {
    EXPECT_EQ(format(Values{}, 0),
              "DX/ADAPTER = 0\r\nDX/RES/WIDTH = 640\r\nDX/RES/HEIGHT = 480\r\n"
              "DX/ANTIALIASING = 0\r\nDX/FOG = 1\r\nLANGUAGE = 0\r\nDX/WINDOWED = 0\r\n");
    Values v;
    v.adapter = -1;
    v.width = "";
    v.height = "768";
    v.antiAliasing = 2;
    v.fog = 2;
    v.language = 4;
    v.windowed = 0;
    EXPECT_EQ(format(v, 0), "DX/ADAPTER = -1\r\nDX/RES/WIDTH = \r\nDX/RES/HEIGHT = 768\r\n"
                            "DX/ANTIALIASING = 2\r\nDX/FOG = 2\r\nLANGUAGE = 4\r\nDX/WINDOWED = 0\r\n");
}

TEST(GameFile, OverlayOneForcesWindowedOn) {
    Values v;
    v.windowed = 0;
    EXPECT_NE(format(v, 1).find("DX/WINDOWED = 1\r\n"), std::string::npos);
    EXPECT_NE(format(v, 2).find("DX/WINDOWED = 0\r\n"), std::string::npos);
    v.windowed = 2;
    EXPECT_NE(format(v, -1).find("DX/WINDOWED = 2\r\n"), std::string::npos);
}

TEST(GameFile, WhatIsWrittenReadsBackTheSame) {
    Values v;
    v.adapter = 2;
    v.width = " 1920 ";
    v.height = "1080";
    v.antiAliasing = 1;
    v.fog = 0;
    v.language = 2;
    v.windowed = 1;
    const Loaded l = parse(format(v, 0));
    EXPECT_EQ(l.adapter, 2);
    EXPECT_EQ(l.width, " 1920 ");
    EXPECT_EQ(l.antiAliasing, 1);
    EXPECT_EQ(l.language, 2);
    EXPECT_EQ(l.windowed, 1);
}
