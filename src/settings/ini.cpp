#include "settings/ini.h"

#include <vector>

namespace settings {

int16_t gUseOverlay = 0;

namespace {

std::wstring& folder() {
    static std::wstring value;
    return value;
}

std::wstring exeFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            std::wstring path(buffer.data(), n);
            const size_t slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2); // folders deeper than MAX_PATH
    }
}

} // namespace

const std::wstring& appFolder() {
    if (folder().empty())
        folder() = exeFolder();
    return folder();
}

void setAppFolder(std::wstring value) {
    while (!value.empty() && (value.back() == L'\\' || value.back() == L'/'))
        value.pop_back();
    folder() = std::move(value);
}

std::wstring appPath(std::wstring_view relative) {
    return appFolder() + std::wstring(relative);
}

std::wstring settingsFile(std::wstring_view name) {
    return appFolder() + L"\\zelqcfg\\" + std::wstring(name);
}

std::wstring ReadIni(const std::wstring& fileName, std::wstring_view section, std::wstring_view keyName,
                     bool zeroIfMissing) {
    const std::wstring s(section), k(keyName);
    // The reader returns size - 1 when the value does not fit: grow until it does.
    std::vector<wchar_t> buffer(256);
    DWORD n = 0;
    for (;;) {
        n = GetPrivateProfileStringW(s.c_str(), k.c_str(), L"", buffer.data(),
                                     static_cast<DWORD>(buffer.size()), fileName.c_str());
        if (n + 1 < buffer.size() || buffer.size() >= (1u << 24))
            break;
        buffer.resize(buffer.size() * 4);
    }
    if (n == 0)
        return zeroIfMissing ? L"0" : L"";
    return std::wstring(buffer.data(), n);
}

DWORD WriteIni(const std::wstring& fileName, std::wstring_view section, std::wstring_view keyName,
               std::wstring_view value) {
    // The system refuses a read-only file on Windows; the same holds here whoever runs the program.
    const DWORD attributes = GetFileAttributesW(fileName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return ERROR_ACCESS_DENIED;
    const std::wstring s(section), k(keyName), v(value);
    SetLastError(0);
    if (WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), fileName.c_str()))
        return 0;
    const DWORD error = GetLastError();
    return error ? error : ERROR_WRITE_FAULT;
}

} // namespace settings
