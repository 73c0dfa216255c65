#include "toolkit/formregistry.h"

#include "toolkit/form.h"

#include <map>

namespace tk {
namespace {

std::map<HWND, Form*>& forms() {
    static std::map<HWND, Form*> byWindow;
    return byWindow;
}
bool gQuitWhenLastCloses = false;

} // namespace

namespace registry {

void add(HWND window, Form* form) {
    forms()[window] = form;
}

void remove(HWND window) {
    if (forms().erase(window) && forms().empty() && gQuitWhenLastCloses)
        PostQuitMessage(0);
}

Form* formAt(HWND window) {
    const auto it = forms().find(window);
    return it == forms().end() ? nullptr : it->second;
}

HWND formWindowOf(HWND window) {
    if (!window)
        return nullptr;
    const HWND root = GetAncestor(window, GA_ROOT);
    const HWND top = root ? root : window;
    return formAt(top) ? top : nullptr;
}

} // namespace registry

int Form::openForms() {
    return static_cast<int>(forms().size());
}

void Form::quitWhenLastCloses(bool on) {
    gQuitWhenLastCloses = on;
}

void Form::unloadAll() {
    while (!forms().empty()) {
        const HWND window = forms().begin()->first;
        if (!DestroyWindow(window))
            registry::remove(window); // not ours to destroy: at least the loop ends
    }
}

Form* Form::loadedNamed(std::wstring_view name) {
    for (const auto& [window, form] : forms())
        if (form->spec_.name == name)
            return form;
    return nullptr;
}

} // namespace tk
