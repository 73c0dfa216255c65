#include "bench/windows.h"

#include "app/mainform.h"

namespace bench {

const std::vector<Window>& windows() {
    static const std::vector<Window> all = {
        {[]() -> tk::Form& { return app::form1(); },
         []() -> tk::Form& {
             app::form1().show();
             return app::form1();
         }},
    };
    return all;
}

} // namespace bench
