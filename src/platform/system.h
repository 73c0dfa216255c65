#pragma once
// The few platform operations a test must stand in for: message boxes, ending the program,
// starting another program, the administrator test and the environment. The program uses
// the real functions; tests install a recorder, which may also hold the program at a named
// point of a file operation (so that another process can meet it there, or end it there).
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class Icon { None, Information, Critical };

class System {
public:
    virtual ~System() = default;
    // A message box with an OK button; returns when the user has closed it.
    virtual void message(HWND owner, std::wstring_view text, std::wstring_view title, Icon icon) = 0;
    // Ends the program at once, without any window's close handling.
    virtual void endProgram() = 0;
    // Starts a program without waiting. Returns 0, or the system's error code.
    virtual DWORD start(const std::wstring& application, const std::wstring& commandLine,
                        int showCommand) = 0;
    virtual bool isUserAdmin() = 0;
    // The variable's value, or nothing when it is not set.
    virtual std::optional<std::wstring> environment(std::wstring_view name) = 0;
    // Called between two steps of a file operation, named by `where`; the real system does nothing.
    virtual void checkpoint(std::wstring_view /*where*/) {}
};

System& sys();
// Installs a stand-in; nullptr restores the real system.
void install(System* replacement);

// The system's text for an error code, without the trailing line break.
std::wstring errorText(DWORD code);

} // namespace platform
