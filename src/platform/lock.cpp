#include "platform/lock.h"

#include <cstdint>
#include <mutex>
#include <set>

namespace platform {
namespace {

// The file system matches names without regard to case in any script: so does the lock's name.
std::wstring folded(std::wstring_view path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        path.remove_prefix(8);
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        path.remove_prefix(4);
    std::wstring s(path);
    while (s.size() > 3 && (s.back() == L'\\' || s.back() == L'/'))
        s.pop_back();
    for (wchar_t& c : s)
        if (c == L'/')
            c = L'\\';
    if (!s.empty())
        CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::wstring nameFor(std::wstring_view purpose, std::wstring_view path) {
    return L"Local\\ZelqConfig-" + std::wstring(purpose) + L"-" + pathKey(path);
}

// A mutex lets its owning thread in again; the names held here keep a second holder out.
std::mutex gHeldMutex;
std::set<std::wstring>& heldHere() {
    static std::set<std::wstring> names;
    return names;
}

} // namespace

// Object names are short and take no backslash: a hash of the path stands for it.
std::wstring pathKey(std::wstring_view path) {
    uint64_t h = 14695981039346656037ull;
    for (const wchar_t c : folded(path)) {
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
    release();
    if (mutex_)
        CloseHandle(mutex_);
}

bool PathLock::acquire(DWORD timeoutMs) {
    if (held_)
        return true;
    abandoned_ = false;
    error_ = 0;
    if (!mutex_) {
        mutex_ = CreateMutexW(nullptr, FALSE, name_.c_str());
        if (!mutex_) {
            error_ = GetLastError();
            return false;
        }
    }
    {
        std::lock_guard<std::mutex> guard(gHeldMutex);
        if (heldHere().count(name_)) {
            error_ = ERROR_TIMEOUT;
            return false;
        }
        heldHere().insert(name_);
    }
    const DWORD r = WaitForSingleObject(mutex_, timeoutMs);
    if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) {
        held_ = true;
        abandoned_ = r == WAIT_ABANDONED;
        return true;
    }
    error_ = r == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError();
    std::lock_guard<std::mutex> guard(gHeldMutex);
    heldHere().erase(name_);
    return false;
}

void PathLock::release() {
    if (!held_)
        return;
    ReleaseMutex(mutex_);
    held_ = false;
    std::lock_guard<std::mutex> guard(gHeldMutex);
    heldHere().erase(name_);
}

} // namespace platform
