// Fitting captions: the tables were drawn for the narrow dialog face of their time; systems give it
// other faces (East Asian systems, large fonts, themes). A label or check box grows towards its text
// on one line, only through free space; beyond that a one-line one is cut as the standard controls
// cut their text, and a taller one wraps.
#include "toolkit/form.h"

#include "toolkit/dpi.h"
#include "toolkit/formparts.h"
#include "toolkit/room.h"

namespace tk {
namespace {

room::Box boxOf(HWND control, HWND parent) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

// A one-line label ends in an ellipsis when cut; a one-line check box keeps its text on one line
// instead of wrapping a second one out of sight.
void setCutStyle(HWND control, Kind kind, bool oneLine) {
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    LONG_PTR fitted = 0;
    if (kind == Kind::Label)
        fitted = oneLine ? style | SS_ENDELLIPSIS : style & ~SS_ENDELLIPSIS;
    else
        fitted = oneLine ? style & ~BS_MULTILINE : style | BS_MULTILINE;
    if (fitted != style)
        SetWindowLongPtrW(control, GWL_STYLE, fitted);
}

int textWidth(HDC dc, HWND control) {
    const std::wstring caption = parts::windowText(control);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    return static_cast<int>(extent.cx);
}

} // namespace

void Form::fitCaptions() {
    std::vector<room::Box> boxes(slots_.size());
    for (size_t i = 0; i < slots_.size(); ++i)
        boxes[i] = boxOf(slots_[i].hwnd, hwnd_);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int edge = scale(2, dpi_); // a frame's border
    HDC dc = GetDC(hwnd_);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    std::vector<room::Box> others;
    for (size_t i = 0; i < slots_.size(); ++i) {
        const Slot& b = slots_[i];
        const Kind kind = b.spec->kind;
        if (kind != Kind::Label && kind != Kind::CheckBox)
            continue;
        const room::Box own = boxes[i];
        // Two lines fit where only the first one's internal leading (the room above accents) is cut.
        const bool oneLine = own.bottom - own.top < 2 * tm.tmHeight - tm.tmInternalLeading;
        setCutStyle(b.hwnd, kind, oneLine);
        room::Box bounds{0, 0, client.right, client.bottom};
        if (b.frame) {
            const room::Box& f = boxes[*b.frame];
            bounds = {f.left + edge, f.top + edge, f.right - edge, f.bottom - edge};
        }
        others.clear();
        for (size_t j = 0; j < slots_.size(); ++j)
            if (j != i && j != b.frame)
                others.push_back(boxes[j]);
        const int box = kind == Kind::CheckBox ? scale(20, dpi_) : 0;
        // A taller box keeps its height, and wraps what still does not fit on one line.
        boxes[i] =
            room::grow(own, textWidth(dc, b.hwnd) + box + 2, oneLine ? tm.tmHeight : 0, bounds, others);
        if (boxes[i] != own)
            SetWindowPos(b.hwnd, nullptr, boxes[i].left, boxes[i].top, boxes[i].right - boxes[i].left,
                         boxes[i].bottom - boxes[i].top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd_, dc);
}

} // namespace tk
