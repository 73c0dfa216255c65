#include "core/number.h"

#include <gtest/gtest.h>

using core::toInt16;

// Plain integers, and the wide form reading as the narrow one, are the fuzz target's to prove.
TEST(Number, ReadsBlanksFractionsAndExponentsAsTheProfileValuesNeedThem) {
    const std::pair<const char*, int> cases[] = {
        {"\t-1\t", -1},   {"1.4", 1},   {"1.6", 2},   {"0.5", 0},   {"1.5", 2},         {"2.5", 2},
        {"2.5000001", 3}, {"-2.5", -2}, {"-3.5", -4}, {"0.05", 0},  {".5", 0},          {"3.", 3},
        {"-0.4", 0},      {"1e2", 100}, {"25E-1", 2}, {"35e-1", 4}, {"32767.4", 32767},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(toInt16(text), value) << "'" << text << "'";
}

TEST(Number, RefusesWhatIsNotASixteenBitNumber) {
    for (const char* bad :
         {"",    "   ",  "abc",     "1a",    "a1",     "1 2",   "--1",
          "+-1", ".",    "-",       "1e",    "1e+",    "1.2.3", "0x10",
          "1,5", "\xe9", "32767.5", "32768", "-32769", "1e9",   "99999999999999999999999999"})
        EXPECT_FALSE(toInt16(bad)) << "'" << bad << "'";
}
