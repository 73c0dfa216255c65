#pragma once
// The sentences a run that does not complete ends with: each says what failed, where the files
// stand now, and what the user can do.
#include "texmods/work.h"

#include <string_view>

namespace texmods {

// Why a run stopped before it changed any file.
enum class Unchanged {
    NotReserved,     // the game folder could not be reserved for the run
    ModFolderUnread, // the mod folder could not be listed
    ListUnread,      // a target list file could not be read
    NoBackupFolder,
    BackupIsFolder, // from here on, each concerns one step's files, named by its mod file
    NoGameFolder,
    TargetIsFolder,
    TargetReadOnly,
};
Outcome unchanged(Unchanged why, bool install, std::wstring file, DWORD error,
                  std::wstring_view modFile = {});
Outcome anotherRun(bool install);
Outcome notEnoughSpace(bool install, uint64_t needed, uint64_t available);
Outcome targetRefused(bool install, const Refusal& refusal);

// What a step was doing when it failed.
enum class Action { CopyIn, Save, Aside, PutInPlace };
// How it left the step's game file.
enum class Left {
    AsItWas,                // the step changed nothing, or undid what it did
    PutBack,                // it moved the file back where it was
    GameFileInBackup,       // the game's file, moved into the backup folder, could not be moved back
    ModFileAside,           // the mod's file that was there could not be moved back; the game's is saved
    ModFileAsideNoGameFile, // the same, and the game has no file of its own there
};
struct StepFailure {
    Action action;
    DWORD error;
    Left left = Left::AsItWas;
    std::wstring aside = {}; // ModFileAside...: the work file that holds the mod's file
};
Outcome stepFailed(const Work& w, size_t i, const StepFailure& f);

} // namespace texmods
