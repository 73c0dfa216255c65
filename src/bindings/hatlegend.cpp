#include "bindings/bindings.h"
#include "bindings/layout.h"

#include "resource.h"

namespace bindings {
namespace {

// clang-format off
tk::FormSpec hatSpec() {
    return {.name = L"frmHat", .caption = L"Hat Switch Legend", .width = 3450, .height = 3390,
            .controls = {
                {.name = L"picHat", .kind = tk::Kind::Picture, .left = 240, .top = 0, .width = 3000, .height = 2910, .picture = IDR_HAT_LEGEND},
                layout::button(L"cmdOk", L"Ok", 960, 3000, 1335),
            }};
}
// clang-format on

} // namespace

frmHat::frmHat() : Form(hatSpec()) {
    // The view button dialog that showed the legend gets the focus back, if it is still open.
    onClick(L"cmdOk", [this](int) { dismiss(); });
}

frmHat& hatForm() {
    static frmHat form;
    return form;
}

} // namespace bindings
