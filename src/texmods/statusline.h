#pragma once
// The texture mod window's status line: the selected mod's state, worked out on a thread of its own
// so that a large mod never holds the window. A newer check cancels the one before; only the
// newest one's line is ever shown.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace texmods {

class StatusLine {
public:
    StatusLine();
    ~StatusLine();
    StatusLine(const StatusLine&) = delete;
    StatusLine& operator=(const StatusLine&) = delete;

    // Shows the state in `label` from now on. Destroying the label stops every check.
    void attach(HWND label);
    // Works out the state of the mod in `modFolder`; `catalogue` holds every mod folder, in the order
    // of the list, to name the mod whose file a target holds. Shows the line at once when it is ready
    // within a moment, "Checking..." until then otherwise.
    void check(const std::wstring& gameFolder, const std::wstring& modFolder,
               const std::vector<std::wstring>& catalogue);
    // Cancels every check and waits for its thread to end. The line keeps its text.
    void stop();

private:
    struct Job;
    static LRESULT CALLBACK labelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    void retireCurrent();

    HWND label_ = nullptr;
    std::unique_ptr<Job> current_;
    std::vector<std::unique_ptr<Job>> retired_; // cancelled, until their threads end
};

} // namespace texmods
