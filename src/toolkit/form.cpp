#include "toolkit/form.h"

#include "platform/report.h"
#include "toolkit/dpi.h"
#include "toolkit/formparts.h"
#include "toolkit/picture.h"

#include "resource.h"

#include <algorithm>
#include <stdexcept>

namespace tk {
namespace {

constexpr wchar_t kClassName[] = L"ZelqForm";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

void registerClass(WNDPROC procedure) {
    static bool done = false;
    if (done)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    done = true;
}

void setProgramIcon(HWND hwnd) {
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    const auto big = static_cast<HICON>(
        LoadImageW(inst, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    const auto small = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON),
                                                     GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

} // namespace

Form::Form(FormSpec spec)
    : spec_(std::move(spec)), slots_(spec_.controls.size()), clicks_(spec_.controls.size()) {
    for (size_t row = 0; row < slots_.size(); ++row) {
        slots_[row].spec = &spec_.controls[row];
        slots_[row].row = row;
        byName_[{std::wstring(spec_.controls[row].name), spec_.controls[row].index}] = row;
    }
    // A control names its frame; the frame is the single control of that name.
    for (Slot& b : slots_) {
        if (b.spec->frame.empty())
            continue;
        if (const auto it = byName_.find({std::wstring(b.spec->frame), 0}); it != byName_.end())
            b.frame = it->second;
    }
}

Form::~Form() {
    if (hwnd_)
        DestroyWindow(hwnd_);
    if (font_)
        DeleteObject(font_);
}

bool Form::load() {
    if (hwnd_)
        return true;
    registerClass(&Form::windowProc);
    const DWORD exStyle = WS_EX_CONTROLPARENT | (spec_.icon ? 0 : WS_EX_DLGMODALFRAME);
    HWND hwnd =
        CreateWindowExW(exStyle, kClassName, std::wstring(spec_.caption).c_str(), kStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd)
        throw std::runtime_error("The window could not be created.");
    if (spec_.icon)
        setProgramIcon(hwnd);
    if (spec_.background)
        background_ = sharedJpegResource(spec_.background);

    createControls();
    applyDpi(dpiOf(hwnd));

    try {
        onLoad();
    } catch (...) {
        report::unexpectedException(hwnd_);
    }
    return hwnd_ != nullptr;
}

void Form::show(Form* opener) {
    if (opener)
        opener_ = opener;
    if (!hwnd_ && !load())
        return;
    if (!IsWindowVisible(hwnd_)) {
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        if (!lastFocus_) {
            if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE))
                SetFocus(first);
        }
    }
    activate();
}

void Form::activate() {
    if (!hwnd_)
        return;
    if (IsIconic(hwnd_))
        ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    HWND focus = GetFocus();
    if (!focus || GetAncestor(focus, GA_ROOT) != hwnd_) {
        HWND target =
            lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
        if (target)
            SetFocus(target);
    }
}

void Form::unload() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void Form::dismiss() {
    if (opener_ && opener_ != this && opener_->loaded())
        opener_->activate();
    unload();
}

void Form::applyDpi(UINT dpi) {
    dpi_ = dpi;
    HFONT old = font_;
    font_ = createDialogFont(dpi);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (Slot& b : slots_)
        SendMessageW(b.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (old)
        DeleteObject(old);
    layout();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::layout() {
    if (!hwnd_)
        return;
    const SIZE outer = windowSizeFor(twips(spec_.width, dpi_), twips(spec_.height, dpi_), kStyle,
                                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Every control at its place from the table first, so that the captions below see where the
    // others really are (a combo box chooses its own height).
    for (Slot& b : slots_) {
        const Control& c = *b.spec;
        int left = c.left, top = c.top;
        if (b.frame) {
            left += spec_.controls[*b.frame].left;
            top += spec_.controls[*b.frame].top;
        }
        int height = twips(c.height, dpi_);
        if (parts::isList(c.kind)) {
            // A combo box's height includes its dropped list.
            const int rows = std::clamp(static_cast<int>(SendMessageW(b.hwnd, CB_GETCOUNT, 0, 0)), 8, 12);
            height += rows * scale(16, dpi_) + 4;
        }
        if (c.kind == Kind::Line)
            height = std::max(2, scale(2, dpi_));
        SetWindowPos(b.hwnd, nullptr, twips(left, dpi_), twips(top, dpi_), twips(c.width, dpi_), height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    fitCaptions();
}

HBRUSH Form::backBrush() {
    if (spec_.backColor == CLR_INVALID)
        return GetSysColorBrush(COLOR_BTNFACE);
    if (!brush_)
        brush_ = CreateSolidBrush(spec_.backColor);
    return brush_;
}

void Form::paintBackground(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    FillRect(dc, &r, backBrush());
    drawBitmap(dc, background_, 0, 0, dpi_);
}

} // namespace tk
