#pragma once
// What the parts of a form share about its controls: their ids, their kinds and their text.
#include "toolkit/form.h"

namespace tk::parts {

// A control's id is its table row from here on. Below are IDOK and IDCANCEL, which dialog-message
// handling sends for Enter and Escape.
constexpr int kFirstId = 100;

inline bool isList(Kind k) {
    return k == Kind::DropList || k == Kind::DropCombo;
}

inline std::wstring windowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(got > 0 ? got : 0));
    return s;
}

} // namespace tk::parts
