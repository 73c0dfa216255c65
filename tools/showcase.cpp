// showcase FORM.CONTROL ...: starts the program's main window in the current folder, then
// clicks the named buttons in order (each on the loaded form of that name), and runs as the
// program does. Used to open any window for a screenshot without a person at the keyboard.
#include "app/mainform.h"
#include "toolkit/dpi.h"
#include "toolkit/messageloop.h"

#include <ole2.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tk::restrictDllSearch();
    OleInitialize(nullptr);
    tk::Form::quitWhenLastCloses(true);
    app::form1().show();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i < argc; ++i) {
        tk::pumpMessages();
        const std::wstring step = argv[i];
        const size_t dot = step.find(L'.');
        tk::Form* form = tk::Form::loadedNamed(step.substr(0, dot));
        if (!form || dot == std::wstring::npos)
            return 2;
        SendMessageW(form->item(step.substr(dot + 1)), BM_CLICK, 0, 0);
    }
    LocalFree(argv);
    return tk::runMessageLoop();
}
