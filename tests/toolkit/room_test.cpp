#include "toolkit/room.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using tk::room::Box;
using tk::room::grow;

namespace {
const Box kBounds{0, 0, 300, 200};
}

// Down first, then right in the rows it now takes, as far as its text needs or the free space goes;
// a box that the table already lets it meet stops it at once.
TEST(Room, ACaptionGrowsTowardsItsTextAsFarAsTheFreeSpaceGoes) {
    const Box own{10, 10, 60, 23};
    EXPECT_EQ(grow(own, 120, 13, kBounds, {}), (Box{10, 10, 130, 23}));
    EXPECT_EQ(grow(own, 400, 20, kBounds, {{{200, 25, 250, 40}}}), (Box{10, 10, 200, 30}));
    EXPECT_EQ(grow(own, 120, 13, kBounds, {{{55, 5, 150, 26}}}), own);
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
    auto meet = [](const Box& a, const Box& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
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
