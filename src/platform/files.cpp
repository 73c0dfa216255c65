#include "platform/files.h"

#include "platform/lock.h"
#include "platform/names.h"

#include <algorithm>
#include <atomic>
#include <optional>

namespace platform {

std::wstring longPath(const std::wstring& path) {
    if (path.size() < 240 || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    if (path.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    return path;
}

std::wstring withSlash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

std::wstring folderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring nameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool isNormalFile(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(longPath(path).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    return !(data.dwFileAttributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

bool isFolder(const std::wstring& path) {
    std::wstring p = path;
    while (p.size() > 3 && (p.back() == L'\\' || p.back() == L'/'))
        p.pop_back();
    const DWORD a = GetFileAttributesW(longPath(p).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(longPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD readFile(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    HANDLE h = CreateFileW(longPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = 0;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(h, buffer, sizeof buffer, &got, nullptr)) {
            error = GetLastError();
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    CloseHandle(h);
    return error;
}

namespace {

DWORD writeAll(HANDLE h, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr))
            return GetLastError();
        if (wrote == 0)
            return ERROR_WRITE_FAULT;
        done += wrote;
    }
    return 0;
}

DWORD setSize(HANDLE h, size_t size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(h, at, nullptr, FILE_BEGIN) || !SetEndOfFile(h))
        return GetLastError();
    return 0;
}

std::wstring tempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    return n > 0 && n <= MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

// A process id written into a work file's name is still running (another user's counts as running).
bool running(DWORD pid) {
    if (pid == GetCurrentProcessId())
        return false; // this process holds none of its work files open between two of its calls
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!h)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool alive = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return alive;
}

// The process id in a work file's name after its stem, or nothing when the name is none of ours.
std::optional<DWORD> ownerOf(std::wstring_view rest) {
    const size_t dash = rest.find(L'-');
    if (dash == 0 || dash == std::wstring_view::npos || rest.find_first_not_of(L"0123456789") != dash)
        return std::nullopt;
    return static_cast<DWORD>(std::wcstoul(std::wstring(rest.substr(0, dash)).c_str(), nullptr, 10));
}

} // namespace

void removeFile(const std::wstring& path) {
    if (path.empty())
        return;
    const std::wstring p = longPath(path);
    if (DeleteFileW(p.c_str()) || GetLastError() != ERROR_ACCESS_DENIED)
        return;
    // Attributes belong to the file, not to one of its names: only the read-only one, which keeps a
    // name from being removed, is cleared, and given back when the name stays all the same.
    const DWORD a = GetFileAttributesW(p.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_READONLY) ||
        !SetFileAttributesW(p.c_str(), a & ~FILE_ATTRIBUTE_READONLY))
        return;
    if (!DeleteFileW(p.c_str()))
        SetFileAttributesW(p.c_str(), a);
}

DWORD createFile(const std::wstring& path, std::string_view bytes, bool flush) {
    HANDLE h = CreateFileW(longPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = writeAll(h, bytes);
    if (!error && flush && !FlushFileBuffers(h))
        error = GetLastError();
    CloseHandle(h);
    if (error)
        DeleteFileW(longPath(path).c_str());
    return error;
}

DWORD overwriteFile(const std::wstring& path, std::string_view bytes) {
    HANDLE h = CreateFileW(longPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError();
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    DWORD error = 0;
    // Room first, where the system allocates it: a full disk then fails before any byte changed.
    if (static_cast<LONGLONG>(bytes.size()) > size.QuadPart) {
        error = setSize(h, bytes.size());
        if (error)
            setSize(h, static_cast<size_t>(size.QuadPart));
    }
    if (!error) {
        LARGE_INTEGER start{};
        if (!SetFilePointerEx(h, start, nullptr, FILE_BEGIN))
            error = GetLastError();
    }
    if (!error)
        error = writeAll(h, bytes);
    if (!error)
        error = setSize(h, bytes.size());
    if (!error && !FlushFileBuffers(h))
        error = GetLastError();
    CloseHandle(h);
    return error;
}

DWORD copyAttributes(const std::wstring& from, const std::wstring& to) {
    constexpr DWORD kept =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    const DWORD a = GetFileAttributesW(longPath(from).c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    const DWORD set = a & kept ? a & kept : FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(longPath(to).c_str(), set) ? 0 : GetLastError();
}

DWORD linkOrCopy(const std::wstring& path, const std::wstring& second) {
    const std::wstring from = longPath(path), to = longPath(second);
    if (CreateHardLinkW(to.c_str(), from.c_str(), nullptr))
        return 0;
    if (!CopyFileW(from.c_str(), to.c_str(), TRUE))
        return GetLastError();
    const DWORD error = copyAttributes(path, second);
    if (error)
        removeFile(second);
    return error;
}

bool canWrite(const std::wstring& path) {
    HANDLE h = CreateFileW(longPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

std::wstring workName(const std::wstring& stem, std::wstring_view ext) {
    static std::atomic<unsigned> counter{0};
    return stem + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L"." +
           std::wstring(ext);
}

void removeWorkFiles(const std::wstring& stem, Owners owners) {
    const std::wstring folder = folderOf(stem), prefix = nameOf(stem);
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW(longPath(stem + L"*").c_str(), &d);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring_view name = d.cFileName;
        // The search also matches short names: check the long one.
        if (name.size() <= prefix.size() || !sameName(name.substr(0, prefix.size()), prefix) ||
            (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        const std::optional<DWORD> owner = ownerOf(name.substr(prefix.size()));
        if (owner && (owners == Owners::Any || !running(*owner)))
            removeFile(folder + std::wstring(name));
    } while (FindNextFileW(h, &d));
    FindClose(h);
}

std::wstring besideName(const std::wstring& path, std::wstring_view ext) {
    return workName(path + L".zelq-", ext);
}

namespace {

std::wstring tempStem(const std::wstring& path) {
    const std::wstring folder = tempFolder();
    return folder.empty() ? folder : folder + L"zelq-" + pathKey(path) + L"-";
}

} // namespace

std::wstring tempName(const std::wstring& path) {
    const std::wstring stem = tempStem(path);
    if (stem.empty())
        return {};
    std::wstring name = workName(stem, L"tmp");
    return name.size() < MAX_PATH ? name : std::wstring();
}

void removeLeftovers(const std::wstring& path) {
    removeWorkFiles(path + L".zelq-", Owners::Ended);
    const std::wstring temp = tempStem(path);
    if (!temp.empty())
        removeWorkFiles(temp, Owners::Ended);
}

std::string toAnsi(std::wstring_view text) {
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring fromCodePage(UINT codePage, std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::wstring fromAnsi(std::string_view bytes) {
    return fromCodePage(CP_ACP, bytes);
}

} // namespace platform
