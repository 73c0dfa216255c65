#include "toolkit/form.h"

#include "platform/report.h"
#include "toolkit/dpi.h"
#include "toolkit/messageloop.h"
#include "toolkit/picture.h"
#include "toolkit/room.h"

#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace tk {
namespace {

constexpr wchar_t kClassName[] = L"ZelqForm";
// Below are IDOK and IDCANCEL, which dialog-message handling sends for Enter and Escape.
constexpr int kFirstId = 100;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

int gOpenForms = 0;
bool gQuitWhenLastCloses = false;
std::map<HWND, Form*>& registry() {
    static std::map<HWND, Form*> forms;
    return forms;
}

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void registerClass() {
    static bool done = false;
    if (done)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    done = true;
}

bool isEdit(Kind k) {
    return k == Kind::TextBox || k == Kind::KeyField || k == Kind::ButtonField;
}
bool isList(Kind k) {
    return k == Kind::DropList || k == Kind::DropCombo;
}
bool takesFocus(Kind k) {
    return k == Kind::Button || k == Kind::CheckBox || isList(k) || isEdit(k);
}

std::wstring windowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(got > 0 ? got : 0));
    return s;
}

} // namespace

Form::Form(FormSpec spec)
    : spec_(std::move(spec)), clicks_(spec_.controls.size()), dblClicks_(spec_.controls.size()) {}

Form::~Form() {
    if (hwnd_)
        DestroyWindow(hwnd_);
    if (font_)
        DeleteObject(font_);
}

int Form::openForms() {
    return gOpenForms;
}
void Form::quitWhenLastCloses(bool on) {
    gQuitWhenLastCloses = on;
}

void Form::unloadAll() {
    while (!registry().empty()) {
        Form* f = registry().begin()->second;
        if (f->hwnd_)
            DestroyWindow(f->hwnd_);
        else
            registry().erase(registry().begin());
    }
}

Form* Form::loadedNamed(std::wstring_view name) {
    for (auto& [hwnd, form] : registry())
        if (form->spec_.name == name)
            return form;
    return nullptr;
}

Form* Form::fromWindow(HWND window) {
    if (!window)
        return nullptr;
    const HWND root = GetAncestor(window, GA_ROOT);
    const auto it = registry().find(root ? root : window);
    return it == registry().end() ? nullptr : it->second;
}

