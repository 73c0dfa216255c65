#include "toolkit/room.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using tk::room::Box;
using tk::room::grow;

namespace {

bool meet(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

const Box kBounds{0, 0, 300, 200};

} // namespace

TEST(Room, ACaptionGrowsOnlyIntoFreeSpace) {
    const Box own{10, 10, 60, 23};
    struct Case {
        const char* what;
        int width, height;
        std::vector<Box> others;
        Box expected;
    };
    const Case cases[] = {
        {"fits: keeps its box", 30, 10, {}, own},
        {"free space: reaches its text", 120, 13, {}, {10, 10, 130, 23}},
        {"stops where the next control begins", 120, 13, {{100, 5, 150, 26}}, {10, 10, 100, 23}},
        {"already meets it: grows as far as the table", 120, 13, {{55, 5, 150, 26}}, own},
        {"a shared pixel on the left does not stop it", 120, 13, {{0, 10, 11, 23}}, {10, 10, 130, 23}},
        {"controls above, below and left are not in the way",
         120,
         13,
         {{10, 0, 200, 10}, {10, 23, 200, 40}, {0, 0, 10, 200}},
         {10, 10, 130, 23}},
        {"stops at the edge of its frame or window", 400, 13, {}, {10, 10, 300, 23}},
        {"grows down only to the control below", 50, 20, {{0, 26, 40, 40}}, {10, 10, 60, 26}},
        {"a control beside the grown part stops it too", 120, 20, {{80, 25, 150, 40}}, {10, 10, 80, 30}},
        {"a control below and right of the grown box is not in the way",
         120,
         13,
         {{140, 23, 200, 40}},
         {10, 10, 130, 23}},
        {"the nearest of several", 200, 13, {{150, 0, 160, 12}, {120, 20, 130, 30}}, {10, 10, 120, 23}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grow(own, c.width, c.height, kBounds, c.others), c.expected) << c.what;
}

TEST(Room, ABoxAlreadyPastItsBoundsKeepsItsTableSize) {
    const Box own{250, 190, 320, 210};
    EXPECT_EQ(grow(own, 200, 30, kBounds, {}), own);
}

// Whatever lies around it, the grown box holds its table box, stays in bounds where the table box
// did, and meets nothing that the table box did not meet.
TEST(Room, NeverCoversAnotherControl) {
    std::mt19937 rng(11);
    auto box = [&](int maxSize) {
        std::uniform_int_distribution<int> at(0, 280), size(1, maxSize);
        const int left = at(rng), top = at(rng) % 190;
        return Box{left, top, left + size(rng), top + size(rng) % 40 + 1};
    };
    for (int round = 0; round < 20000; ++round) {
        const Box own = box(120);
        std::vector<Box> others(static_cast<size_t>(round % 8));
        for (Box& o : others)
            o = box(80);
        std::uniform_int_distribution<int> want(0, 300);
        const Box got = grow(own, want(rng), want(rng) % 60, kBounds, others);
        ASSERT_TRUE(got.left == own.left && got.top == own.top && got.right >= own.right &&
                    got.bottom >= own.bottom);
        ASSERT_TRUE(got.right <= std::max(own.right, kBounds.right) &&
                    got.bottom <= std::max(own.bottom, kBounds.bottom));
        for (const Box& o : others)
            ASSERT_TRUE(meet(own, o) || !meet(got, o)) << round;
    }
}
