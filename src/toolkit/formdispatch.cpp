// A form's messages: the one window procedure of every form, and what each message does.
#include "toolkit/form.h"

#include "platform/report.h"
#include "toolkit/formparts.h"
#include "toolkit/formregistry.h"
#include "toolkit/messageloop.h"
#include "toolkit/picture.h"

namespace tk {

LRESULT CALLBACK Form::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        // The object is known from the window's first message on.
        auto* created = static_cast<Form*>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        created->hwnd_ = hwnd;
        registry::add(hwnd, created);
    }
    auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || self->hwnd_ != hwnd)
        return DefWindowProcW(hwnd, msg, wp, lp);
    // No exception may cross into Windows.
    try {
        return self->handle(msg, wp, lp);
    } catch (...) {
        report::unexpectedException(hwnd);
    }
    return 0;
}

LRESULT Form::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (lp && !Busy::active()) // while busy, also a click sent from another thread does nothing
            command(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_CLOSE:
        if (!Busy::active())
            onCloseRequest();
        return 0;
    case WM_QUERYENDSESSION:
        if (Busy::active())
            return FALSE; // the session waits for the run to end
        break;
    case WM_ERASEBKGND:
        paintBackground(reinterpret_cast<HDC>(wp));
        return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<LRESULT>(backBrush());
    case WM_DRAWITEM:
        drawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && GetAncestor(focus, GA_ROOT) == hwnd_)
                lastFocus_ = focus;
        } else if (lastFocus_ && IsWindow(lastFocus_) && GetAncestor(lastFocus_, GA_ROOT) == hwnd_) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lp);
        SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        applyDpi(LOWORD(wp));
        return 0;
    }
    case WM_DESTROY: {
        const HWND self = hwnd_;
        destroyed();
        return DefWindowProcW(self, msg, wp, lp);
    }
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void Form::command(int id, int notification) {
    const int row = id - parts::kFirstId;
    if (row < 0 || row >= static_cast<int>(slots_.size()))
        return; // Enter and Escape arrive as IDOK and IDCANCEL: there is no default or cancel button
    const Slot& b = slots_[static_cast<size_t>(row)];
    const Kind k = b.spec->kind;
    if ((k == Kind::Button && notification == BN_CLICKED) ||
        (parts::isList(k) && notification == CBN_SELCHANGE)) {
        runClick(b);
    } else if (k == Kind::CheckBox && notification == BN_CLICKED) {
        const bool ticked = SendMessageW(b.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
        changeState(b, BM_GETCHECK, BM_SETCHECK, ticked ? BST_UNCHECKED : BST_CHECKED);
    } else if ((k == Kind::KeyField || k == Kind::ButtonField) && notification == EN_CHANGE) {
        updateTip(b); // after a capture, a double click, typing or a load alike
    }
}

void Form::drawPicture(const DRAWITEMSTRUCT& item) {
    const auto it = pictures_.find(static_cast<int>(item.CtlID));
    if (it == pictures_.end())
        return;
    FillRect(item.hDC, &item.rcItem, backBrush());
    drawBitmap(item.hDC, it->second, item.rcItem.left, item.rcItem.top, dpi_);
}

void Form::destroyed() {
    registry::remove(hwnd_);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    pictures_.clear(); // the decoded pictures are shared and kept
    background_ = nullptr;
    keysDown_.clear();
    lastFocus_ = nullptr;
    tips_ = nullptr; // destroyed with its owner
    hwnd_ = nullptr;
    for (Slot& b : slots_)
        b.hwnd = nullptr;
    // The font stays until the next load or the end: the controls still hold it while they go.
    if (brush_) {
        DeleteObject(brush_);
        brush_ = nullptr;
    }
}

} // namespace tk
