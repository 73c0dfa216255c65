#include "toolkit/formregistry.h"

#include "toolkit/form.h"

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

const std::map<HWND, Form*>& all() {
    return forms();
}

} // namespace registry

int Form::openForms() {
    return static_cast<int>(registry::all().size());
}

void Form::quitWhenLastCloses(bool on) {
    gQuitWhenLastCloses = on;
}

void Form::unloadAll() {
    while (!registry::all().empty()) {
        const HWND window = registry::all().begin()->first;
        if (!DestroyWindow(window))
            registry::remove(window); // not ours to destroy: at least the loop ends
    }
}

Form* Form::loadedNamed(std::wstring_view name) {
    for (const auto& [window, form] : registry::all())
        if (form->spec_.name == name)
            return form;
    return nullptr;
}

Form* Form::fromWindow(HWND window) {
    return registry::formAt(registry::formWindowOf(window));
}

} // namespace tk
