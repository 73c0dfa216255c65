#include "core/number.h"

#include <gtest/gtest.h>

using core::toInt16;

TEST(Number, AcceptsWholeNumbersWithBlanksAndSign) {
    EXPECT_EQ(toInt16("0"), 0);
    EXPECT_EQ(toInt16("  16 "), 16);
    EXPECT_EQ(toInt16("\t-1\t"), -1);
    EXPECT_EQ(toInt16("+7"), 7);
    EXPECT_EQ(toInt16("007"), 7);
    EXPECT_EQ(toInt16(L" 1024 "), 1024);
}

TEST(Number, RoundsFractionsToNearestAndHalvesToEven) {
    EXPECT_EQ(toInt16("1.4"), 1);
    EXPECT_EQ(toInt16("1.6"), 2);
    EXPECT_EQ(toInt16("0.5"), 0);
    EXPECT_EQ(toInt16("1.5"), 2);
    EXPECT_EQ(toInt16("2.5"), 2);
    EXPECT_EQ(toInt16("2.5000001"), 3);
    EXPECT_EQ(toInt16("-2.5"), -2);
    EXPECT_EQ(toInt16("-3.5"), -4);
    EXPECT_EQ(toInt16("0.05"), 0);
    EXPECT_EQ(toInt16(".5"), 0);
    EXPECT_EQ(toInt16("3."), 3);
    EXPECT_EQ(toInt16("-0.4"), 0);
}

TEST(Number, AcceptsExponents) {
    EXPECT_EQ(toInt16("1e2"), 100);
    EXPECT_EQ(toInt16("25E-1"), 2);
    EXPECT_EQ(toInt16("35e-1"), 4);
}

TEST(Number, HoldsTheSixteenBitRangeExactly) {
    EXPECT_EQ(toInt16("32767"), 32767);
    EXPECT_EQ(toInt16("-32768"), -32768);
    EXPECT_EQ(toInt16("32767.4"), 32767);
    EXPECT_FALSE(toInt16("32767.5"));
    EXPECT_FALSE(toInt16("32768"));
    EXPECT_FALSE(toInt16("-32769"));
    EXPECT_FALSE(toInt16("99999999999999999999999999"));
    EXPECT_FALSE(toInt16("1e9"));
}

TEST(Number, RefusesWhatIsNotANumber) {
    for (const char* bad : {"", "   ", "abc", "1a", "a1", "1 2", "--1", "+-1", ".", "-", "1e", "1e+", "1.2.3",
                            "0x10", "1,5", "\xe9"})
        EXPECT_FALSE(toInt16(bad)) << "'" << bad << "'";
}

TEST(Number, WritesDecimalWithoutPadding) {
    EXPECT_EQ(core::decimal(-1), "-1");
    EXPECT_EQ(core::decimal(0), "0");
    EXPECT_EQ(core::wdecimal(16), L"16");
}