bool Form::load() {
    if (hwnd_)
        return true;
    registerClass();
    const DWORD exStyle = WS_EX_CONTROLPARENT | (spec_.icon ? 0 : WS_EX_DLGMODALFRAME);
    HWND hwnd =
        CreateWindowExW(exStyle, kClassName, std::wstring(spec_.caption).c_str(), kStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd)
        throw std::runtime_error("The window could not be created.");
    ++gOpenForms;

    if (spec_.icon) {
        const HINSTANCE inst = GetModuleHandleW(nullptr);
        const auto big = static_cast<HICON>(
            LoadImageW(inst, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        const auto small = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                         GetSystemMetrics(SM_CXSMICON),
                                                         GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
    if (spec_.background)
        background_ = sharedJpegResource(spec_.background, &backgroundSize_);

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

void Form::closeTo(Form* opener) {
    if (opener && opener != this && opener->loaded())
        opener->activate();
    unload();
}

void Form::createControls() {
    built_.clear();
    byName_.clear();
    built_.resize(spec_.controls.size());
    for (size_t i = 0; i < spec_.controls.size(); ++i) {
        built_[i].spec = &spec_.controls[i];
        built_[i].id = kFirstId + static_cast<int>(i);
        built_[i].row = i;
        byName_[{std::wstring(spec_.controls[i].name), spec_.controls[i].index}] = i;
    }
    // Creation order is the z-order, which is the order Tab follows: focusable controls by their
    // tab positions, then the rest in table order, frames last so that they lie under their contents.
    std::vector<size_t> order(built_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    auto rank = [&](size_t i) {
        const Control& c = spec_.controls[i];
        if (c.kind == Kind::Frame)
            return std::pair<int, int>(2, static_cast<int>(i));
        if (c.tab >= 0)
            return std::pair<int, int>(0, c.tab);
        return std::pair<int, int>(1, static_cast<int>(i));
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rank(a) < rank(b); });

    const HINSTANCE inst = GetModuleHandleW(nullptr);
    for (size_t i : order) {
        Built& b = built_[i];
        const Control& c = *b.spec;
        const wchar_t* cls = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD ex = 0;
        switch (c.kind) {
        case Kind::Label:
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case Kind::Button:
            cls = L"BUTTON";
            style |= BS_PUSHBUTTON | BS_MULTILINE;
            break;
        case Kind::CheckBox:
            cls = L"BUTTON";
            style |= BS_3STATE | BS_MULTILINE;
            break;
        case Kind::DropList:
            cls = L"COMBOBOX";
            style |= CBS_DROPDOWNLIST | WS_VSCROLL;
            break;
        case Kind::DropCombo:
            cls = L"COMBOBOX";
            style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
            break;
        case Kind::TextBox:
        case Kind::KeyField:
        case Kind::ButtonField:
            cls = L"EDIT";
            style |= ES_AUTOHSCROLL | ES_LEFT;
            ex |= WS_EX_CLIENTEDGE;
            break;
        case Kind::Frame:
            cls = L"BUTTON";
            style |= BS_GROUPBOX;
            break;
        case Kind::Line:
            style |= SS_ETCHEDHORZ;
            break;
        case Kind::Picture:
            style |= SS_OWNERDRAW;
            break;
        }
        if (takesFocus(c.kind))
            style |= WS_TABSTOP | WS_GROUP;
        const bool captioned = c.kind != Kind::DropList && c.kind != Kind::Line && c.kind != Kind::Picture;
        b.hwnd =
            CreateWindowExW(ex, cls, captioned ? std::wstring(c.caption).c_str() : L"", style, 0, 0, 10, 10,
                            hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), inst, nullptr);
        if (!b.hwnd)
            throw std::runtime_error("A control could not be created.");
        if (isList(c.kind)) {
            for (auto item : c.items)
                SendMessageW(b.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::wstring(item).c_str()));
            if (c.kind == Kind::DropCombo)
                SetWindowTextW(b.hwnd, std::wstring(c.caption).c_str());
        }
        if (c.kind == Kind::KeyField || c.kind == Kind::ButtonField || c.kind == Kind::TextBox ||
            c.kind == Kind::Frame)
            SetWindowSubclass(b.hwnd, &Form::fieldProc, static_cast<UINT_PTR>(b.id),
                              reinterpret_cast<DWORD_PTR>(this));
        if (c.kind == Kind::Picture && c.picture) {
            SIZE size{};
            if (HBITMAP bmp = sharedJpegResource(c.picture, &size))
                pictures_[b.id] = bmp;
        }
        if (!c.enabled)
            EnableWindow(b.hwnd, FALSE);
    }
}

const Control* Form::frameOf(const Control& c) const {
    if (c.frame.empty())
        return nullptr;
    const auto it = byName_.find({std::wstring(c.frame), 0});
    return it == byName_.end() ? nullptr : built_[it->second].spec;
}

void Form::layout() {
    if (!hwnd_)
        return;
    const SIZE outer = windowSizeFor(twips(spec_.width, dpi_), twips(spec_.height, dpi_), kStyle,
                                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Every control at its place from the table first, so that the captions below see where the
    // others really are (a combo box chooses its own height).
    for (Built& b : built_) {
        const Control& c = *b.spec;
        int left = c.left, top = c.top;
        if (const Control* f = frameOf(c)) {
            left += f->left;
            top += f->top;
        }
        int height = twips(c.height, dpi_);
        if (isList(c.kind)) {
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

room::Box Form::boxOf(HWND control) const {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

void Form::fitCaptions() {
    // The tables were drawn for the narrow dialog face of their time; systems give it other faces
    // (East Asian systems, large fonts, themes). A label or check box grows towards its text on one
    // line, only through free space; beyond that a one-line one is cut as the standard controls cut
    // their text, and a taller one wraps.
    std::vector<room::Box> boxes(built_.size());
    for (size_t i = 0; i < built_.size(); ++i)
        boxes[i] = boxOf(built_[i].hwnd);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int edge = scale(2, dpi_); // a frame's border
    HDC dc = GetDC(hwnd_);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    std::vector<room::Box> others;
    for (size_t i = 0; i < built_.size(); ++i) {
        Built& b = built_[i];
        const Control& c = *b.spec;
        if (c.kind != Kind::Label && c.kind != Kind::CheckBox)
            continue;
        const room::Box own = boxes[i];
        // Two lines fit where only the first one's internal leading (the room above accents) is cut.
        const bool oneLine = own.bottom - own.top < 2 * tm.tmHeight - tm.tmInternalLeading;
        // A one-line label ends in an ellipsis when cut; a one-line check box keeps its text on
        // one line instead of wrapping a second one out of sight.
        const LONG_PTR style = GetWindowLongPtrW(b.hwnd, GWL_STYLE);
        const LONG_PTR fitted = c.kind == Kind::Label
                                    ? (oneLine ? style | SS_ENDELLIPSIS : style & ~SS_ENDELLIPSIS)
                                    : (oneLine ? style & ~BS_MULTILINE : style | BS_MULTILINE);
        if (fitted != style)
            SetWindowLongPtrW(b.hwnd, GWL_STYLE, fitted);
        room::Box bounds{0, 0, client.right, client.bottom};
        const Control* frame = frameOf(c);
        others.clear();
        for (size_t j = 0; j < built_.size(); ++j) {
            if (j == i)
                continue;
            if (frame && built_[j].spec == frame) {
                bounds = {boxes[j].left + edge, boxes[j].top + edge, boxes[j].right - edge,
                          boxes[j].bottom - edge};
                continue;
            }
            others.push_back(boxes[j]);
        }
        const std::wstring caption = windowText(b.hwnd);
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        const int box = c.kind == Kind::CheckBox ? scale(20, dpi_) : 0;
        // A taller box keeps its height, and wraps what still does not fit on one line.
        boxes[i] =
            room::grow(own, static_cast<int>(extent.cx) + box + 2, oneLine ? tm.tmHeight : 0, bounds, others);
        if (boxes[i] != own)
            SetWindowPos(b.hwnd, nullptr, boxes[i].left, boxes[i].top, boxes[i].right - boxes[i].left,
                         boxes[i].bottom - boxes[i].top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd_, dc);
}

void Form::applyDpi(UINT dpi) {
    dpi_ = dpi;
    HFONT old = font_;
    font_ = createDialogFont(dpi);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (Built& b : built_)
        SendMessageW(b.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (old)
        DeleteObject(old);
    layout();
    InvalidateRect(hwnd_, nullptr, TRUE);
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
    if (background_)
        drawBitmap(dc, background_, backgroundSize_, 0, 0, scale(backgroundSize_.cx, dpi_),
                   scale(backgroundSize_.cy, dpi_));
}

Form::Built& Form::at(std::wstring_view name, int index) {
    const auto it = byName_.find({std::wstring(name), index});
    if (it == byName_.end() || !hwnd_)
        throw std::out_of_range("unknown control or form not loaded");
    return built_[it->second];
}

const Form::Built& Form::at(std::wstring_view name, int index) const {
    return const_cast<Form*>(this)->at(name, index);
}

HWND Form::item(std::wstring_view name, int index) const {
    return at(name, index).hwnd;
}

bool Form::has(std::wstring_view name, int index) const {
    for (const Control& c : spec_.controls)
        if (c.name == name && c.index == index)
            return true;
    return false;
}

Kind Form::kind(std::wstring_view name, int index) const {
    return at(name, index).spec->kind;
}

std::wstring Form::text(std::wstring_view name, int index) const {
    return windowText(item(name, index));
}

void Form::setText(std::wstring_view name, std::wstring_view text, int index) {
    SetWindowTextW(item(name, index), std::wstring(text).c_str());
}

int Form::check(std::wstring_view name, int index) const {
    return static_cast<int>(SendMessageW(item(name, index), BM_GETCHECK, 0, 0));
}

bool Form::setCheck(std::wstring_view name, int state, int index) {
    Built& b = at(name, index);
    if (state < 0 || state > 2)
        return false;
    if (static_cast<int>(SendMessageW(b.hwnd, BM_GETCHECK, 0, 0)) == state)
        return true;
    SendMessageW(b.hwnd, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    runHandler(clicks_[b.row], b.spec->index);
    return true;
}

int Form::selected(std::wstring_view name, int index) const {
    return static_cast<int>(SendMessageW(item(name, index), CB_GETCURSEL, 0, 0));
}

bool Form::select(std::wstring_view name, int position, int index) {
    Built& b = at(name, index);
    const int n = static_cast<int>(SendMessageW(b.hwnd, CB_GETCOUNT, 0, 0));
    if (position < -1 || position >= n)
        return false;
    if (static_cast<int>(SendMessageW(b.hwnd, CB_GETCURSEL, 0, 0)) == position)
        return true;
    SendMessageW(b.hwnd, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    runHandler(clicks_[b.row], b.spec->index);
    return true;
}

int Form::count(std::wstring_view name, int index) const {
    return static_cast<int>(SendMessageW(item(name, index), CB_GETCOUNT, 0, 0));
}

std::wstring Form::itemText(std::wstring_view name, int position, int index) const {
    HWND h = item(name, index);
    const LRESULT n = SendMessageW(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
    if (n == CB_ERR)
        return {};
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(h, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
}

void Form::clearItems(std::wstring_view name, int index) {
    SendMessageW(item(name, index), CB_RESETCONTENT, 0, 0);
}

void Form::addItem(std::wstring_view name, std::wstring_view text, int index) {
    SendMessageW(item(name, index), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::wstring(text).c_str()));
}

bool Form::enabled(std::wstring_view name, int index) const {
    return IsWindowEnabled(item(name, index)) != FALSE;
}

void Form::enable(std::wstring_view name, bool on, int index) {
    EnableWindow(item(name, index), on ? TRUE : FALSE);
}

void Form::focusControl(std::wstring_view name, int index) {
    SetFocus(item(name, index));
}

void Form::onClick(std::wstring_view name, Handler handler) {
    // Handlers are attached to the table rows, so they survive unloading and loading again.
    bool found = false;
    for (size_t i = 0; i < spec_.controls.size(); ++i)
        if (spec_.controls[i].name == name) {
            clicks_[i] = handler;
            found = true;
        }
    if (!found)
        throw std::out_of_range("unknown control");
}

void Form::onDblClick(std::wstring_view name, Handler handler) {
    bool found = false;
    for (size_t i = 0; i < spec_.controls.size(); ++i)
        if (spec_.controls[i].name == name) {
            dblClicks_[i] = handler;
            found = true;
        }
    if (!found)
        throw std::out_of_range("unknown control");
}

void Form::runHandler(const Handler& handler, int index) {
    if (handler)
        handler(index);
}

void Form::command(int id, int notification) {
    if (id < kFirstId || id >= kFirstId + static_cast<int>(built_.size()))
        return; // Enter and Escape arrive as IDOK and IDCANCEL: there is no default or cancel button
    Built& b = built_[static_cast<size_t>(id - kFirstId)];
    const Kind k = b.spec->kind;
    if (k == Kind::Button && notification == BN_CLICKED) {
        runHandler(clicks_[b.row], b.spec->index);
    } else if (k == Kind::CheckBox && notification == BN_CLICKED) {
        const int state = static_cast<int>(SendMessageW(b.hwnd, BM_GETCHECK, 0, 0));
        SendMessageW(b.hwnd, BM_SETCHECK, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
        runHandler(clicks_[b.row], b.spec->index);
    } else if (isList(k) && notification == CBN_SELCHANGE) {
        runHandler(clicks_[b.row], b.spec->index);
    }
}

namespace {
LRESULT CALLBACK windowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return Form::windowProc(hwnd, msg, wp, lp);
}
} // namespace

LRESULT CALLBACK Form::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        // The object is known from the window's first message on.
        auto* created = static_cast<Form*>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        created->hwnd_ = hwnd;
        registry()[hwnd] = created;
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
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd_, &ps);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<LRESULT>(backBrush());
    }
    case WM_DRAWITEM: {
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        const auto it = pictures_.find(static_cast<int>(di->CtlID));
        if (it != pictures_.end()) {
            BITMAP bm{};
            GetObjectW(it->second, sizeof bm, &bm);
            FillRect(di->hDC, &di->rcItem, backBrush());
            // The picture keeps its natural size at 96 DPI and scales with the display.
            drawBitmap(di->hDC, it->second, SIZE{bm.bmWidth, bm.bmHeight}, di->rcItem.left, di->rcItem.top,
                       scale(bm.bmWidth, dpi_), scale(bm.bmHeight, dpi_));
        }
        return TRUE;
    }
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && GetAncestor(focus, GA_ROOT) == hwnd_)
                lastFocus_ = focus;
        } else if (lastFocus_ && IsWindow(lastFocus_) && GetAncestor(lastFocus_, GA_ROOT) == hwnd_) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        const auto* r = reinterpret_cast<const RECT*>(lp);
        SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        applyDpi(LOWORD(wp));
        return 0;
    }
    case WM_DESTROY: {
        HWND self = hwnd_;
        registry().erase(self);
        pictures_.clear(); // the decoded pictures are shared and kept
        background_ = nullptr;
        keysDown_.clear();
        lastFocus_ = nullptr;
        hwnd_ = nullptr;
        for (Built& b : built_)
            b.hwnd = nullptr;
        SetWindowLongPtrW(self, GWLP_USERDATA, 0);
        // The font stays until the next load or the end: the controls still hold it while they go.
        if (brush_) {
            DeleteObject(brush_);
            brush_ = nullptr;
        }
        --gOpenForms;
        if (gOpenForms == 0 && gQuitWhenLastCloses)
            PostQuitMessage(0);
        return DefWindowProcW(self, msg, wp, lp);
    }
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Form::fieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<Form*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &Form::fieldProc, id);
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    const int pos = static_cast<int>(id) - kFirstId;
    if (!self->hwnd_ || pos < 0 || pos >= static_cast<int>(self->built_.size()))
        return DefSubclassProc(hwnd, msg, wp, lp);
    try {
        return self->handleField(self->built_[static_cast<size_t>(pos)], hwnd, msg, wp, lp);
    } catch (...) {
        report::unexpectedException(hwnd);
    }
    return 0;
}

LRESULT Form::handleField(Built& field, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const Kind k = field.spec->kind;
    if (k == Kind::Frame && msg == WM_ERASEBKGND) {
        // The form clips its children, so nothing else paints the inside of a frame.
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, backBrush());
        return 1;
    }
    if (msg == WM_LBUTTONDBLCLK && (k == Kind::KeyField || k == Kind::ButtonField)) {
        SetWindowTextW(hwnd, L"-1");
        runHandler(dblClicks_[field.row], field.spec->index);
        return 0;
    }
    if (msg == WM_LBUTTONDBLCLK && dblClicks_[field.row]) {
        const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
        runHandler(dblClicks_[field.row], field.spec->index);
        return r;
    }
    if (k != Kind::KeyField)
        return DefSubclassProc(hwnd, msg, wp, lp);

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
        for (auto it = keysDown_.begin(); it != keysDown_.end();)
            it = it->first == hwnd ? keysDown_.erase(it) : std::next(it);
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace tk
