#include "toolkit/messageloop.h"

#include "toolkit/formregistry.h"

#include <algorithm>
#include <optional>

namespace tk {
namespace {

void dispatch(MSG& m) {
    if (HWND form = registry::formWindowOf(m.hwnd); form && IsDialogMessageW(form, &m))
        return;
    TranslateMessage(&m);
    DispatchMessageW(&m);
}

// What the pump does while a Busy lives.
struct BusyState {
    bool active = false;
    std::vector<HWND> allowed;
    std::vector<MSG> kept;      // delivered at the end, in order
    std::optional<WPARAM> quit; // the code of a WM_QUIT, posted again at the end
};
BusyState gBusy;

constexpr UINT kSysTimer = 0x0118; // the caret's blinking

bool isInput(UINT m) {
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
           (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK) || m == WM_NCMOUSEHOVER || m == WM_NCMOUSELEAVE ||
           m == WM_MOUSEHOVER || m == WM_MOUSELEAVE || m == WM_INPUT || m == WM_CONTEXTMENU ||
           m == WM_APPCOMMAND;
}
bool isCommand(UINT m) {
    return m == WM_COMMAND || m == WM_SYSCOMMAND || m == WM_CLOSE || m == BM_CLICK;
}
// Minimising and restoring change nothing the run works on, and a user may want the screen back
// (the taskbar sends them). The four low bits of a system command are the system's own.
bool onlyMinimisesOrRestores(const MSG& m) {
    const WPARAM command = m.wParam & 0xFFF0;
    return m.message == WM_SYSCOMMAND && (command == SC_MINIMIZE || command == SC_RESTORE);
}
bool isAllowed(HWND h) {
    return h && std::any_of(gBusy.allowed.begin(), gBusy.allowed.end(),
                            [h](HWND a) { return a == h || IsChild(a, h); });
}

void pumpWhileBusy() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            gBusy.quit = m.wParam;
        } else if (m.message == WM_PAINT || m.message == WM_TIMER || m.message == kSysTimer ||
                   isAllowed(m.hwnd) || onlyMinimisesOrRestores(m)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        } else if (!isInput(m.message) && !isCommand(m.message)) {
            gBusy.kept.push_back(m);
        }
    }
}

struct DisableOthers {
    const Form* owner;
    std::vector<HWND>* disabled;
    static BOOL CALLBACK each(HWND h, LPARAM p) {
        const auto* self = reinterpret_cast<DisableOthers*>(p);
        const Form* form = registry::formAt(h);
        if (form && form != self->owner && IsWindowEnabled(h)) {
            EnableWindow(h, FALSE);
            self->disabled->push_back(h);
        }
        return TRUE;
    }
};

} // namespace

int runMessageLoop() {
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0)
        dispatch(m);
    return static_cast<int>(m.wParam);
}

void pumpMessages() {
    if (gBusy.active)
        return pumpWhileBusy();
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam)); // the loop that waits for it still must see it
            break;
        }
        dispatch(m);
    }
}

Busy::Busy(const Form& owner, std::vector<HWND> allowed) {
    gBusy = {};
    gBusy.active = true;
    gBusy.allowed = std::move(allowed);
    DisableOthers forms{&owner, &disabled_};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOthers::each, reinterpret_cast<LPARAM>(&forms));
}

Busy::~Busy() {
    pumpWhileBusy(); // what came in at the very end is dropped or kept like the rest
    gBusy.active = false;
    for (HWND h : disabled_)
        if (IsWindow(h))
            EnableWindow(h, TRUE);
    for (const MSG& m : gBusy.kept) {
        if (m.hwnd)
            PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
        else
            PostThreadMessageW(GetCurrentThreadId(), m.message, m.wParam, m.lParam);
    }
    if (gBusy.quit)
        PostQuitMessage(static_cast<int>(*gBusy.quit));
    gBusy = {};
}

bool Busy::active() {
    return gBusy.active;
}

} // namespace tk
