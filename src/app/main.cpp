#include "app/mainform.h"
#include "platform/report.h"
#include "toolkit/dpi.h"
#include "toolkit/messageloop.h"

#include <ole2.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Game folders hold the modifications' proxy DLLs: load system libraries from the system only.
    tk::restrictDllSearch();
    OleInitialize(nullptr); // the pictures are decoded through OLE
    int code = 1;
    // The window procedure reports what goes wrong inside a window; this reports what goes wrong
    // outside one, so that the program never vanishes without a word.
    try {
        tk::Form::quitWhenLastCloses(true);
        app::form1().show();
        code = tk::runMessageLoop();
    } catch (...) {
        report::unexpectedException(nullptr);
    }
    OleUninitialize();
    return code;
}
