#include "enhancements/lanlists.h"

#include <gtest/gtest.h>

#include <string>

using namespace enhancements;

// A stored goal course p means letter p mod 5 of group p div 5, the last two groups reversed. A type
// without a list has none.
TEST(LanLists, GoalPositionsFollowGroupAndLetter) {
    const auto goals = coursesFor(1);
    ASSERT_EQ(goals.size(), 20u);
    for (int p = 0; p < 20; ++p)
        EXPECT_EQ(goals[static_cast<size_t>(p)],
                  std::wstring(p / 5 % 2 ? L"Morvex 2 SP Goal " : L"Morvex 2 Goal ") +
                      static_cast<wchar_t>(L'A' + p % 5) + (p >= 10 ? L" (Reverse)" : L""))
            << p;
    for (int t : {-1, 3, 32767})
        EXPECT_TRUE(coursesFor(t).empty() && classesFor(t == 3 ? 2 : t).empty()) << t;
}
