#pragma once
// Display scaling. Newer functions are looked up at run time, with fallbacks, so the
// program runs on old Windows and on Wine.
#include <windows.h>

namespace tk {

UINT dpiOf(HWND window);
// Client size in pixels to the outer window size, at the given DPI.
SIZE windowSizeFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);
// Twips (1/1440 inch) to pixels at the given DPI.
inline int twips(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), 1440);
}
// Pixels at 96 DPI (the standard scaling) to pixels at the given DPI.
inline int scale(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), 96);
}
// The one dialog font: 8-point "MS Shell Dlg" at the given DPI.
HFONT createDialogFont(UINT dpi);
// Restricts the DLL search to the system folder, before anything else is loaded.
void restrictDllSearch();

} // namespace tk
