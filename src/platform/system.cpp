#include "platform/system.h"

#include <vector>

namespace platform {
namespace {

using IsUserAnAdminFn = BOOL(WINAPI*)();

class RealSystem final : public System {
public:
    void message(HWND owner, std::wstring_view text, std::wstring_view title, Icon icon) override {
        UINT flags = MB_OK;
        if (icon == Icon::Information)
            flags |= MB_ICONINFORMATION;
        else if (icon == Icon::Critical)
            flags |= MB_ICONERROR;
        MessageBoxW(owner, std::wstring(text).c_str(), std::wstring(title).c_str(), flags);
    }

    void endProgram() override { ExitProcess(0); }

    DWORD start(const std::wstring& application, const std::wstring& commandLine, int showCommand) override {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(showCommand);
        PROCESS_INFORMATION pi{};
        std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
        line.push_back(L'\0');
        if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), line.data(), nullptr,
                            nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return GetLastError();
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return 0;
    }

    bool isUserAdmin() override {
        // Imported by ordinal: older shells do not export the name.
        HMODULE shell = LoadLibraryW(L"shell32.dll");
        if (!shell)
            return false;
        auto fn = reinterpret_cast<IsUserAnAdminFn>(
            reinterpret_cast<void*>(GetProcAddress(shell, MAKEINTRESOURCEA(680))));
        return fn && (fn() & 0xFFFF) != 0;
    }

    std::optional<std::wstring> environment(std::wstring_view name) override {
        const std::wstring n(name);
        SetLastError(0);
        DWORD size = GetEnvironmentVariableW(n.c_str(), nullptr, 0);
        if (size == 0)
            return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt : std::optional<std::wstring>(L"");
        std::wstring value(size, L'\0');
        size = GetEnvironmentVariableW(n.c_str(), value.data(), size);
        value.resize(size);
        return value;
    }
};

RealSystem realSystem;
System* current = &realSystem;

} // namespace

System& sys() {
    return *current;
}

void install(System* replacement) {
    current = replacement ? replacement : &realSystem;
}

std::wstring errorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        text = L"Unknown error";
    return text + L" (error " + std::to_wstring(code) + L")";
}

} // namespace platform
