// A loaded form's controls by name and array entry.
#include "toolkit/form.h"

#include "toolkit/formparts.h"

#include <stdexcept>

namespace tk {

const Form::Slot& Form::at(std::wstring_view name, int index) const {
    const auto it = byName_.find({std::wstring(name), index});
    if (it == byName_.end() || !hwnd_)
        throw std::out_of_range("unknown control or form not loaded");
    return slots_[it->second];
}

std::wstring Form::text(std::wstring_view name, int index) const {
    return parts::windowText(item(name, index));
}

void Form::setText(std::wstring_view name, std::wstring_view text, int index) {
    SetWindowTextW(item(name, index), std::wstring(text).c_str());
}

bool Form::setCheck(std::wstring_view name, int state, int index) {
    const Slot& b = at(name, index);
    if (state < 0 || state > 2)
        return false;
    changeState(b, BM_GETCHECK, BM_SETCHECK, state);
    return true;
}

bool Form::select(std::wstring_view name, int position, int index) {
    if (position < -1 || position >= count(name, index))
        return false;
    changeState(at(name, index), CB_GETCURSEL, CB_SETCURSEL, position);
    return true;
}

std::wstring Form::itemText(std::wstring_view name, int position, int index) const {
    const int n = send(name, index, CB_GETLBTEXTLEN, static_cast<WPARAM>(position));
    if (n == CB_ERR)
        return {};
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    send(name, index, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
}

void Form::addItem(std::wstring_view name, std::wstring_view text, int index) {
    send(name, index, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::wstring(text).c_str()));
}

void Form::onClick(std::wstring_view name, Handler handler) {
    // Handlers are attached to the table rows, so they survive unloading and loading again.
    bool found = false;
    for (size_t row = 0; row < spec_.controls.size(); ++row)
        if (spec_.controls[row].name == name) {
            clicks_[row] = handler;
            found = true;
        }
    if (!found)
        throw std::out_of_range("unknown control");
}

void Form::changeState(const Slot& b, UINT get, UINT set, int state) {
    if (static_cast<int>(SendMessageW(b.hwnd, get, 0, 0)) == state)
        return;
    SendMessageW(b.hwnd, set, static_cast<WPARAM>(state), 0);
    runClick(b);
}

void Form::runClick(const Slot& b) {
    if (clicks_[b.row])
        clicks_[b.row](b.spec->index);
}

} // namespace tk
