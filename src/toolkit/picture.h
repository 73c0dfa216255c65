#pragma once
// JPEG pictures from the program's resources.
#include <windows.h>

namespace tk {

// The decoded picture of a JPEG stored as RCDATA, decoded once per process and kept: windows that open
// again need not decode it again. Do not delete it. nullptr on failure.
HBITMAP sharedJpegResource(int id, SIZE* size = nullptr);
// Draws `bitmap` (of natural size `natural`) at x, y scaled to width by height.
void drawBitmap(HDC dc, HBITMAP bitmap, SIZE natural, int x, int y, int width, int height);

} // namespace tk
