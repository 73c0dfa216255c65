#pragma once
// Saving settings files so that nothing is ever lost: a save of one or more files writes every
// file or none. Each file's new text is made in a copy (keys through the system's profile writer,
// so the bytes are what it would have written in place), checked, flushed, and then replaces the
// file in one step. A lock named after each file keeps two windows or two copies of the program
// from undoing each other's saves.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

struct KeyValue {
    std::wstring section, key, value;
};

// One file's part of a save: keys for the profile writer, or the file's whole new text.
struct FileChange {
    std::wstring path;
    std::vector<KeyValue> keys = {};
    std::optional<std::string> text = {};
};

// Why a save failed and where it left the files.
struct SaveFailure {
    std::wstring file; // the file that could not be written
    DWORD error = 0;   // the system's reason
    // Files that hold the new settings all the same: they could not be put back as they were.
    std::vector<std::wstring> kept = {};
    // `file` was being written in place (its folder takes no new file) and could not be put back.
    bool damaged = false;
};

// Writes every change or, on failure, none. The changes of one file must be given together.
std::optional<SaveFailure> writeFiles(const std::vector<FileChange>& changes);

// Writes the changes; on failure tells the user which file failed, why, and what state every
// file is in, and returns false.
bool saveFiles(HWND owner, const std::vector<FileChange>& changes);

// Writes one key, creating the file, section and key as needed, as one save of its own. Returns 0,
// or the system's error code when the value was not stored (no folder, a read-only file, a file held
// open by another program); the file is then as it was. The settings folder is never created.
DWORD WriteIni(const std::wstring& fileName, std::wstring_view section, std::wstring_view keyName,
               std::wstring_view value);

} // namespace settings
