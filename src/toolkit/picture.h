#pragma once
// JPEG pictures from the program's resources.
#include <windows.h>

namespace tk {

// The decoded picture of a JPEG stored as RCDATA, decoded once per process and kept: windows that open
// again need not decode it again. Do not delete it. nullptr on failure.
HBITMAP sharedJpegResource(int id);
// Draws `bitmap` at x, y: its natural size at 96 DPI, scaled with the display to `dpi`.
void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y, UINT dpi);

} // namespace tk
