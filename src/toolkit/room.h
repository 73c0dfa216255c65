#pragma once
// Free space for a caption that is wider or taller than its place in a control table. Plain
// arithmetic on boxes in pixels, so that it runs and is tested without Windows.
#include <span>

namespace tk::room {

// A box from (left, top) to (right, bottom), the right and bottom edges excluded.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Box&) const = default;
};

// Where a caption placed at `own` may reach when its text needs `width` by `height` (0 keeps the
// height): `own`, grown down then right only through free space, never into a box of `others` that
// `own` does not already meet, never past the right or bottom of `bounds`. It never shrinks.
Box grow(Box own, int width, int height, Box bounds, std::span<const Box> others);

} // namespace tk::room
