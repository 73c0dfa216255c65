#include "app/installer.h"

#include "platform/files.h"
#include "platform/report.h"
#include "settings/ini.h"

#include <windows.h>

#include <string>

namespace app {
namespace {

constexpr wchar_t kLibrary[] = L"dx8vb.dll";
constexpr wchar_t kTitle[] = L"Could Not Install";

bool isDriveRoot(std::wstring_view p) {
    return p.size() >= 3 && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z')) &&
           p[1] == L':' && p[2] == L'\\';
}

// "server\share..." with both names given.
bool isShare(std::wstring_view p) {
    const size_t slash = p.find(L'\\');
    return slash != 0 && slash != std::wstring_view::npos && slash + 1 < p.size() && p[slash + 1] != L'\\';
}

// "X:\...", "\\server\share..." or either behind "\\?\": a path that no current folder or drive
// completes.
bool isFullPath(std::wstring_view p) {
    if (p.starts_with(L"\\\\?\\UNC\\"))
        return isShare(p.substr(8));
    if (p.starts_with(L"\\\\?\\"))
        return isDriveRoot(p.substr(4));
    if (p.starts_with(L"\\\\"))
        return isShare(p.substr(2));
    return isDriveRoot(p);
}

// The library counts as installed whatever its attributes: a hidden or system copy is still there,
// and copying over it would fail at every start.
bool installed(const std::wstring& path) {
    return platform::exists(path) && !platform::isFolder(path);
}

// Installs "dx8vb.dll" when the game folder holds it and the system folder lacks it. A failing copy or
// registration start is reported and start-up goes on; only a user without the rights to install ends
// the program (the result is then false).
bool InstallDx8Component() {
    const std::wstring source = settings::appPath(L"\\dx8vb.dll");
    if (!platform::isNormalFile(source))
        return true;

    // A 32-bit program on 64-bit Windows belongs with the 32-bit libraries in "syswow64".
    const std::wstring windows = windowsFolder();
    if (windows.empty())
        return true; // nowhere to install it
    const std::wstring systemFolder =
        windows + (platform::isFolder(windows + L"\\syswow64\\") ? L"\\syswow64\\" : L"\\system32\\");
    const std::wstring target = systemFolder + kLibrary;
    if (installed(target))
        return true;

    if (!platform::sys().isUserAdmin()) {
        report::info(nullptr, L"Need Admin Rights",
                     L"Please right-click me and run as Administrator so I can install some files.",
                     platform::Icon::Critical);
        platform::sys().endProgram();
        return false;
    }

    if (!CopyFileW(platform::longPath(source).c_str(), platform::longPath(target).c_str(), TRUE)) {
        const DWORD error = GetLastError();
        // A copy that broke off must not pass for an installed library at the next start.
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            DeleteFileW(platform::longPath(target).c_str());
        report::fileError(
            nullptr, kTitle, L"The library dx8vb.dll could not be copied into the system folder:", target,
            error,
            L"The settings can still be edited. The installation will be tried again at the next "
            L"start.");
        return true;
    }

    // The tool from the same system folder, never by its bare name: that would be looked for in the
    // game folder first and run there with administrator rights.
    const std::wstring tool = systemFolder + L"regsvr32.exe";
    if (const DWORD error =
            platform::sys().start(tool, L"\"" + tool + L"\" \"" + target + L"\"", SW_SHOWMINIMIZED)) {
        // Unregistered, the copy would only stop every later start from trying again.
        DeleteFileW(platform::longPath(target).c_str());
        report::fileError(
            nullptr, kTitle, L"The registration tool for dx8vb.dll could not be started:", tool, error,
            L"The library was not installed. The settings can still be edited. The installation "
            L"will be tried again at the next start.");
    }
    return true;
}

} // namespace

std::wstring windowsFolder() {
    std::wstring folder = platform::sys().environment(L"windir").value_or(L"");
    if (!isFullPath(folder)) {
        wchar_t buffer[MAX_PATH];
        const UINT n = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
        folder.assign(buffer, n < MAX_PATH ? n : 0);
        if (n >= MAX_PATH) {
            folder.resize(n);
            folder.resize(GetSystemWindowsDirectoryW(folder.data(), n));
        }
        if (!isFullPath(folder))
            return {};
    }
    // Without its trailing backslash, "C:\" too: the folders below are added with theirs.
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

bool InstallPrerequisites() {
    return InstallDx8Component();
}

} // namespace app
