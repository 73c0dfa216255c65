#pragma once
// One run of an install or uninstall as its stages hand it on: planned from the mod folder,
// checked against the disk (checks.cpp), then carried out one step at a time (steps.cpp).
#include "texmods/plan.h"
#include "texmods/texmods.h"

#include <cstdint>
#include <string>
#include <vector>

namespace texmods {

// A file as the file system finds it by its path, so that a name that differs only in the case of
// any letter finds the same file a rename or a copy reaches.
struct FileState {
    bool exists = false;
    DWORD attributes = 0;
    uint64_t bytes = 0;
};

// One step's files as the checks found them before the run.
struct Before {
    FileState target; // only for a step that acts
    FileState backup;
};

struct Work {
    bool install = true;
    std::wstring game, mods, backups; // each with a trailing backslash
    std::vector<ModFile> files;
    Plan plan;
    std::vector<Before> before; // one for each step of the plan

    std::wstring target(size_t i) const { return game + plan.steps[i].target; }
    std::wstring backup(size_t i) const { return backups + plan.steps[i].backup; }
    std::wstring source(size_t i) const { return mods + files[plan.steps[i].mod].name; }
    const std::wstring& modName(size_t i) const { return files[plan.steps[i].mod].name; }
    // Uninstall restores only what has a backup; install handles every target.
    bool acts(size_t i) const { return install || before[i].backup.exists; }
};

// Where the run keeps its work files: the folder above the backup folder, on the game's volume and
// small, so quick to search.
std::wstring workStem(const Work& w);

// Reads the mod folder and its target list files into the plan.
Outcome plan(Work& w);
// Refuses, before any file changes, what can be known to fail.
Outcome check(Work& w);
// Carries out the plan one step at a time, each undone if it fails.
Outcome execute(const Work& w, const Progress& progress);

} // namespace texmods
