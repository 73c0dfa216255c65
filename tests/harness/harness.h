#pragma once
// What every window test needs: a temporary game folder, a stand-in for the platform seam that
// records instead of blocking, and a driver that plays a user's actions by control name.
#include "platform/files.h"
#include "platform/system.h"
#include "toolkit/form.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace harness {

struct Message {
    std::wstring text, title;
    platform::Icon icon;
};

struct Started {
    std::wstring application, commandLine;
    int show;
};

// The seam every test runs with (installed by the test program's main).
class Recorder : public platform::System {
public:
    std::vector<Message> messages;
    std::vector<Started> started;
    int ended = 0;
    bool admin = true;
    DWORD startError = 0;
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> env; // over the real environment
    // Runs at each named point of a file operation: a test holds the program there, or acts there.
    std::function<void(std::wstring_view where)> onCheckpoint;

    void message(HWND, std::wstring_view text, std::wstring_view title, platform::Icon icon) override {
        messages.push_back({std::wstring(text), std::wstring(title), icon});
    }
    void endProgram() override { ++ended; }
    DWORD start(const std::wstring& application, const std::wstring& commandLine, int show) override {
        started.push_back({application, commandLine, show});
        return startError;
    }
    bool isUserAdmin() override { return admin; }
    std::optional<std::wstring> environment(std::wstring_view name) override;
    void checkpoint(std::wstring_view where) override {
        if (onCheckpoint)
            onCheckpoint(where);
    }
};
Recorder& recorder();

// A fresh game folder with its settings folder under the temporary folder, made the application
// folder. Its name holds a blank and characters outside ASCII; `minLength` makes it deeper, down to
// a path of at least that many characters.
class GameFolder {
public:
    explicit GameFolder(size_t minLength = 0);
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring file(std::wstring_view relative) const { return path_ + std::wstring(relative); } // "\\name"
    std::wstring settings(std::wstring_view name) const { return file(L"\\zelqcfg\\" + std::wstring(name)); }

private:
    std::wstring path_;
};

// Files as bytes, by paths of any length.
std::string read(const std::wstring& path);
void write(const std::wstring& path, std::string_view bytes);
inline void makeFolder(const std::wstring& path) {
    CreateDirectoryW(platform::longPath(path).c_str(), nullptr);
}
inline void setReadOnly(const std::wstring& path, bool on) {
    SetFileAttributesW(platform::longPath(path).c_str(),
                       on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}
// The names in a folder, without "." and "..".
std::vector<std::wstring> names(const std::wstring& folder);

// Holds a file open without sharing for as long as it lives.
struct Lock {
    const HANDLE handle;
    explicit Lock(const std::wstring& path)
        : handle(CreateFileW(platform::longPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_ALWAYS, 0, nullptr)) {}
    ~Lock() { CloseHandle(handle); }
};

// How long a wait for another process or thread may take before the test calls it stuck: long, as a
// busy machine may be slow; no test waits this long unless something is wrong.
constexpr DWORD kPatience = 300000;

// An auto-reset event that a second copy of this test program shares, named by the test's key and `what`.
HANDLE sharedEvent(const std::wstring& key, std::wstring_view what);

// A second copy of this test program, running the one test `filter` with `args`; killed at the end.
class SecondCopy {
public:
    SecondCopy(const std::wstring& key, std::initializer_list<const wchar_t*> events, const wchar_t* filter,
               const std::vector<std::wstring>& args);
    ~SecondCopy();
    SecondCopy(const SecondCopy&) = delete;
    SecondCopy& operator=(const SecondCopy&) = delete;
    // Waits for the copy's event; false when the copy ended first.
    bool signalled(const wchar_t* what) const;
    void set(const wchar_t* what) const { SetEvent(events_.at(what)); }
    bool ends() const { return WaitForSingleObject(process_, kPatience) == WAIT_OBJECT_0; }
    void kill() const;
    // In the copy: the arguments after the test's filter; none in the first copy.
    static std::vector<std::wstring> args();

private:
    std::map<std::wstring, HANDLE, std::less<>> events_;
    HANDLE process_ = nullptr;
};

// Every test starts and ends with no window loaded and an empty recorder.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    Recorder& rec = recorder();
};

// A user's actions, by control name. Each checks first that a user could do it (the control
// exists, is visible and enabled), because a disabled button still answers a programmatic click.
void click(tk::Form& form, std::wstring_view name, int index = 0);
void pick(tk::Form& form, std::wstring_view name, int position, int index = 0);
void type(tk::Form& form, std::wstring_view name, std::wstring_view text, int index = 0); // replaces the text
void typeChars(tk::Form& form, std::wstring_view name, std::wstring_view chars, int index = 0);
void doubleClick(tk::Form& form, std::wstring_view name, int index = 0);
void closeBox(tk::Form& form);
void pump();

// Places in pixels in the form's client area, for layout checks.
RECT placeOf(tk::Form& form, std::wstring_view name, int index = 0);

} // namespace harness
