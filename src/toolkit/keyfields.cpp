// The subclassed controls of a form: frames that paint their inside, and the key and button fields.
#include "toolkit/form.h"

#include "platform/report.h"
#include "toolkit/formparts.h"
#include "toolkit/keynames.h"

#include <commctrl.h>

namespace tk {

LRESULT CALLBACK Form::subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<Form*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &Form::subclassProc, id);
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    const int row = static_cast<int>(id) - parts::kFirstId;
    if (!self->hwnd_ || row < 0 || row >= static_cast<int>(self->slots_.size()))
        return DefSubclassProc(hwnd, msg, wp, lp);
    try {
        return self->handleSubclassed(self->slots_[static_cast<size_t>(row)], hwnd, msg, wp, lp);
    } catch (...) {
        report::unexpectedException(hwnd);
    }
    return 0;
}

LRESULT Form::handleSubclassed(const Slot& field, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const Kind k = field.spec->kind;
    if (k == Kind::Frame && msg == WM_ERASEBKGND) {
        // The form clips its children, so nothing else paints the inside of a frame.
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, backBrush());
        return 1;
    }
    if (msg == WM_LBUTTONDBLCLK && (k == Kind::KeyField || k == Kind::ButtonField)) {
        SetWindowTextW(hwnd, L"-1"); // no key or button bound
        return 0;
    }
    if (k == Kind::KeyField)
        return handleKeyField(hwnd, msg, wp, lp);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// A key field shows the virtual-key code of the key released in it, and takes no typing.
LRESULT Form::handleKeyField(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE: {
        // Every key belongs to the field, except Tab, which still moves the focus.
        const auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && m->wParam == VK_TAB)
            return DefSubclassProc(hwnd, msg, wp, lp);
        return DefSubclassProc(hwnd, msg, wp, lp) | DLGC_WANTALLKEYS;
    }
    case WM_SYSKEYDOWN:
        if (wp == VK_F4 && (lp & (1 << 29)))
            return DefSubclassProc(hwnd, msg, wp, lp); // Alt+F4 still closes the window
        [[fallthrough]];
    case WM_KEYDOWN:
        keysDown_.insert({hwnd, wp});
        return 0; // nothing is typed, and Alt or F10 open no menu
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_CONTEXTMENU: // its Paste and Delete would leave text that no key gives
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // Only a key pressed here counts: the release of the Tab that brought the focus does not.
        // Print Screen is the exception: the system takes its press, so only its release comes.
        if (keysDown_.erase({hwnd, wp}) || wp == VK_SNAPSHOT)
            SetWindowTextW(hwnd, std::to_wstring(static_cast<unsigned>(wp)).c_str());
        return 0;
    case WM_KILLFOCUS:
        std::erase_if(keysDown_, [hwnd](const auto& key) { return key.first == hwnd; });
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

namespace {

TOOLINFOW toolOf(HWND form, HWND field, wchar_t* text) {
    TOOLINFOW t{};
    t.cbSize = sizeof t;
    t.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    t.hwnd = form;
    t.uId = reinterpret_cast<UINT_PTR>(field);
    t.lpszText = text;
    return t;
}

} // namespace

// Each key and button field has a tool in the form's one tooltip control, its text following the field's.
void Form::addTip(const Slot& field) {
    if (!tips_) {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
        InitCommonControlsEx(&classes);
        tips_ = CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!tips_)
            return; // the fields work without their tooltips
    }
    wchar_t none[] = L"";
    TOOLINFOW tool = toolOf(hwnd_, field.hwnd, none);
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    updateTip(field);
}

void Form::updateTip(const Slot& field) {
    if (!tips_)
        return;
    const std::wstring text = parts::windowText(field.hwnd);
    std::wstring tip = field.spec->kind == Kind::KeyField ? keyFieldTip(text) : buttonFieldTip(text);
    TOOLINFOW tool = toolOf(hwnd_, field.hwnd, tip.data());
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::wstring Form::tip(std::wstring_view name, int index) const {
    const Slot& field = at(name, index);
    if (!tips_ || !field.hwnd)
        return {};
    wchar_t text[256] = {};
    TOOLINFOW tool = toolOf(hwnd_, field.hwnd, text);
    SendMessageW(tips_, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

} // namespace tk
