#include "app/mainform.h"
#include "toolkit/dpi.h"
#include "toolkit/messageloop.h"

#include <ole2.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Game folders hold the modifications' proxy DLLs: load system libraries from the system only.
    tk::restrictDllSearch();
    OleInitialize(nullptr); // the pictures are decoded through OLE
    tk::Form::quitWhenLastCloses(true);
    app::form1().show();
    const int code = tk::runMessageLoop();
    OleUninitialize();
    return code;
}
