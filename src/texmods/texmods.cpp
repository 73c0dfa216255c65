#include "texmods/texmods.h"

#include "platform/files.h"
#include "platform/lock.h"
#include "platform/system.h"
#include "texmods/plan.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <optional>

namespace texmods {
namespace {

// Work files: a run copies into these and then renames them into place, so that no game file is
// ever half written. They are kept in the folder above the backup folder, on the game's volume
// and small, so quick to search.
constexpr std::wstring_view kWorkPrefix = L"^zelq-", kWorkSuffix = L".tmp";
const wchar_t* const kNothing = L"Nothing was changed.";

std::wstring withSlash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

std::wstring longPath(const std::wstring& path) {
    return platform::longPath(path);
}

// Calls `each` for every entry of a folder matching `pattern` but "." and "..". Returns 0 or the
// system's error.
template <class Each> DWORD listFolder(const std::wstring& folder, Each each, const wchar_t* pattern = L"*") {
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileExW(longPath(withSlash(folder) + pattern).c_str(), FindExInfoBasic, &d,
                                FindExSearchNameMatch, nullptr, 0);
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

std::wstring folderOf(const std::wstring& path) {
    return path.substr(0, path.rfind(L'\\'));
}

std::wstring workFolder(const std::wstring& backups) {
    return folderOf(folderOf(backups)) + L"\\";
}

uint64_t bytesOf(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

DWORD moveFile(const std::wstring& from, const std::wstring& to) {
    // Never replaces: a rename onto an existing name fails, so no backup is ever overwritten.
    return MoveFileExW(longPath(from).c_str(), longPath(to).c_str(), 0) ? 0 : GetLastError();
}

void removeWorkFile(const std::wstring& path) {
    SetFileAttributesW(longPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(longPath(path).c_str());
}

// A file as the file system finds it by its path, so that a name that differs only in the case of
// any letter finds the same file a rename or a copy reaches.
struct FileState {
    bool exists = false;
    DWORD attributes = 0;
    uint64_t bytes = 0;
};

FileState inspect(const std::wstring& path) {
    FileState s;
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (GetFileAttributesExW(longPath(path).c_str(), GetFileExInfoStandard, &d)) {
        s.exists = true;
        s.attributes = d.dwFileAttributes;
        s.bytes = bytesOf(d.nFileSizeHigh, d.nFileSizeLow);
    }
    return s;
}

// A path as the file system compares names: upper case by the system's table, in any script.
std::wstring folded(const std::wstring& path) {
    std::wstring out(path.size(), L'\0');
    const int n =
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.data(), static_cast<int>(path.size()),
                      out.data(), static_cast<int>(out.size()), nullptr, nullptr, 0);
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return n > 0 ? out : path;
}

// ---- Wording ----------------------------------------------------------------------------------

Outcome refused(std::wstring text) {
    Outcome o;
    o.kind = Outcome::Kind::Refused;
    o.what = std::move(text);
    return o;
}

Outcome failed(std::wstring what, std::wstring file, DWORD error, std::wstring detail) {
    return Outcome{Outcome::Kind::Failed, std::move(what), std::move(file), error, std::move(detail)};
}

const wchar_t* verb(bool install) {
    return install ? L"installed" : L"uninstalled";
}

std::wstring count(size_t n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

Outcome anotherRun(bool install) {
    return refused(std::wstring(L"The texture mod cannot be ") + verb(install) +
                   L" now: another install or uninstall of texture mods is running in this game folder, "
                   L"in another copy of the program. Wait until it has finished, then try again.\r\n\r\n" +
                   kNothing);
}

Outcome notEnoughSpace(bool install, uint64_t needed, uint64_t available) {
    return refused(std::wstring(L"The texture mod cannot be ") + verb(install) +
                   L": there is not enough free space on the game folder's drive. The " +
                   (install ? L"install" : L"uninstall") + L" needs " + sizeText(needed) + L", and " +
                   sizeText(available) + L" " + (available == 1 ? L"is" : L"are") +
                   L" free. Make room on the drive, then try again.\r\n\r\n" + kNothing);
}

// What one step did before it failed, and so what a failure message must say.
enum class Action { CopyIn, Save, Aside, PutInPlace };
enum class Left {
    AsItWas,          // the step changed nothing, or undid what it did
    PutBack,          // it moved the file back where it was
    GameFileInBackup, // the game's file, moved into the backup folder, could not be moved back
    ModFileAside,     // the mod's file that was there could not be moved back
};
struct StepFailure {
    StepFailure(Action a, DWORD e) : action(a), error(e) {}
    Action action;
    DWORD error;
    Left left = Left::AsItWas;
    std::wstring aside; // ModFileAside: the work file that holds it
};

// ---- A run ------------------------------------------------------------------------------------

// What the planning and the checks found, for the steps to use.
struct Work {
    bool install = true;
    std::wstring game, mods, backups;
    std::vector<ModFile> files;
    std::vector<uint64_t> sizes; // of each mod file
    Plan plan;
    std::vector<FileState> targets; // before the run, for every step that acts
    std::vector<bool> backedUp;     // the backup existed before the run
    std::vector<uint64_t> backupBytes;

    std::wstring target(size_t i) const { return game + plan.steps[i].target; }
    std::wstring backup(size_t i) const { return backups + plan.steps[i].backup; }
    std::wstring source(size_t i) const { return mods + files[plan.steps[i].mod].name; }
    const std::wstring& modName(size_t i) const { return files[plan.steps[i].mod].name; }
    // Uninstall restores only what has a backup; install handles every target.
    bool acts(size_t i) const { return install || backedUp[i]; }
};

Outcome stepFailed(const Work& w, size_t i, const StepFailure& f) {
    const Step& s = w.plan.steps[i];
    const std::wstring backupName = L"\"" + s.backup + L"\"";
    std::wstring what;
    switch (f.action) {
    case Action::CopyIn:
        what =
            w.install
                ? L"The mod file \"" + w.modName(i) + L"\" could not be copied to replace this game file:"
                : L"The saved game file " + backupName + L" could not be copied to restore this game file:";
        break;
    case Action::Save:
        what = L"This game file could not be moved into the backup folder as " + backupName + L":";
        break;
    case Action::Aside:
        what = std::wstring(L"This game file could not be moved aside to make room for ") +
               (w.install ? L"the mod's file:" : L"the saved game file:");
        break;
    case Action::PutInPlace:
        what = w.install ? L"The mod's file could not be put in place of this game file:"
                         : L"The saved game file could not be put back in place of this game file:";
        break;
    }

    std::wstring detail;
    switch (f.left) {
    case Left::AsItWas:
        detail = L"This file is as it was. ";
        break;
    case Left::PutBack:
        detail = L"This file was put back as it was. ";
        break;
    case Left::GameFileInBackup:
        detail = L"This file is missing: the game's own file could not be moved back from the backup folder, "
                 L"where it is saved as " +
                 backupName + L"; Uninstall puts it back. ";
        break;
    case Left::ModFileAside:
        detail = L"This file is missing: the texture mod's file that was there could not be moved back, and "
                 L"is kept as \"" +
                 f.aside + L"\" until the next install or uninstall. ";
        if (GetFileAttributesW(longPath(w.backup(i)).c_str()) != INVALID_FILE_ATTRIBUTES)
            detail += L"The game's own file is saved in the backup folder as " + backupName + L"; " +
                      (w.install ? L"Uninstall puts it back. " : L"press Uninstall again to restore it. ");
        else
            detail += L"The game has no file of its own there. ";
        break;
    }

    const size_t doneOfThis = static_cast<size_t>(
        std::count_if(w.plan.steps.begin(), w.plan.steps.begin() + static_cast<std::ptrdiff_t>(i),
                      [&](const Step& earlier) { return earlier.mod == s.mod; }));
    detail += std::wstring(w.install ? L"The install" : L"The uninstall") + L" stopped at mod file " +
              std::to_wstring(s.mod + 1) + L" of " + std::to_wstring(w.files.size()) + L", \"" +
              w.modName(i) + L"\": " + count(s.mod, L"mod file", L"mod files") + L" before it " +
              (s.mod == 1 ? L"was " : L"were ") + verb(w.install);
    if (doneOfThis)
        detail += L", and this one had reached " + count(doneOfThis, L"of its targets", L"of its targets");
    detail += L"; the rest was not touched. ";
    const bool whole = f.left == Left::AsItWas || f.left == Left::PutBack;
    if (w.install)
        detail +=
            whole ? L"Every game file is whole: each holds the game's own file or a mod's file, and the "
                    L"game's own files that were replaced are saved in the backup folder, where Uninstall "
                    L"finds them."
                  : L"Every other game file is whole, and the game's own files that were replaced are "
                    L"saved in the backup folder, where Uninstall finds them.";
    else
        detail += std::wstring(whole ? L"Every game file is whole: " : L"Every other game file is whole: ") +
                  L"those not yet restored still hold the mod's files, and the saved game files all remain "
                  L"in the backup folder: correct the problem and press Uninstall again.";
    Outcome o = failed(std::move(what), w.target(i), f.error, std::move(detail));
    o.steps = w.plan.steps.size();
    return o;
}

// ---- Planning: which mod file goes where, from the folder listing and the target list files ----

Outcome plan(Work& w) {
    ModListing listing;
    if (const DWORD error = listModFolder(w.mods, listing))
        return failed(L"The texture mod's folder could not be read:", w.mods, error, kNothing);
    w.sizes = std::move(listing.sizes);
    for (const std::wstring& name : listing.modFiles) {
        ModFile f{name, false, std::nullopt};
        const std::wstring list = w.mods + name + L".txt";
        if (listing.files.count(folded(name + L".txt"))) {
            f.hasList = true;
            std::string bytes;
            if (const DWORD error = platform::readFile(list, bytes))
                return failed(L"A target list file could not be read:", list, error, kNothing);
            if (auto line = firstLine(bytes))
                f.firstLine = platform::fromAnsi(*line);
        }
        w.files.push_back(std::move(f));
    }
    w.plan = makePlan(w.files);
    if (w.plan.refusal) {
        std::wstring text = std::wstring(L"The texture mod cannot be ") + verb(w.install) +
                            L". The mod file \"" + w.plan.refusal->modFile +
                            L"\" names a target that is not allowed";
        if (!w.plan.refusal->entry.empty())
            text += L", \"" + w.plan.refusal->entry + L"\"";
        return refused(text + L": " + w.plan.refusal->reason + L"\r\n\r\n" + kNothing);
    }
    return {};
}

// ---- Checks: everything that can be known to fail is refused before any file changes ----------

uint64_t clusterOf(const std::wstring& folder) {
    wchar_t root[MAX_PATH + 1];
    DWORD perCluster = 0, sectorBytes = 0, freeClusters = 0, clusters = 0;
    if (GetVolumePathNameW(longPath(folder).c_str(), root, MAX_PATH + 1) &&
        GetDiskFreeSpaceW(root, &perCluster, &sectorBytes, &freeClusters, &clusters) && perCluster &&
        sectorBytes)
        return static_cast<uint64_t>(perCluster) * sectorBytes;
    return 4096;
}

Outcome check(Work& w) {
    const size_t n = w.plan.steps.size();
    w.targets.assign(n, {});
    w.backedUp.assign(n, false);
    w.backupBytes.assign(n, 0);
    if (w.install && n > 0 && !platform::isFolder(w.backups))
        return failed(L"The backup folder, where the game's own files are saved, does not exist:", w.backups,
                      ERROR_PATH_NOT_FOUND, kNothing);

    // Every folder the run needs must be there: the program creates none. Known folders are kept
    // by their path as written, which can only miss a match, never make a false one.
    std::map<std::wstring, bool> folders;
    auto folderExists = [&](const std::wstring& path) {
        auto [it, fresh] = folders.try_emplace(path);
        if (fresh)
            it->second = platform::isFolder(path);
        return it->second;
    };
    std::vector<SpaceStep> space;
    for (size_t i = 0; i < n; ++i) {
        const std::wstring target = w.target(i), backup = w.backup(i);
        const std::wstring named = L"It is named by the mod file \"" + w.modName(i) + L"\". ";
        const FileState b = inspect(backup);
        if (b.exists && (b.attributes & FILE_ATTRIBUTE_DIRECTORY))
            return failed(L"The backup folder holds a folder where this game file's backup belongs:", backup,
                          ERROR_ACCESS_DENIED, named + kNothing);
        w.backedUp[i] = b.exists;
        w.backupBytes[i] = b.bytes;
        if (!w.acts(i))
            continue;
        if (!folderExists(folderOf(target)))
            return failed(L"A folder of the game that the texture mod needs does not exist:",
                          folderOf(target) + L"\\", ERROR_PATH_NOT_FOUND, named + kNothing);
        const FileState& t = w.targets[i] = inspect(target);
        if (t.exists && (t.attributes & FILE_ATTRIBUTE_DIRECTORY))
            return failed(L"A folder of the game stands where the texture mod puts a file:", target,
                          ERROR_ACCESS_DENIED, named + kNothing);
        if (t.exists && (t.attributes & FILE_ATTRIBUTE_READONLY))
            return failed(std::wstring(L"A game file that the texture mod ") +
                              (w.install ? L"replaces" : L"restores") + L" is read-only:",
                          target, ERROR_ACCESS_DENIED,
                          named + kNothing + L" Clear the file's read-only attribute, then try again.");
        space.push_back({w.install ? w.sizes[w.plan.steps[i].mod] : w.backupBytes[i],
                         t.exists ? folded(target) : std::wstring(), t.bytes, w.backedUp[i]});
    }

    const uint64_t needed = spaceNeeded(space, w.install, clusterOf(w.game));
    ULARGE_INTEGER available;
    if (needed > 0 && GetDiskFreeSpaceExW(longPath(w.game).c_str(), &available, nullptr, nullptr) &&
        needed > available.QuadPart)
        return notEnoughSpace(w.install, needed, available.QuadPart);
    return {};
}

// ---- Execution: one step at a time, each undone if it fails -----------------------------------

class Steps {
public:
    Steps(const Work& w, const Progress& progress) : w_(w), progress_(progress) {
        static std::atomic<unsigned> runs{0};
        prefix_ = workFolder(w.backups) + std::wstring(kWorkPrefix) + std::to_wstring(GetCurrentProcessId()) +
                  L"-" + std::to_wstring(++runs) + L"-";
    }

    // Install: the mod's file is copied in whole under a work name. The game's file, when it has
    // no backup yet, is moved into the backup folder and the copy renamed into its place; a file
    // saved already is replaced by the copy in one rename.
    std::optional<StepFailure> install(size_t i) {
        const std::wstring target = w_.target(i), backup = w_.backup(i);
        std::wstring fresh;
        if (const DWORD e = copyIn(w_.source(i), fresh))
            return StepFailure{Action::CopyIn, e};
        // Only a file that was there before the run can be the game's own. The move, which
        // never replaces, tells whether the backup exists, whatever the case of either name.
        if (!w_.targets[i].exists)
            return replace(i, fresh);
        const DWORD e = moveFile(target, backup);
        if (e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS || e == ERROR_FILE_NOT_FOUND)
            return replace(i, fresh); // saved already, or gone
        if (e) {
            removeWorkFile(fresh);
            return StepFailure{Action::Save, e};
        }
        // The target's name is free now.
        if (MoveFileExW(longPath(fresh).c_str(), longPath(target).c_str(), MOVEFILE_REPLACE_EXISTING))
            return std::nullopt;
        StepFailure f{Action::PutInPlace, GetLastError()};
        removeWorkFile(fresh);
        f.left = moveFile(backup, target) ? Left::GameFileInBackup : Left::PutBack;
        return f;
    }

    // Uninstall: the backup is copied in whole under a work name, then replaces the mod's file.
    std::optional<StepFailure> restore(size_t i) {
        std::wstring fresh;
        if (const DWORD e = copyIn(w_.backup(i), fresh))
            return StepFailure{Action::CopyIn, e};
        return replace(i, fresh);
    }

    void idle() {
        if (!progress_.idle)
            return;
        const ULONGLONG now = GetTickCount64();
        if (now - lastIdle_ >= 50) {
            lastIdle_ = now;
            progress_.idle();
        }
    }

private:
    static DWORD CALLBACK onChunk(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                                  HANDLE, HANDLE, LPVOID self) {
        static_cast<Steps*>(self)->idle();
        return PROGRESS_CONTINUE;
    }

    // Puts the work file `fresh` in the target's place, whatever is there: in one rename that
    // replaces it, so that the target is at every moment the old file or the new one. A hidden or
    // system file is first moved aside instead (Windows' rules for replacing those differ between
    // its calls), and moved back should the rename fail.
    std::optional<StepFailure> replace(size_t i, const std::wstring& fresh) {
        const std::wstring target = w_.target(i);
        if (!hidden(i)) {
            if (MoveFileExW(longPath(fresh).c_str(), longPath(target).c_str(), MOVEFILE_REPLACE_EXISTING))
                return std::nullopt;
            const DWORD e = GetLastError();
            removeWorkFile(fresh);
            return StepFailure{Action::PutInPlace, e};
        }
        std::wstring aside;
        const DWORD e = moveAside(target, aside);
        if (e && e != ERROR_FILE_NOT_FOUND) {
            removeWorkFile(fresh);
            return StepFailure{Action::Aside, e};
        }
        if (const DWORD put = moveFile(fresh, target)) {
            removeWorkFile(fresh);
            StepFailure f{Action::PutInPlace, put};
            if (!e)
                f.left = moveFile(aside, target) ? Left::ModFileAside : Left::PutBack;
            f.aside = aside;
            return f;
        }
        if (!e)
            removeWorkFile(aside);
        return std::nullopt;
    }

    bool hidden(size_t i) const {
        return w_.targets[i].attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    }
    // A work file name no other run uses; a name left over from a run that was killed is skipped.
    template <class Make> DWORD intoWorkFile(std::wstring& name, Make make) {
        for (int attempt = 0;; ++attempt) {
            name = prefix_ + std::to_wstring(next_++) + std::wstring(kWorkSuffix);
            const DWORD e = make(name);
            if ((e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) || attempt == 16)
                return e;
        }
    }
    DWORD copyIn(const std::wstring& from, std::wstring& fresh) {
        return intoWorkFile(fresh, [&](const std::wstring& to) -> DWORD {
            if (CopyFileExW(longPath(from).c_str(), longPath(to).c_str(),
                            progress_.idle ? &Steps::onChunk : nullptr, this, nullptr,
                            COPY_FILE_FAIL_IF_EXISTS)) {
                // A hidden or system game file comes back as it was.
                const DWORD e = platform::copyAttributes(from, to);
                if (e)
                    removeWorkFile(to);
                return e;
            }
            const DWORD e = GetLastError();
            if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS)
                removeWorkFile(to); // what a failed copy left, if anything
            return e;
        });
    }
    DWORD moveAside(const std::wstring& target, std::wstring& aside) {
        return intoWorkFile(aside, [&](const std::wstring& to) { return moveFile(target, to); });
    }

    const Work& w_;
    const Progress& progress_;
    std::wstring prefix_;
    unsigned next_ = 0;
    ULONGLONG lastIdle_ = GetTickCount64();
};

Outcome execute(const Work& w, const Progress& progress) {
    Steps steps(w, progress);
    const size_t total = w.plan.steps.size();
    if (progress.step)
        progress.step(0, total);
    for (size_t i = 0; i < total; ++i) {
        if (w.acts(i))
            if (auto failure = w.install ? steps.install(i) : steps.restore(i))
                return stepFailed(w, i, *failure);
        platform::sys().checkpoint(L"texmods step");
        if (progress.step)
            progress.step(i + 1, total);
        steps.idle();
    }
    Outcome done;
    done.steps = total;
    return done;
}

// Work files left by a run that was killed: this run holds the lock, so no live run owns them.
void removeLeftovers(const std::wstring& backups) {
    const std::wstring folder = workFolder(backups);
    listFolder(
        folder,
        [&](const WIN32_FIND_DATAW& d) {
            if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && isWorkFileName(d.cFileName))
                removeWorkFile(folder + d.cFileName);
        },
        L"^zelq-*.tmp");
}

} // namespace

std::wstring modRoot(const std::wstring& gameFolder) {
    return withSlash(gameFolder) + L"zelqcfg\\texpacks\\texmods\\";
}
std::wstring backupFolder(const std::wstring& gameFolder) {
    return withSlash(gameFolder) + L"zelqcfg\\texpacks\\original\\";
}

bool isWorkFileName(std::wstring_view name) {
    return name.size() > kWorkPrefix.size() + kWorkSuffix.size() &&
           name.substr(0, kWorkPrefix.size()) == kWorkPrefix &&
           name.substr(name.size() - kWorkSuffix.size()) == kWorkSuffix;
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
        paths.push_back(withSlash(folder) + name);
    return error;
}

DWORD listModFolder(const std::wstring& folder, ModListing& listing) {
    listing = {};
    std::map<std::wstring, uint64_t> sizes;
    const DWORD error = listFolder(folder, [&](const WIN32_FIND_DATAW& d) {
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return;
        listing.files.insert(folded(d.cFileName));
        if (!(d.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
            isModFileName(d.cFileName)) {
            listing.modFiles.emplace_back(d.cFileName);
            sizes[d.cFileName] = bytesOf(d.nFileSizeHigh, d.nFileSizeLow);
        }
    });
    sortNames(listing.modFiles);
    for (const std::wstring& name : listing.modFiles)
        listing.sizes.push_back(sizes[name]);
    return error;
}

Outcome run(Operation op, const std::wstring& gameFolder, const std::wstring& modFolder,
            const Progress& progress) {
    Work w;
    w.install = op == Operation::Install;
    w.game = withSlash(gameFolder);
    w.mods = withSlash(modFolder);
    w.backups = backupFolder(gameFolder);

    // One run at a time per game folder, in this and every other copy of the program.
    platform::PathLock lock(L"texmods", w.game);
    if (!lock.acquire(0)) {
        if (lock.error() == ERROR_TIMEOUT)
            return anotherRun(w.install);
        return failed(L"The game folder could not be reserved for this run:", w.game, lock.error(), kNothing);
    }
    removeLeftovers(w.backups);

    Outcome o = plan(w);
    if (o.kind == Outcome::Kind::Done)
        o = check(w);
    if (o.kind == Outcome::Kind::Done)
        o = execute(w, progress);
    return o;
}

} // namespace texmods
