#include "enhancements/lanlists.h"

#include <gtest/gtest.h>

#include <string>

using namespace enhancements;

TEST(LanLists, EveryTypeHasItsListAndNoTypeHasNone) {
    ASSERT_EQ(courseTypes().size(), 3u);
    ASSERT_EQ(carTypes().size(), 2u);
    EXPECT_EQ(coursesFor(0).size(), 2u);
    EXPECT_EQ(coursesFor(1).size(), 20u);
    EXPECT_EQ(coursesFor(2).size(), 4u);
    EXPECT_EQ(classesFor(0).size(), 5u);
    EXPECT_EQ(classesFor(1).size(), 2u);
    for (int t : {-1, 3, 32767})
        EXPECT_TRUE(coursesFor(t).empty()) << t;
    for (int t : {-1, 2})
        EXPECT_TRUE(classesFor(t).empty()) << t;
}

TEST(LanLists, GoalPositionsFollowGroupAndLetter) {
    // A stored goal course p means letter p mod 5 of group p div 5.
    const std::wstring groups[] = {L"Morvex 2 Goal ", L"Morvex 2 SP Goal ", L"Morvex 2 Goal ",
                                   L"Morvex 2 SP Goal "};
    const auto goals = coursesFor(1);
    for (int p = 0; p < 20; ++p) {
        std::wstring expected = groups[p / 5] + static_cast<wchar_t>(L'A' + p % 5);
        if (p >= 10)
            expected += L" (Reverse)";
        EXPECT_EQ(goals[static_cast<size_t>(p)], expected) << p;
    }
}
