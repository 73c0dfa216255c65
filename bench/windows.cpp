#include "bench/windows.h"

#include "app/mainform.h"
#include "bindings/bindings.h"
#include "controls/controlsform.h"
#include "controls/pedalform.h"
#include "controls/wheelform.h"
#include "enhancements/enhancement.h"
#include "texmods/texmodform.h"

namespace bench {
namespace {

// Opens `form` as the player would: from its opener, which is opened first when it is not.
template <class Get> Window window(Get get, std::function<tk::Form&()> opener) {
    return {[get]() -> tk::Form& { return get(); },
            [get, opener]() -> tk::Form& {
                tk::Form* from = opener ? &opener() : nullptr;
                get().show(from);
                return get();
            }};
}

tk::Form& mainWindow() {
    app::form1().show();
    return app::form1();
}

tk::Form& controlsWindow() {
    controls::controlsForm().show(&mainWindow());
    return controls::controlsForm();
}

tk::Form& viewButtonWindow() {
    bindings::viewButtonForm().show(&controlsWindow());
    return bindings::viewButtonForm();
}

} // namespace

const std::vector<Window>& windows() {
    static const std::vector<Window> all = {
        window([]() -> tk::Form& { return app::form1(); }, nullptr),
        window([]() -> tk::Form& { return controls::controlsForm(); }, mainWindow),
        window([]() -> tk::Form& { return controls::wheelForm(); }, controlsWindow),
        window([]() -> tk::Form& { return controls::pedalForm(); }, controlsWindow),
        window([]() -> tk::Form& { return bindings::gearShiftForm(); }, controlsWindow),
        window([]() -> tk::Form& { return bindings::viewButtonForm(); }, controlsWindow),
        window([]() -> tk::Form& { return bindings::hatForm(); }, viewButtonWindow),
        window([]() -> tk::Form& { return enhancements::frmEnhancement(); }, mainWindow),
        window([]() -> tk::Form& { return texmods::texModForm(); }, mainWindow),
    };
    return all;
}

} // namespace bench
