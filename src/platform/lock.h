#pragma once
// A lock named after a file's or folder's full path, shared by every copy of the program in the
// session, so that two windows or two processes never work on the same files at once. A holder
// that dies releases it (the next holder cleans up after it). Released when it goes.
#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

// Sixteen hex digits standing for a full path, the same for every spelling of it that the file
// system takes as one file (case, the "\\?\" and "\\?\UNC\" prefixes, slashes).
std::wstring pathKey(std::wstring_view path);

class PathLock {
public:
    // `purpose` keeps locks of different kinds on one path apart ("settings", "texmods").
    PathLock(std::wstring_view purpose, const std::wstring& path);
    ~PathLock();
    PathLock(const PathLock&) = delete;
    PathLock& operator=(const PathLock&) = delete;

    // Waits up to `timeoutMs` (0: only tries). True when held. A lock that this process already
    // holds is refused too: one holder at a time, even within one process.
    bool acquire(DWORD timeoutMs);
    // Why acquire failed: ERROR_TIMEOUT when another holder kept it, else the system's error.
    DWORD error() const { return error_; }

private:
    std::wstring name_;
    HANDLE mutex_ = nullptr;
    bool held_ = false;
    DWORD error_ = 0;
};

} // namespace platform
