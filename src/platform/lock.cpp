#include "platform/lock.h"

#include "platform/names.h"

#include <cstdint>
#include <set>

namespace platform {
namespace {

// One spelling for every spelling of a path that the file system takes as one file: without the
// "\\?\" prefix (a network path keeps its leading "\\"), with backslashes, without a trailing one,
// in upper case.
std::wstring canonical(std::wstring_view path) {
    std::wstring s;
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        s = L"\\\\" + std::wstring(path.substr(8));
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        s = path.substr(4);
    else
        s = path;
    for (wchar_t& c : s)
        if (c == L'/')
            c = L'\\';
    while (s.size() > 3 && s.back() == L'\\')
        s.pop_back();
    return nameKey(s);
}

std::wstring nameFor(std::wstring_view purpose, std::wstring_view path) {
    return L"Local\\ZelqConfig-" + std::wstring(purpose) + L"-" + pathKey(path);
}

// A mutex lets its owning thread in again; the names held here keep a second holder out.
std::set<std::wstring>& heldHere() {
    static std::set<std::wstring> names;
    return names;
}

} // namespace

// Object names are short and take no backslash: a hash of the path stands for it.
std::wstring pathKey(std::wstring_view path) {
    uint64_t h = 14695981039346656037ull;
    for (const wchar_t c : canonical(path)) {
        h ^= static_cast<uint16_t>(c);
        h *= 1099511628211ull;
    }
    wchar_t hex[17];
    for (int i = 15; i >= 0; --i, h >>= 4)
        hex[i] = L"0123456789abcdef"[h & 15];
    hex[16] = 0;
    return hex;
}

PathLock::PathLock(std::wstring_view purpose, const std::wstring& path) : name_(nameFor(purpose, path)) {}

PathLock::~PathLock() {
    if (held_) {
        ReleaseMutex(mutex_);
        heldHere().erase(name_);
    }
    if (mutex_)
        CloseHandle(mutex_);
}

bool PathLock::acquire(DWORD timeoutMs) {
    if (held_)
        return true;
    error_ = 0;
    if (!mutex_) {
        mutex_ = CreateMutexW(nullptr, FALSE, name_.c_str());
        if (!mutex_) {
            error_ = GetLastError();
            return false;
        }
    }
    if (!heldHere().insert(name_).second) {
        error_ = ERROR_TIMEOUT;
        return false;
    }
    // An abandoned mutex is held all the same: the save that follows cleans up what its holder left.
    const DWORD r = WaitForSingleObject(mutex_, timeoutMs);
    if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) {
        held_ = true;
        return true;
    }
    error_ = r == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError();
    heldHere().erase(name_);
    return false;
}

} // namespace platform
