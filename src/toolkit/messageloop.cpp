#include "toolkit/messageloop.h"

#include "toolkit/form.h"

namespace tk {
namespace {

void dispatch(MSG& m) {
    if (m.hwnd) {
        if (Form* form = Form::fromWindow(m.hwnd); form && form->hwnd() && IsDialogMessageW(form->hwnd(), &m))
            return;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
}

} // namespace

int runMessageLoop() {
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0)
        dispatch(m);
    return static_cast<int>(m.wParam);
}

void pumpMessages() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT)
            break;
        dispatch(m);
    }
}

} // namespace tk
