#pragma once
#include <windows.h>

namespace tk {

// The program's one message loop. Every form's messages pass through dialog-message
// handling, so Tab and Shift+Tab move the focus in every modeless window.
int runMessageLoop();
// Handles the messages waiting now, the same way, and returns.
void pumpMessages();

} // namespace tk
