#pragma once
// Row builders shared by the button mapping dialogs' control tables.
#include "toolkit/form.h"

namespace bindings::layout {

// clang-format off
// A binding box, 495 by 405 twips.
inline tk::Control field(std::wstring_view name, tk::Kind kind, std::wstring_view text, int left, int top, int index = 0) {
    return {.name = name, .kind = kind, .caption = text, .left = left, .top = top, .width = 495, .height = 405, .index = index};
}

// A one-line label, unless given a taller height.
inline tk::Control label(std::wstring_view name, std::wstring_view caption, int left, int top, int width, int height = 195) {
    return {.name = name, .kind = tk::Kind::Label, .caption = caption, .left = left, .top = top, .width = width, .height = height};
}

// The number left of a binding box at (left, top), vertically centred on it.
inline tk::Control number(std::wstring_view name, std::wstring_view caption, int fieldLeft, int fieldTop) {
    return label(name, caption, fieldLeft - 240, fieldTop + 105, 165);
}

// A horizontal line from `from` to `to` at `height`.
inline tk::Control line(std::wstring_view name, int from, int to, int height) {
    return {.name = name, .kind = tk::Kind::Line, .left = from, .top = height, .width = to - from};
}

inline tk::Control button(std::wstring_view name, std::wstring_view caption, int left, int top, int width, int height = 375) {
    return {.name = name, .kind = tk::Kind::Button, .caption = caption, .left = left, .top = top, .width = width, .height = height};
}
// clang-format on

} // namespace bindings::layout
