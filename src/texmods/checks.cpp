// Before any file changes: the plan read from the mod folder, and everything that can be known to
// fail refused.
#include "platform/files.h"
#include "platform/names.h"
#include "texmods/wording.h"
#include "texmods/work.h"

#include <map>

namespace texmods {
namespace {

FileState inspect(const std::wstring& path) {
    FileState s;
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (GetFileAttributesExW(platform::longPath(path).c_str(), GetFileExInfoStandard, &d)) {
        s.exists = true;
        s.attributes = d.dwFileAttributes;
        s.bytes = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    }
    return s;
}

uint64_t clusterOf(const std::wstring& folder) {
    wchar_t root[MAX_PATH + 1];
    DWORD perCluster = 0, sectorBytes = 0, freeClusters = 0, clusters = 0;
    if (GetVolumePathNameW(platform::longPath(folder).c_str(), root, MAX_PATH + 1) &&
        GetDiskFreeSpaceW(root, &perCluster, &sectorBytes, &freeClusters, &clusters) && perCluster &&
        sectorBytes)
        return static_cast<uint64_t>(perCluster) * sectorBytes;
    return 4096;
}

// Whether each folder of the game exists, asked of the system once. Folders are kept by their path
// as written, which can only miss a match, never make a false one.
using Folders = std::map<std::wstring, bool>;

bool folderExists(Folders& known, const std::wstring& path) {
    auto [it, fresh] = known.try_emplace(path);
    if (fresh)
        it->second = platform::isFolder(path);
    return it->second;
}

// Checks one step's files, and adds what the step takes to `space`.
Outcome checkStep(Work& w, size_t i, Folders& folders, std::vector<SpaceStep>& space) {
    const std::wstring target = w.target(i), backup = w.backup(i);
    auto stop = [&](Unchanged why, const std::wstring& file, DWORD error) {
        return unchanged(why, w.install, file, error, w.modName(i));
    };
    Before& b = w.before[i];
    b.backup = inspect(backup);
    if (b.backup.exists && (b.backup.attributes & FILE_ATTRIBUTE_DIRECTORY))
        return stop(Unchanged::BackupIsFolder, backup, ERROR_ACCESS_DENIED);
    if (!w.acts(i))
        return {};
    // The program creates no folder: every one the run needs must be there.
    const std::wstring folder = platform::folderOf(target);
    if (!folderExists(folders, folder))
        return stop(Unchanged::NoGameFolder, folder, ERROR_PATH_NOT_FOUND);
    b.target = inspect(target);
    if (b.target.exists && (b.target.attributes & FILE_ATTRIBUTE_DIRECTORY))
        return stop(Unchanged::TargetIsFolder, target, ERROR_ACCESS_DENIED);
    if (b.target.exists && (b.target.attributes & FILE_ATTRIBUTE_READONLY))
        return stop(Unchanged::TargetReadOnly, target, ERROR_ACCESS_DENIED);
    space.push_back({w.install ? w.files[w.plan.steps[i].mod].bytes : b.backup.bytes,
                     b.target.exists ? platform::nameKey(target) : std::wstring(), b.target.bytes,
                     b.backup.exists});
    return {};
}

} // namespace

Outcome plan(Work& w) {
    std::wstring list;
    if (const DWORD error = readMod(w.mods, w.files, list)) {
        if (list.empty())
            return unchanged(Unchanged::ModFolderUnread, w.install, w.mods, error);
        return unchanged(Unchanged::ListUnread, w.install, list, error);
    }
    w.plan = makePlan(w.files, platform::sameName);
    if (w.plan.refusal)
        return targetRefused(w.install, *w.plan.refusal);
    return {};
}

Outcome check(Work& w) {
    const size_t n = w.plan.steps.size();
    w.before.assign(n, {});
    if (w.install && n > 0 && !platform::isFolder(w.backups))
        return unchanged(Unchanged::NoBackupFolder, w.install, w.backups, ERROR_PATH_NOT_FOUND);
    Folders folders;
    std::vector<SpaceStep> space;
    for (size_t i = 0; i < n; ++i) {
        Outcome o = checkStep(w, i, folders, space);
        if (o.kind != Outcome::Kind::Done)
            return o;
    }
    const uint64_t needed = spaceNeeded(space, w.install, clusterOf(w.game));
    ULARGE_INTEGER available;
    if (needed > 0 && GetDiskFreeSpaceExW(platform::longPath(w.game).c_str(), &available, nullptr, nullptr) &&
        needed > available.QuadPart)
        return notEnoughSpace(w.install, needed, available.QuadPart);
    return {};
}

} // namespace texmods
