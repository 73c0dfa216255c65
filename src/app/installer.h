#pragma once
// The DirectX 8 component library that ships in the game folder: at every start it is copied into
// the system folder and registered when it is not there yet.
#include <string>

namespace app {

// The Windows folder, without a trailing backslash: "windir" when it holds a full path, else the
// system's own answer (a relative or empty value would send every path, and above all the
// registration tool's, to the current folder or drive). Empty when the system has none either.
std::wstring windowsFolder();

// The start's installer step. False when the program was ended (the user may not install and
// was told so): start-up must not go on and the main window must never show.
bool InstallPrerequisites();

} // namespace app
