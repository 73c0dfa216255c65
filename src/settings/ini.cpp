#include "settings/ini.h"

#include "platform/files.h"

#include <vector>

namespace settings {

int16_t gUseOverlay = 0;

namespace {

std::wstring& folder() {
    static std::wstring value;
    return value;
}

std::wstring exePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size())
            return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2); // folders deeper than MAX_PATH
    }
}

} // namespace

const std::wstring& appFolder() {
    if (folder().empty())
        setAppFolder(platform::folderOf(exePath()));
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

ProfileReader::ProfileReader(const std::wstring& fileName) {
    if (fileName.size() < MAX_PATH) {
        read_ = fileName;
        return;
    }
    std::string bytes;
    copy_ = platform::tempName(fileName);
    if (!copy_.empty() && platform::readFile(fileName, bytes) == 0 &&
        platform::createFile(copy_, bytes, false) == 0)
        read_ = copy_;
}

ProfileReader::~ProfileReader() {
    if (!copy_.empty())
        DeleteFileW(copy_.c_str());
}

std::wstring ProfileReader::value(std::wstring_view section, std::wstring_view keyName) const {
    if (read_.empty())
        return {};
    const std::wstring s(section), k(keyName);
    // The reader returns size - 1 when the value does not fit: grow until it does.
    std::vector<wchar_t> buffer(256);
    DWORD n = 0;
    for (;;) {
        n = GetPrivateProfileStringW(s.c_str(), k.c_str(), L"", buffer.data(),
                                     static_cast<DWORD>(buffer.size()), read_.c_str());
        if (n + 1 < buffer.size() || buffer.size() >= (1u << 24))
            break;
        buffer.resize(buffer.size() * 4);
    }
    return std::wstring(buffer.data(), n);
}

std::wstring ReadIni(const ProfileReader& file, std::wstring_view section, std::wstring_view keyName,
                     bool zeroIfMissing) {
    std::wstring value = file.value(section, keyName);
    if (value.empty())
        return zeroIfMissing ? L"0" : L"";
    return value;
}

std::wstring ReadIni(const std::wstring& fileName, std::wstring_view section, std::wstring_view keyName,
                     bool zeroIfMissing) {
    return ReadIni(ProfileReader(fileName), section, keyName, zeroIfMissing);
}

} // namespace settings
