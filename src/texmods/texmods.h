#pragma once
// Installing and uninstalling a texture mod: the plan (texmods/plan.h) worked out from the mod
// folder, checked against the disk, then carried out one file at a time. One run at a time per
// game folder, across every copy of the program.
#include "texmods/plan.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace texmods {

enum class Operation { Install, Uninstall };

// The mod root and the backup folder of a game folder, each with a trailing backslash.
std::wstring modRoot(const std::wstring& gameFolder);
std::wstring backupFolder(const std::wstring& gameFolder);

// The subfolders of a folder (full paths) in ascending order of name. Returns 0 or the system's error.
DWORD listFolders(const std::wstring& folder, std::vector<std::wstring>& paths);

// The mod files of a mod's folder (with its trailing backslash), neither hidden nor system, in
// ascending order, with their sizes and target lists. Returns 0 or the system's error; `failedList`
// names the target list that could not be read, and stays empty when the folder could not be listed.
DWORD readMod(const std::wstring& folder, std::vector<ModFile>& files, std::wstring& failedList);

// How a run ended. Refused and Failed runs carry what the user must be told.
struct Outcome {
    enum class Kind { Done, Refused, Failed } kind = Kind::Done;
    std::wstring what;   // Failed: the operation that failed; Refused: the whole explanation
    std::wstring file;   // Failed: the file or folder concerned
    DWORD error = 0;     // Failed: the system's reason
    std::wstring detail; // Failed: where things stand now
    size_t steps = 0;    // copy steps the run had
};

struct Progress {
    std::function<void(size_t done, size_t total)> step; // after each step, and once before the first
    std::function<void()> idle;                          // now and then during a long copy
};

Outcome run(Operation op, const std::wstring& gameFolder, const std::wstring& modFolder,
            const Progress& progress = {});

} // namespace texmods
