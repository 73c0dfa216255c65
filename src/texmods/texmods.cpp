#include "texmods/texmods.h"

#include "platform/files.h"
#include "platform/lock.h"
#include "platform/names.h"
#include "texmods/wording.h"
#include "texmods/work.h"

#include <map>
#include <set>

namespace texmods {
namespace {

// Calls `each` for every entry of a folder but "." and "..". Returns 0 or the system's error.
template <class Each> DWORD listFolder(const std::wstring& folder, Each each) {
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileExW(platform::longPath(platform::withSlash(folder) + L"*").c_str(),
                                FindExInfoBasic, &d, FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error;
    }
    do {
        const std::wstring_view name = d.cFileName;
        if (name != L"." && name != L"..")
            each(d);
    } while (FindNextFileW(h, &d));
    const DWORD error = GetLastError();
    FindClose(h);
    return error == ERROR_NO_MORE_FILES ? 0 : error;
}

// Work files left by a run that was killed: this run holds the game folder's lock, so no live run
// owns any. Earlier versions named theirs "^zelq-<process>-<run>-<n>.tmp", which the stem matches
// too, and "^zelq-partial.tmp".
void removeLeftovers(const Work& w) {
    platform::removeWorkFiles(workStem(w), platform::Owners::Any);
    platform::removeFile(workStem(w) + L"partial.tmp");
}

} // namespace

std::wstring modRoot(const std::wstring& gameFolder) {
    return platform::withSlash(gameFolder) + L"zelqcfg\\texpacks\\texmods\\";
}
std::wstring backupFolder(const std::wstring& gameFolder) {
    return platform::withSlash(gameFolder) + L"zelqcfg\\texpacks\\original\\";
}

DWORD listFolders(const std::wstring& folder, std::vector<std::wstring>& paths) {
    std::vector<std::wstring> names;
    const DWORD error = listFolder(folder, [&](const WIN32_FIND_DATAW& d) {
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            names.emplace_back(d.cFileName);
    });
    sortNames(names);
    paths.clear();
    for (const std::wstring& name : names)
        paths.push_back(platform::withSlash(folder) + name);
    return error;
}

DWORD readMod(const std::wstring& folder, std::vector<ModFile>& files, std::wstring& failedList) {
    std::vector<std::wstring> names;        // "*.sz", neither hidden nor system
    std::map<std::wstring, uint64_t> sizes; // of each of them
    std::set<std::wstring> all;             // every file's name, by platform::nameKey
    const DWORD error = listFolder(folder, [&](const WIN32_FIND_DATAW& d) {
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return;
        all.insert(platform::nameKey(d.cFileName));
        if (!(d.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
            isModFileName(d.cFileName)) {
            names.emplace_back(d.cFileName);
            sizes[d.cFileName] = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
        }
    });
    if (error)
        return error;
    sortNames(names);
    for (const std::wstring& name : names) {
        ModFile f{name, false, std::nullopt, sizes[name]};
        if (all.count(platform::nameKey(name + L".txt"))) {
            const std::wstring list = folder + name + L".txt";
            f.hasList = true;
            std::string bytes;
            if (const DWORD e = platform::readFile(list, bytes)) {
                failedList = list;
                return e;
            }
            if (auto line = firstLine(bytes))
                f.firstLine = platform::fromAnsi(*line);
        }
        files.push_back(std::move(f));
    }
    return 0;
}

Outcome run(Operation op, const std::wstring& gameFolder, const std::wstring& modFolder,
            const Progress& progress) {
    Work w;
    w.install = op == Operation::Install;
    w.game = platform::withSlash(gameFolder);
    w.mods = platform::withSlash(modFolder);
    w.backups = backupFolder(gameFolder);

    // One run at a time per game folder, in this and every other copy of the program.
    platform::PathLock lock(L"texmods", w.game);
    if (!lock.acquire(0)) {
        if (lock.error() == ERROR_TIMEOUT)
            return anotherRun(w.install);
        return unchanged(Unchanged::NotReserved, w.install, w.game, lock.error());
    }
    removeLeftovers(w);

    Outcome o = plan(w);
    if (o.kind == Outcome::Kind::Done)
        o = check(w);
    if (o.kind == Outcome::Kind::Done)
        o = execute(w, progress);
    return o;
}

} // namespace texmods
