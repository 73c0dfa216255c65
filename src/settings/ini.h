#pragma once
// Settings access: the program's files in the application folder and the settings folder, read
// key by key through the system's private profile functions (settings/save.h writes them).
#include <cstdint>
#include <string>
#include <string_view>

namespace settings {

// The folder that holds the executable (the game's folder), without a trailing backslash.
const std::wstring& appFolder();
// Tests point the program at a folder of their own.
void setAppFolder(std::wstring folder);
// The application folder followed by a relative path that begins with a backslash.
std::wstring appPath(std::wstring_view relative);
// A file of the settings folder "\zelqcfg\".
std::wstring settingsFile(std::wstring_view name);

// Reads keys of one file through the system's profile reader. A path too long for the reader
// (MAX_PATH characters or more) is read from a copy under the temporary folder, made once here
// and removed at the end.
class ProfileReader {
public:
    explicit ProfileReader(const std::wstring& fileName);
    ~ProfileReader();
    ProfileReader(const ProfileReader&) = delete;
    ProfileReader& operator=(const ProfileReader&) = delete;

    // The value as the reader gives it, whole however long; empty for a missing key or file.
    std::wstring value(std::wstring_view section, std::wstring_view keyName) const;

private:
    std::wstring read_; // what the reader opens: the file, its copy, or nothing
    std::wstring copy_; // the copy to remove
};

// The value of a key, whole however long. A missing file, section or key, or an empty value,
// gives "0" when zeroIfMissing is set, else the empty text.
std::wstring ReadIni(const std::wstring& fileName, std::wstring_view section, std::wstring_view keyName,
                     bool zeroIfMissing);
std::wstring ReadIni(const ProfileReader& file, std::wstring_view section, std::wstring_view keyName,
                     bool zeroIfMissing);

// The program-wide overlay flag: 1 forces windowed mode on in the game's file.
extern int16_t gUseOverlay;

} // namespace settings
