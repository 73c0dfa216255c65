// Creating a form's controls from its table.
#include "toolkit/form.h"

#include "toolkit/formparts.h"
#include "toolkit/picture.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace tk {
namespace {

// How each kind of control is made. Tab stops at the kinds that take the focus; a drop list and the
// kinds without text show no caption at creation (a combo box's caption is its text); the form
// handles some messages of the subclassed kinds: frames paint their inside, key and button fields
// clear on a double click and key fields take keys.
enum Trait : unsigned { kFocus = 1, kCaption = 2, kSubclassed = 4 };

struct Look {
    Kind kind;
    const wchar_t* windowClass;
    DWORD style, exStyle;
    unsigned traits;
};

// clang-format off
constexpr Look kLooks[] = {
    {Kind::Label, L"STATIC", SS_LEFT | SS_NOPREFIX, 0, kCaption},
    {Kind::Button, L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE, 0, kFocus | kCaption},
    {Kind::CheckBox, L"BUTTON", BS_3STATE | BS_MULTILINE, 0, kFocus | kCaption},
    {Kind::DropList, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0, kFocus},
    {Kind::DropCombo, L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, kFocus | kCaption},
    {Kind::TextBox, L"EDIT", ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, kFocus | kCaption},
    {Kind::KeyField, L"EDIT", ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, kFocus | kCaption | kSubclassed},
    {Kind::ButtonField, L"EDIT", ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, kFocus | kCaption | kSubclassed},
    {Kind::Frame, L"BUTTON", BS_GROUPBOX, 0, kCaption | kSubclassed},
    {Kind::Line, L"STATIC", SS_ETCHEDHORZ, 0, 0},
    {Kind::Picture, L"STATIC", SS_OWNERDRAW, 0, 0},
};
// clang-format on

const Look& lookOf(Kind k) {
    return *std::find_if(std::begin(kLooks), std::end(kLooks), [k](const Look& l) { return l.kind == k; });
}

// Creation order is the z-order, which is the order Tab follows: focusable controls by their tab
// positions, then the rest in table order, frames last so that they lie under their contents.
std::vector<size_t> creationOrder(const std::vector<Control>& controls) {
    std::vector<size_t> order(controls.size());
    std::iota(order.begin(), order.end(), size_t{0});
    auto rank = [&](size_t row) {
        const Control& c = controls[row];
        if (c.kind == Kind::Frame)
            return std::pair<int, int>(2, static_cast<int>(row));
        if (c.tab >= 0)
            return std::pair<int, int>(0, c.tab);
        return std::pair<int, int>(1, static_cast<int>(row));
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rank(a) < rank(b); });
    return order;
}

} // namespace

void Form::createControls() {
    for (size_t row : creationOrder(spec_.controls)) {
        Slot& b = slots_[row];
        const Control& c = *b.spec;
        const Look& look = lookOf(c.kind);
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | look.style;
        if (look.traits & kFocus)
            style |= WS_TABSTOP | WS_GROUP;
        const int id = parts::kFirstId + static_cast<int>(row);
        b.hwnd = CreateWindowExW(look.exStyle, look.windowClass,
                                 (look.traits & kCaption) ? std::wstring(c.caption).c_str() : L"", style, 0,
                                 0, 10, 10, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
        if (!b.hwnd)
            throw std::runtime_error("A control could not be created.");
        if (parts::isList(c.kind)) {
            for (auto item : c.items)
                SendMessageW(b.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::wstring(item).c_str()));
            if (c.kind == Kind::DropCombo)
                SetWindowTextW(b.hwnd, std::wstring(c.caption).c_str());
        }
        if (look.traits & kSubclassed)
            SetWindowSubclass(b.hwnd, &Form::subclassProc, static_cast<UINT_PTR>(id),
                              reinterpret_cast<DWORD_PTR>(this));
        if (c.kind == Kind::KeyField || c.kind == Kind::ButtonField)
            addTip(b);
        if (c.kind == Kind::Picture && c.picture) {
            if (HBITMAP bitmap = sharedJpegResource(c.picture))
                pictures_[id] = bitmap;
        }
        if (!c.enabled)
            EnableWindow(b.hwnd, FALSE);
    }
}

} // namespace tk
