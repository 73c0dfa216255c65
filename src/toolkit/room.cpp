#include "toolkit/room.h"

#include <algorithm>

namespace tk::room {
namespace {

bool overlap(int from, int to, int otherFrom, int otherTo) {
    return from < otherTo && otherFrom < to;
}

} // namespace

Box grow(Box own, int width, int height, Box bounds, std::span<const Box> others) {
    Box out = own;
    // Down first, within its own columns: whatever reaches below it there stops it (at once, if
    // the table already lets the two meet).
    int limit = bounds.bottom;
    for (const Box& o : others)
        if (o.bottom > own.bottom && overlap(o.left, o.right, own.left, own.right))
            limit = std::min(limit, std::max(o.top, own.bottom));
    out.bottom = std::max(own.bottom, std::min(own.top + height, limit));
    // Then right, in the rows it now takes.
    limit = bounds.right;
    for (const Box& o : others)
        if (o.right > own.right && overlap(o.top, o.bottom, out.top, out.bottom))
            limit = std::min(limit, std::max(o.left, own.right));
    out.right = std::max(own.right, std::min(own.left + width, limit));
    return out;
}

} // namespace tk::room
