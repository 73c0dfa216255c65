#pragma once
#include <windows.h>

#include <vector>

namespace tk {

class Form;

// The program's one message loop. Every form's messages pass through dialog-message
// handling, so Tab and Shift+Tab move the focus in every modeless window.
int runMessageLoop();
// Handles the messages waiting now, the same way, and returns. A WM_QUIT is left for the loop.
void pumpMessages();

// While one lives, the program does one thing and nothing else acts: every loaded form but `owner`
// is disabled; the pump delivers only painting, timers, minimising and restoring, and the messages
// of the `allowed` windows, drops user input and other commands, and keeps every other message for
// the end; and no form acts on a command or a close request, however it arrives (a message sent
// from another thread is handled inside the pump whatever it filters). Afterwards everything works
// as before.
class Busy {
public:
    Busy(const Form& owner, std::vector<HWND> allowed);
    ~Busy();
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

    static bool active();

private:
    std::vector<HWND> disabled_;
};

} // namespace tk
