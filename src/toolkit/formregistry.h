#pragma once
// The loaded forms by their windows. The message loop and the busy state find form windows here
// without the form's code; a form's window procedure registers and forgets its own.
#include <windows.h>

namespace tk {
class Form;
}

namespace tk::registry {

void add(HWND window, Form* form);
// Forgets a form's window. When it was the last, and the program asked for it, the loop ends.
void remove(HWND window);
// The form whose window is `window` itself, or nullptr.
Form* formAt(HWND window);
// The form window that `window` is or lies in, or nullptr when it belongs to no form.
HWND formWindowOf(HWND window);

} // namespace tk::registry
